// Opening a subtitle file, saving a result, the recent folders, dropped files
// and the choice of Unite's second file.
#include "app/commands.h"
#include "app/copy_over.h"
#include "app/dialogs/donation_dialog.h"
#include "app/dialogs/split_join_dialog.h"
#include "app/dialogs/two_file_save_dialog.h"
#include "qt/file_dialogs.h"
#include "app/frame.h"
#include "qt/paths.h"
#include "qt/texts.h"
#include "app/toolbar_strip.h"
#include "engine/io/encoding.h"
#include "engine/io/file_io.h"
#include "engine/io/workspace.h"
#include "engine/io/input_file.h"
#include "engine/config/language.h"
#include "engine/operations/repair.h"
#include "engine/config/setting_names.h"

#include <QFile>

#include <utility>

namespace zv::app {

using qt::AskOpenFileName;
using qt::AskSaveFileName;
using qt::PathBytes;
using qt::PathText;
using qt::WithExtension;
using qt::kTextNoFile;

namespace {

// The desktop program reads files only: a pipe would hold the window until
// something writes to it, and a socket or device holds no subtitles. A folder
// is told apart when the file is taken.
bool RefusedAsNoFile(zv::Context& ctx, const std::string& path)
{
    if (!zv::IsStreamOrDevice(path))
        return false;
    ctx.Tell(kTextNoFile, 44, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Frame);
    return true;
}

} // namespace

void Frame::OpenDroppedFile(const QString& path)
{
    givenPath_ = PathBytes(path);
    Dispatch(cmd::Open, cmd::kOpenGivenPath);
}

void Frame::Open(int param)
{
    // Taken now, used only once the user has agreed to leave the current
    // result: the file being worked on stays the one a later Save writes to.
    const std::string given = param == cmd::kOpenGivenPath ? std::exchange(givenPath_, {}) : std::string();
    const std::string preset = param == cmd::kOpenPresetFolder ? std::exchange(presetFolder_, {}) : std::string();

    // Either result unsaved is worth the question: closing the windows below
    // would throw it away.
    if (unsaved_.any() && ctx_->Asks(key::AskBeforeOpen) &&
        ctx_->AskBeforeDiscarding(51, 62, zv::Buttons::YesNo, zv::Icon::Exclamation, zv::Owner::Frame) !=
            zv::Answer::Yes)
        return;
    EnableToolbar(false);
    std::string path;
    if (param == cmd::kOpenGivenPath) {
        path = given;
    } else {
        const std::string folder = param == cmd::kOpenPresetFolder ? preset : settings_.ReadSetting(key::CurrentFolder);
        const auto chosen = AskOpenFileName(this, PathText(folder));
        // Cancelled: the windows that were open stay as they were.
        if (!chosen || chosen->isEmpty()) {
            EnableToolbar(true);
            return;
        }
        path = PathBytes(*chosen);
    }
    if (path.empty()) {
        EnableToolbar(true);
        return;
    }
    unsaved_ = {};
    CloseDocument(DocumentKind::Destination);
    CloseDocument(DocumentKind::SecondDestination);
    CloseDocument(DocumentKind::Source);
    CloseDocument(DocumentKind::SecondSource);
    sourcePath_ = path;
    sourceTitle_ = zv::FileNameOf(path);
    EnableToolbar(true);
    UpdateCommandStates(-99, 0);

    // The file is read once; detection, the reader and the source window
    // all see that copy. A file that cannot be taken has been reported.
    const std::string& input = ctx_->workspace.SourceInput;
    zv::InputFile taken;
    if (RefusedAsNoFile(*ctx_, sourcePath_) ||
        !zv::TakeInput(*ctx_, sourcePath_, input, zv::InputMode::Text, taken, zv::Owner::Frame)) {
        currentFormat_ = zv::SubtitleFormat::None;
        handler_.reset();
        UpdateCommandStates(0, -99);
        return;
    }
    sourceStyle_ = taken.style;
    sourceSize_ = taken.size;
    sourceEncoding_ = EncodingFor(sourcePath_, input);

    if (settings_.ReadSetting(key::CheckLineEnds).empty()) {
        EnableToolbar(false);
        if (zv::CheckLineEnds(*ctx_, input) == -1) {
            if (ctx_->Tell(354, 44, zv::Buttons::YesNo, zv::Icon::Exclamation, zv::Owner::Frame) != zv::Answer::Yes) {
                EnableToolbar(true);
                return;
            }
            const bool repaired = zv::RepairLineEnds(*ctx_, input) > 0;
            EnableToolbar(true);
            if (repaired) {
                unsaved_.first = true;
                UpdateCommandStates(0, 1);
                CreateDocument(DocumentKind::Destination, RightColumn(true, false));
            } else {
                UpdateCommandStates(-99, 0);
            }
            return;
        }
        EnableToolbar(true);
    }

    currentFormat_ = zv::DetectFormat(*ctx_, zv::Owner::Frame, input);
    if (currentFormat_ == zv::SubtitleFormat::None) {
        UpdateCommandStates(0, -99);
    } else {
        const std::string folder = zv::FolderOfPath(sourcePath_);
        settings_.WriteSetting(key::CurrentFolder, folder);
        RememberFolder(folder);
        CreateDocument(DocumentKind::Source, LeftColumn(true, false));
        UpdateCommandStates(1, -99);
    }

    handler_.reset();
    if (currentFormat_ != zv::SubtitleFormat::None) {
        bool readOk = false;
        handler_ = zv::OpenFormatHandler(*ctx_, currentFormat_, input, readOk, zv::StoredPrecision(settings_));
        if (!readOk)
            CloseDocument(DocumentKind::Source);
        // Only a file that was read whole has anything to tell.
        else if (ctx_->Asks(key::ShowInfoAfterOpen))
            Post(cmd::SubtitleInformation);
    }
}

std::string Frame::EncodingFor(const std::string& path, const std::string& input) const
{
    const auto chosen = chosenEncodings_.find(path);
    return chosen != chosenEncodings_.end() ? chosen->second : zv::DetectFileEncoding(input);
}

bool Frame::ResultInAnotherFormat() const
{
    return resultFormat_ != zv::SubtitleFormat::None && resultFormat_ != currentFormat_;
}

QString Frame::ProposedResultName() const
{
    const QString source = PathText(sourcePath_);
    if (!ResultInAnotherFormat())
        return source;
    return WithExtension(source, QString::fromLatin1(zv::FormatExtension(resultFormat_)));
}

QString Frame::ResultExtension() const
{
    const std::string_view extension = zv::FormatExtension(ResultInAnotherFormat() ? resultFormat_ : currentFormat_);
    return extension.empty() ? QStringLiteral("txt") : QString::fromLatin1(extension);
}

void Frame::RememberFolder(const std::string& folder)
{
    for (const char* name : key::RecentFolders)
        if (settings_.ReadSetting(name) == folder)
            return; // already listed: the order stays as it is
    settings_.RenameSetting(key::RecentFolder3, key::RecentFolder4);
    settings_.RenameSetting(key::RecentFolder2, key::RecentFolder3);
    settings_.RenameSetting(key::RecentFolder1, key::RecentFolder2);
    settings_.WriteSetting(key::RecentFolder1, folder);
    RebuildRecentFolders();
}

void Frame::OpenRecentFolder(const char* setting)
{
    const std::string folder = settings_.ReadSetting(setting);
    if (folder.empty())
        return;
    presetFolder_ = folder;
    Post(cmd::Open, cmd::kOpenPresetFolder);
}

void Frame::Save()
{
    if (!Exists(DocumentKind::Destination) && !Exists(DocumentKind::SecondDestination))
        return;
    // Another format needs a name of its own.
    if (ResultInAnotherFormat()) {
        SaveAs();
        return;
    }
    if (ctx_->Tell(59, 61, zv::Buttons::YesNo, zv::Icon::Question, zv::Owner::Frame) != zv::Answer::Yes)
        return;
    if (!SaveWithRetry(*ctx_, ctx_->workspace.WorkingCopy, sourceStyle_, sourcePath_))
        return;
    unsaved_ = {};
    UpdateCommandStates(0, 0);
    CloseDocument(DocumentKind::Source);
    CloseDocument(DocumentKind::Destination);
    CloseDocument(DocumentKind::SecondDestination);
    CountSavedFile(settings_);
}

void Frame::SaveAs()
{
    const bool first = Exists(DocumentKind::Destination);
    const bool second = Exists(DocumentKind::SecondDestination);
    if (!first && !second)
        return;
    if (first && second) {
        EnableToolbar(false);
        TwoFileSaveDialog dialog(*ctx_, PathText(settings_.ReadSetting(key::CurrentFolder)), this, sourceStyle_,
                                 ResultExtension());
        dialog.exec();
        EnableToolbar(true);
        if (dialog.firstSaved()) {
            unsaved_.first = false;
            CloseDocument(DocumentKind::Destination);
        }
        if (dialog.secondSaved()) {
            unsaved_.second = false;
            CloseDocument(DocumentKind::SecondDestination);
        }
        return;
    }

    EnableToolbar(false);
    const auto chosen = AskSaveFileName(this, ProposedResultName(),
                                        PathText(settings_.ReadSetting(key::CurrentFolder)), ResultExtension());
    if (!chosen || chosen->isEmpty()) {
        EnableToolbar(true);
        return;
    }
    const std::string target = PathBytes(*chosen);
    if (!SaveWithRetry(*ctx_, ctx_->workspace.WorkingCopy, sourceStyle_, target)) {
        EnableToolbar(true);
        return;
    }
    EnableToolbar(true);
    unsaved_.first = false;
    UpdateCommandStates(0, 0);
    sourcePath_ = target;
    sourceTitle_ = zv::FileNameOf(target);
    CloseDocument(DocumentKind::Source);
    CloseDocument(DocumentKind::Destination);
    CountSavedFile(settings_);
}

void Frame::UniteFirstStep()
{
    if (!Exists(DocumentKind::Source) || !handler_)
        return;
    unsaved_.first = false;
    EnableToolbar(false);
    const auto chosen = AskOpenFileName(this, PathText(settings_.ReadSetting(key::CurrentFolder)));
    EnableToolbar(true);
    if (!chosen || chosen->isEmpty())
        return;
    secondSourcePath_ = PathBytes(*chosen);
    secondSourceTitle_ = zv::FileNameOf(secondSourcePath_);
    const std::string& input = ctx_->workspace.SecondSourceInput;
    zv::InputFile taken;
    if (RefusedAsNoFile(*ctx_, secondSourcePath_) ||
        !zv::TakeInput(*ctx_, secondSourcePath_, input, zv::InputMode::Text, taken, zv::Owner::Frame))
        return;
    secondSourceSize_ = taken.size;
    secondSourceWide_ = taken.style.wideEncoding;
    secondSourceEncoding_ = EncodingFor(secondSourcePath_, input);
    if (zv::DetectFormat(*ctx_, zv::Owner::Frame, input) == currentFormat_) {
        if (DocumentWindow* source = document(DocumentKind::Source))
            source->setGeometry(LeftColumn(true, true));
        CreateDocument(DocumentKind::SecondSource, LeftColumn(false, true));
        EnableUniteOnly();
    } else {
        ctx_->Tell(191, 52, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Frame);
    }
}

void Frame::UniteSecondStep()
{
    if (!handler_)
        return;
    EnableToolbar(false);
    if (handler_->ReadSecondSubtitleFile(ctx_->workspace.SecondSourceInput, ctx_->workspace.SecondStandardFile) ==
        -1) {
        CloseDocument(DocumentKind::SecondSource);
        EnableToolbar(true);
        return;
    }
    JoinDialog dialog(*ctx_, *handler_, this);
    dialog.SetWriteOptions(WriteOptionsForFile());
    dialog.exec();
    ShowAfterOperation(dialog.outcome() && dialog.outcome()->done);
}

} // namespace zv::app
