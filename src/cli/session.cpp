#include "cli/session.h"

#include "cli/interrupt_cleanup.h"

#include "engine/file_io.h"
#include "engine/workspace.h"

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
        const Workspace& ws = ctx.workspace;
        // Every file the engines may leave in the workspace.
        for (const std::string& path :
             {ws.SourceStandardFile, ws.SecondStandardFile, ws.OutputStandardFile, ws.SecondOutputStandardFile,
              ws.HeaderFile, ws.WorkingCopy, ws.SecondWorkingCopy, ws.OutputStandardFile + "_TEMP_STOPKA",
              runFolder_ + "/_VZv1_0__TEMP2_FILE_BADENTERS.tmp"})
            RemoveOnInterrupt(path);
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

SubtitleFormat Session::Detect(const std::string& path)
{
    return DetectFormat(ctx, Owner::None, path);
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
    auto handler = OpenFormatHandler(ctx, format, path, readOk);
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

bool Session::Stage(FileReplacement& replacement, const std::string& file, const std::optional<std::string>& out)
{
    errno = 0;
    if (!replacement.StageFile(TargetOf(out), file)) {
        CannotWrite(ShownName(out), errno);
        return false;
    }
    if (!replacement.temporary().empty())
        RemoveOnInterrupt(replacement.temporary());
    return true;
}

bool Session::Commit(FileReplacement& replacement, const std::optional<std::string>& out)
{
    errno = 0;
    if (!replacement.Commit()) {
        CannotWrite(ShownName(out), errno);
        return false;
    }
    return true;
}

int Session::Deliver(const std::string& result, const std::optional<std::string>& out)
{
    FileReplacement replacement;
    return Stage(replacement, result, out) && Commit(replacement, out) ? 0 : 1;
}

int Session::DeliverBoth(const std::string& first, const std::string& firstOut, const std::string& second,
                         const std::string& secondOut)
{
    // Both parts are staged before either is put in place: a split writes
    // both files or neither.
    FileReplacement one;
    FileReplacement two;
    if (!Stage(one, first, firstOut) || !Stage(two, second, secondOut))
        return 1;
    if (!Commit(one, firstOut))
        return 1;
    return Commit(two, secondOut) ? 0 : 1;
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
