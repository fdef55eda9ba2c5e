#include "cli/session.h"

#include "cli/interrupt_cleanup.h"

#include "engine/io/file_io.h"
#include "engine/io/save_result.h"
#include "engine/io/workspace.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zv::cli {

Session::Session() : ctx(host, settings, texts)
{
    // Without the language file every text reads as the missing-text notice;
    // the command still works.
    if (const std::string lan = FindLanguageFile("english.lan"); !lan.empty())
        texts.LoadOnce(lan);
    runFolder_ = MakeRunFolder();
    if (!runFolder_.empty()) {
        InitWorkspacePaths(ctx.workspace, runFolder_);
        // Whatever the engines leave in the workspace goes with the folder.
        RemoveFolderOnInterrupt(runFolder_);
    }
}

Session::~Session()
{
    RemoveRunFolder(runFolder_);
}

bool Session::Ready()
{
    if (!runFolder_.empty())
        return true;
    const int error = errno;
    host.Print(texts.LookupText(44) + ": " + texts.LookupText(46) + " (" + std::strerror(error) + ")");
    return false;
}

const InputFile* Session::Take(const std::string& path, InputMode mode)
{
    for (const InputFile& input : inputs_)
        if (input.path == path)
            return &input;
    const Workspace& ws = ctx.workspace;
    InputFile input;
    if (!TakeInput(ctx, path, inputs_.empty() ? ws.SourceInput : ws.SecondSourceInput, mode, input, Owner::None))
        return nullptr;
    inputs_.push_back(std::move(input));
    return &inputs_.back();
}

const std::string& Session::Copy(const std::string& path) const
{
    for (const InputFile& input : inputs_)
        if (input.path == path)
            return input.copy;
    return path;
}

SubtitleFormat Session::Detect(const std::string& path)
{
    const InputFile* input = Take(path);
    if (!input)
        return SubtitleFormat::None;
    return DetectFormat(ctx, Owner::None, input->copy);
}

std::unique_ptr<FormatHandler> Session::OpenSource(const std::string& path)
{
    const SubtitleFormat format = Detect(path);
    if (format == SubtitleFormat::None)
        return nullptr;
    return Read(path, format);
}

std::unique_ptr<FormatHandler> Session::Read(const std::string& path, SubtitleFormat format)
{
    bool readOk = false;
    auto handler = OpenFormatHandler(ctx, format, Copy(path), readOk, precision);
    if (!handler)
        Failed("the " + std::string(FormatName(format)) + " format cannot be read yet");
    if (!readOk)
        return nullptr;
    return handler;
}

void Session::CannotWrite(const std::string& out, int error)
{
    // The save command's failure message, with the system's reason.
    std::string text = texts.LookupText(53);
    if (error != 0)
        text += std::string("\n\n") + std::strerror(error);
    host.Print(texts.LookupText(52) + ": " + text + "\n" + out);
}

namespace {

// "-" and no -o at all both mean standard output, written where it stands.
std::string TargetOf(const std::optional<std::string>& out)
{
    return !out || *out == "-" ? std::string("/dev/stdout") : *out;
}

std::string ShownName(const std::optional<std::string>& out)
{
    return !out || *out == "-" ? std::string("(standard output)") : *out;
}

} // namespace

bool Session::Saved(const SaveOutcome& saved, const std::string& result, const std::optional<std::string>& out)
{
    if (saved.saved)
        return true;
    // A result that could not be styled names the result, else the output.
    host.Print(texts.LookupText(52) + ": " + saved.errorText + "\n" + (saved.styled ? ShownName(out) : result));
    return false;
}

bool Session::Stage(FileReplacement& replacement, const std::string& result, const std::optional<std::string>& out)
{
    replacement.NoticeTemporaries(RemoveOnInterrupt);
    return Saved(StageResult(ctx, result, SourceStyle(), TargetOf(out), replacement), result, out);
}

bool Session::Commit(FileReplacement& replacement, const std::optional<std::string>& out)
{
    return Saved(CommitResult(ctx, replacement), std::string(), out);
}

TextStyle Session::SourceStyle() const
{
    return inputs_.empty() ? TextStyle{} : inputs_.front().style;
}

int Session::Deliver(const std::string& result, const std::optional<std::string>& out)
{
    // The user's own input is handed on from the copy read at the start (a
    // stream cannot be read twice), and every result in the input's style.
    const std::string copy = Copy(result);
    return Saved(SaveResult(ctx, copy, SourceStyle(), TargetOf(out), RemoveOnInterrupt), copy, out) ? 0 : 1;
}

int Session::DeliverBoth(const std::string& first, const std::string& firstOut, const std::string& second,
                         const std::string& secondOut)
{
    // Both parts are staged before either is put in place: a split writes
    // both files or neither. A device or a FIFO is written into first, as it
    // is the one that may fail now (a full device, a closed reader); a
    // staged file is only renamed.
    FileReplacement one;
    FileReplacement two;
    if (!Stage(one, first, firstOut) || !Stage(two, second, secondOut))
        return 1;
    const bool secondFirst = two.direct() && !one.direct();
    if (secondFirst && !Commit(two, secondOut))
        return 1;
    if (!Commit(one, firstOut))
        return 1;
    return secondFirst || Commit(two, secondOut) ? 0 : 1;
}

bool Session::SameOutput(const std::string& a, const std::string& b)
{
    return SameFile(TargetOf(a), TargetOf(b));
}

bool Session::WritableOutput(const std::string& out)
{
    struct stat st {};
    if (out != "-" && ::stat(out.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        CannotWrite(out, EISDIR);
        return false;
    }
    return true;
}

void Session::ReportDropped(long count)
{
    if (count > 0)
        host.Print("subtitles left out: " + std::to_string(count));
}

int Session::Failed(const std::string& why)
{
    host.Print("zentavo-cli: " + why);
    return 1;
}

} // namespace zv::cli
