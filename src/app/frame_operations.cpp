// The frame's Repair, Split and Add stamp-line commands, and Unite's state
// while its second file waits.
#include "app/commands.h"
#include "app/dialogs/repair_dialog.h"
#include "app/dialogs/split_join_dialog.h"
#include "app/dialogs/stamp_line_dialog.h"
#include "app/frame.h"
#include "qt/text_codec.h"
#include "app/toolbar_strip.h"
#include "engine/io/encoding.h"
#include "engine/io/file_io.h"
#include "engine/operations/split.h"

namespace zv::app {

void Frame::Repair()
{
    EnableToolbar(false);
    // The repairs need an open file; without one the dialog offers none.
    const bool fileOpen = handler_ && Exists(DocumentKind::Source);
    // The repairs read the file as it was read at Open (its working copy).
    RepairDialog dialog(*ctx_, fileOpen ? handler_.get() : nullptr,
                        fileOpen ? ctx_->workspace.SourceInput : std::string(), this);
    dialog.SetWriteOptions(WriteOptionsForFile());
    dialog.exec();
    ShowAfterOperation(dialog.outcome() && dialog.outcome()->done);
}

void Frame::Split()
{
    if (!handler_)
        return;
    // The cut goes after the selected line; the blank first entry is no line.
    if (currentLine_ < 1) {
        ctx_->Tell(kSelectSplitLineText, 192, zv::Buttons::Ok, zv::Icon::Information, zv::Owner::Frame);
        return;
    }
    EnableToolbar(false);
    unsaved_ = {};
    // The split point stays this command's own: the selected line is still
    // the line the user selected, so a second Split cuts where it says.
    const long n = zv::SplitPointForLine(*handler_, currentLine_, ctx_->workspace.SourceInput);
    bool done = false;
    if (n >= 1) {
        SplitDialog dialog(*ctx_, *handler_, n, this);
        dialog.SetWriteOptions(WriteOptionsForFile());
        dialog.exec();
        done = dialog.outcome() && dialog.outcome()->done;
    }
    EnableToolbar(true);
    if (done)
        ShowSplitResults();
    else
        UpdateCommandStates(-99, 0);
}

void Frame::StampLine()
{
    EnableToolbar(false);
    const bool alone = Exists(DocumentKind::Source) && !Exists(DocumentKind::SecondSource) &&
                       !Exists(DocumentKind::Destination) && !Exists(DocumentKind::SecondDestination);
    StampLineDialog dialog(*ctx_, handler_.get(), alone, this);
    dialog.SetWriteOptions(WriteOptionsForFile());
    dialog.exec();
    if (const std::optional<zv::Outcome>& outcome = dialog.outcome()) {
        // A stamp that was there already leaves nothing new to show.
        ShowAfterOperation(outcome->done && outcome->changed > 0);
    } else {
        // Only the settings changed: whatever results are shown stay as they are.
        EnableToolbar(true);
    }
}

std::string Frame::StampTextForFile(const std::string& utf8) const
{
    // The file is written back byte for byte: a stamp in another encoding
    // would be the one garbled line of it.
    if (sourceEncoding_.empty())
        return utf8;
    return zv::EncodeUtf8Text(utf8, sourceEncoding_);
}

zv::WriteOptions Frame::WriteOptionsForFile() const
{
    zv::WriteOptions options;
    options.encodeStamp = [this](const std::string& utf8) { return StampTextForFile(utf8); };
    // Every command computes in the unit the open file was read in.
    options.precision = handler_ ? handler_->precision : zv::StoredPrecision(settings_);
    return options;
}

void Frame::EnableUniteOnly()
{
    UpdateCommandStates(0, 0);
    toolbar_->SetButtonEnabled(1054, true);
    SetCommandEnabled(cmd::Unite, true);
}

} // namespace zv::app
