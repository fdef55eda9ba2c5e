#include "cli/session.h"

#include "cli/interrupt_cleanup.h"

#include "engine/file_io.h"
#include "engine/workspace.h"

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
        const Workspace& ws = ctx.workspace;
        // Every file the engines may leave in the workspace.
        for (const std::string& path :
             {ws.SourceStandardFile, ws.SecondStandardFile, ws.OutputStandardFile, ws.SecondOutputStandardFile,
              ws.HeaderFile, ws.WorkingCopy, ws.SecondWorkingCopy, ws.OutputStandardFile + "_TEMP_STOPKA",
              ws.SourceInput, ws.SecondSourceInput, ws.SourceInput + "~", ws.SecondSourceInput + "~",
              ws.WorkingCopy + ".styled", ws.SecondWorkingCopy + ".styled", ws.SourceInput + ".styled",
              runFolder_ + "/_VZv1_0__TEMP2_FILE_BADENTERS.tmp"})
            RemoveOnInterrupt(path);
        RemoveFolderOnInterrupt(runFolder_);
    }
}

Session::~Session()
{
    for (const auto& temporary : staged_)
        RemoveFile(temporary);
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
    auto handler = OpenFormatHandler(ctx, format, Copy(path), readOk);
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

std::optional<std::string> Session::Stage(const std::string& result, const std::string& out, bool move)
{
    const std::string temporary = TemporaryBeside(out);
    staged_.push_back(temporary);
    RemoveOnInterrupt(temporary);
    // A result of the workspace is simply moved when out lies on the same
    // file system; copying a large file again would double the writing.
    if (move && std::rename(result.c_str(), temporary.c_str()) == 0)
        return temporary;
    errno = 0;
    if (!CopyFileOver(result, temporary)) {
        const int error = errno;
        RemoveFile(temporary);
        CannotWrite(out, error);
        return std::nullopt;
    }
    return temporary;
}

bool Session::Commit(const std::string& temporary, const std::string& out)
{
    errno = 0;
    if (!CommitTemporary(temporary, out)) {
        CannotWrite(out, errno);
        return false;
    }
    return true;
}

std::string Session::Styled(const std::string& result)
{
    const TextStyle style = inputs_.empty() ? TextStyle{} : inputs_.front().style;
    errno = 0;
    std::string styled = StyledFile(result, result + ".styled", style);
    if (styled.empty())
        CannotWrite(result, errno);
    return styled;
}

int Session::Deliver(const std::string& result, const std::optional<std::string>& out)
{
    const std::string styled = Styled(result);
    return styled.empty() ? 1 : Send(styled, out, true);
}

int Session::DeliverCopy(const std::string& file, const std::optional<std::string>& out)
{
    const std::string styled = Styled(Copy(file));
    return styled.empty() ? 1 : Send(styled, out, styled != file);
}

int Session::Send(const std::string& result, const std::optional<std::string>& out, bool move)
{
    if (out) {
        const auto temporary = Stage(result, *out, move);
        if (!temporary || !Commit(*temporary, *out))
            return 1;
        return 0;
    }
    std::FILE* in = std::fopen(result.c_str(), "rb");
    if (!in) {
        ctx.CannotOpen();
        return 1;
    }
    static char block[1 << 16];
    bool ok = true;
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) {
        if (std::fwrite(block, 1, got, stdout) != got) {
            ok = false;
            break;
        }
    }
    ok = ok && !std::ferror(in);
    std::fclose(in);
    errno = 0;
    if (std::fflush(stdout) != 0 || !ok) {
        CannotWrite("(standard output)", errno);
        return 1;
    }
    return 0;
}

int Session::DeliverBoth(const std::string& first, const std::string& firstOut, const std::string& second,
                         const std::string& secondOut)
{
    const std::string firstStyled = Styled(first);
    const std::string secondStyled = firstStyled.empty() ? std::string() : Styled(second);
    if (secondStyled.empty())
        return 1;
    const auto one = Stage(firstStyled, firstOut, true);
    if (!one)
        return 1;
    const auto two = Stage(secondStyled, secondOut, true);
    if (!two)
        return 1;
    if (!Commit(*one, firstOut))
        return 1;
    return Commit(*two, secondOut) ? 0 : 1;
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
