// The stamp-line dialog (203): the two texts, the place and the automatic
// option; OK stores them and stays open, button 3 stores nothing and stamps
// the open file with the texts as typed.
#pragma once

#include "app/dialogs/dialog_parts.h"
#include "engine/formats/format_handler.h"
#include "engine/operations/stamp_line.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace zv::app {

class StampLineDialog : public CommandDialog {
    Q_OBJECT
public:
    // handler: the open file's; canStamp: the file is shown alone (no second
    // source, no result), which button 3 needs.
    StampLineDialog(zv::Context& ctx, zv::FormatHandler* handler, bool canStamp, QWidget* parent);

    // Button 3 ran when outcome() holds one: the frame then shows the result.

private:
    void Choose(zv::StampPlace place, bool byUser);
    void Store();
    void StampOpenFile();

    zv::FormatHandler* handler_;
    zv::StampPlace place_ = zv::StampPlace::None;
    QRadioButton* radios_[3] = {}; // 1001-1003
    QLineEdit* begin_ = nullptr;   // 1027
    QLineEdit* end_ = nullptr;     // 1028
    QCheckBox* automatic_ = nullptr; // 1118
    QPushButton* ok_ = nullptr;     // 1
    QPushButton* stamp_ = nullptr;  // 3
};

} // namespace zv::app
