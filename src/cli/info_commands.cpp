// detect, info and encoding: what a file is, without changing anything.
#include "cli/commands.h"

#include "engine/io/encoding.h"
#include "engine/film/avi_info.h"
#include "engine/io/file_io.h"

#include <sys/stat.h>

#include <cstdio>

namespace zv::cli {

namespace {

int RunDetect(Invocation& inv)
{
    Session& s = inv.session;
    if (!s.Ready())
        return kExitFailure;
    const SubtitleFormat format = s.Detect(inv.File());
    if (format == SubtitleFormat::None)
        return kExitFailure;
    const std::string_view name = FormatName(format);
    std::printf("%d %.*s\n", Code(format), static_cast<int>(name.size()), name.data());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

int RunInfo(Invocation& inv)
{
    Session& s = inv.session;
    if (!s.Ready())
        return kExitFailure;
    const std::string& path = inv.File();
    const SubtitleFormat format = s.Detect(path);
    if (format == SubtitleFormat::None)
        return kExitFailure;
    const std::int64_t size = static_cast<std::int64_t>(s.Take(path)->size);
    // The count follows the file's own format, on the file as it came.
    const long count = CountSubtitlesOfFile(s.ctx, format, s.Copy(path));
    if (size < 0 || count < 0)
        return kExitFailure;
    // Negative times are learnt by reading the file; one that cannot be read
    // is described all the same.
    const std::unique_ptr<FormatHandler> handler = s.Read(path, format);
    const std::string_view name = FormatName(format);
    std::printf("%.2f kb\n%ld\n%.*s\n", static_cast<double>(size) / 1024.0, count, static_cast<int>(name.size()),
                name.data());
    if (handler && handler->negativeTimes > 0)
        std::printf("%ld with negative times, read as 0\n", handler->negativeTimes);
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

// The encoding the file's text is in, as the desktop program shows it.
int RunEncoding(Invocation& inv)
{
    Session& s = inv.session;
    if (!s.Ready())
        return kExitFailure;
    const InputFile* input = s.Take(inv.File());
    if (!input)
        return kExitFailure;
    // A wide text's working copy is UTF-8; the file itself is in its own.
    const std::string encoding =
        input->style.wideEncoding.empty() ? DetectFileEncoding(input->copy) : input->style.wideEncoding;
    if (encoding.empty())
        return s.Failed("the encoding cannot be told");
    std::printf("%s\n", encoding.c_str());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

// The AVI dialog's fields, one "name value" line each.
int RunAviInfo(Invocation& inv)
{
    Session& s = inv.session;
    // The headers are read where they stand, from a film far larger than any
    // input the other commands copy: a regular file it must be. Standard
    // input will do when it is one (< film.avi); a pipe, a FIFO or a device
    // would be waited on or read wrong.
    std::string path = inv.File();
    struct stat st {};
    if (path == "-") {
        if (::fstat(0, &st) != 0 || !S_ISREG(st.st_mode))
            return s.Failed("avi-info needs a file, not a stream: standard input is not one");
        path = "/dev/stdin";
    } else if (IsStreamOrDevice(path)) {
        return s.Failed("avi-info needs a file, not a stream or a device: " + path);
    }
    AviInfo info;
    if (!LoadAviInfo(s.ctx, path, info, Owner::None))
        return kExitFailure;
    std::printf("max-bytes-per-second %u\nstreams %u\nwidth %u\nheight %u\nscale %u\nrate %u\n"
                "frames-per-second %s\nlength %u\nfile-type %s\n",
                info.maxBytesPerSecond, info.streams, info.width, info.height, info.scale, info.rate,
                AviFramesPerSecond(info).c_str(), info.length, info.fileType.c_str());
    return std::fflush(stdout) == 0 ? 0 : kExitFailure;
}

constexpr Command kCommands[] = {
    {"detect", "detect FILE", {}, 1, RunDetect},
    {"info", "info FILE", {}, 1, RunInfo},
    {"encoding", "encoding FILE", {}, 1, RunEncoding},
    {"avi-info", "avi-info FILE", {}, 1, RunAviInfo},
};

} // namespace

std::span<const Command> InfoCommands()
{
    return kCommands;
}

} // namespace zv::cli
