// The Repair dialog (115): line ends, order, and subtitles that vanish too
// fast with the default or the advanced settings; and the lengthen settings
// dialog (184), which hands its values back to Repair.
#pragma once

#include "app/dialogs/dialog_parts.h"
#include "engine/formats/format_handler.h"
#include "engine/operations/lengthen.h"

#include <string>

class QCheckBox;
class QLineEdit;

namespace zv::app {

class ShortSubtitleSettings : public CommandDialog {
    Q_OBJECT
public:
    ShortSubtitleSettings(zv::Context& ctx, QWidget* parent);

    // What OK accepted (also the working values from then on).
    const zv::LengthenSettings& values() const;

private:
    void FillDefaults();
    void Accept();

    QLineEdit* base_ = nullptr;        // 1027
    QLineEdit* perCharacter_ = nullptr; // 1028
    QLineEdit* maxRows_ = nullptr;     // 1029
    QLineEdit* maxCharacters_ = nullptr; // 1030
    QCheckBox* join_ = nullptr;        // 1050
    QCheckBox* limitCharacters_ = nullptr; // 1051
};

class RepairDialog : public CommandDialog {
    Q_OBJECT
public:
    // handler is the open file's, nullptr when no file is open: the repairs
    // then stay disabled.
    RepairDialog(zv::Context& ctx, zv::FormatHandler* handler, std::string sourcePath, QWidget* parent);

private:
    void RepairLineEnds();
    void Sort();
    void LengthenDefault();
    void AdvancedSettings();

    zv::FormatHandler* handler_;
    std::string sourcePath_;
};

} // namespace zv::app
