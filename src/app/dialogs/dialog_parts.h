// What the command dialogs share: the modal base that owns the dialog's
// messages and answers F1 at its help keyword, the numbered group boxes, the
// file-name group, the format radio groups, OK/Cancel, and numbers written
// and read without the user's locale.
#pragma once

#include "qt/qt_host.h"
#include "engine/context.h"
#include "engine/formats/format.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <QDialog>
#include <QString>

#include <initializer_list>
#include <optional>
#include <vector>

class QGroupBox;
class QKeyEvent;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace zv::app {

// A modal command dialog: objectName = its resource number, title = a
// language text, the owner of Owner::Dialog messages while it lives, F1 opens
// the help file at its keyword. Children go into layout_ top to bottom.
class CommandDialog : public QDialog {
    Q_OBJECT
protected:
    CommandDialog(zv::Context& ctx, QWidget* parent, const char* resource, int titleText, QString helpKeyword);
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

public:
    // How the command writes its result: the frame hands in the open file's.
    void SetWriteOptions(zv::WriteOptions options) { writeOptions_ = std::move(options); }
    // What the command the dialog ran handed back; empty when it ran none
    // (cancelled, refused at a check, or a dialog without a command).
    const std::optional<zv::Outcome>& outcome() const { return outcome_; }

protected:
    zv::Context& ctx_;
    zv::WriteOptions writeOptions_;
    std::optional<zv::Outcome> outcome_;
    QVBoxLayout* layout_ = nullptr;

private:
    qt::DialogOwnerScope ownerScope_;
    QString helpKeyword_;
};

// Moves a window (and shrinks it, where it may be smaller) so that it lies
// wholly on the free part of its screen: a small screen keeps every button
// within reach.
void KeepOnScreen(QWidget* window);

// A group box whose objectName is its control number.
QGroupBox* Group(QWidget* parent, const char* id, const QString& title);

// The "file name" group (text 8) with the name in a selectable label.
QGroupBox* FileNameGroup(zv::Context& ctx, QWidget* parent, const char* groupId, const char* labelId,
                         const QString& fileName);

struct FormatRadio {
    const char* id;
    zv::SubtitleFormat format;
};

// One radio per format with the format's label, two to a row, in the group.
std::vector<QRadioButton*> AddFormatRadios(QGroupBox* group, std::initializer_list<FormatRadio> radios);

// A group that only shows a format: its radio is the one enabled and checked.
QGroupBox* FormatShownGroup(zv::Context& ctx, QWidget* parent, const char* groupId, int titleText,
                            zv::SubtitleFormat shown, std::initializer_list<FormatRadio> radios);

// OK (1, text 20, default) and Cancel (2, text 21) added to the layout;
// Cancel rejects. OK is returned for the caller to connect and enable.
QPushButton* AddOkCancel(zv::Context& ctx, QDialog* dialog, QVBoxLayout* layout);

// Numbers the dialogs show or hand on: '.' whatever the locale.
QString DecimalText(double value, int decimals = 6);
// A typed amount read like atof; "23,976" is 23.976.
double ReadDecimal(const QString& typed);

} // namespace zv::app
