// The Convert dialog (113): the target format, the frame rate when frames are
// involved, and beside it the Ssa style panel (197) while Ssa is the target.
// OK closes the dialog and writes the open file's StandardFile in the target
// format into the WorkingCopy.
#pragma once

#include "app/dialogs/dialog_parts.h"
#include "engine/operations/convert.h"

#include <QWidget>

#include <array>
#include <vector>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zv::app {

// The seven Ssa style values as edits. The values are stored in the settings
// only when Store() is called.
class SsaSettingsPanel : public QWidget {
    Q_OBJECT
public:
    SsaSettingsPanel(zv::Context& ctx, QWidget* parent);
    // What the edits hold, made safe for the header (see SsaStyleSettings).
    zv::SsaStyleSettings Values() const;
    void Store();
    void RestoreDefaults();
    QLineEdit* edit(int i) const { return edits_[static_cast<std::size_t>(i)]; }

private:
    void Fill(const zv::SsaStyleSettings& style);

    zv::Context& ctx_;
    std::array<QLineEdit*, 7> edits_{};
};

class ConvertDialog : public CommandDialog {
    Q_OBJECT
public:
    ConvertDialog(zv::Context& ctx, zv::SubtitleFormat source, const QString& fileName, QWidget* parent);

    zv::SubtitleFormat target() const { return target_; }
    SsaSettingsPanel* panel() const { return panel_; }
    void reject() override;

private:
    void ChooseTarget(zv::SubtitleFormat format);
    void AskAviInfo();
    void RunConvert();

    zv::SubtitleFormat source_;
    zv::SubtitleFormat target_ = zv::SubtitleFormat::None;
    std::vector<QRadioButton*> targets_;
    QLineEdit* fps_ = nullptr; // 1023
    QPushButton* avi_ = nullptr; // 1109
    QPushButton* ok_ = nullptr;
    SsaSettingsPanel* panel_ = nullptr;
};

} // namespace zv::app
