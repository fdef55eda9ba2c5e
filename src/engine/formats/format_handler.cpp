#include "engine/formats/format_handler.h"

#include "engine/io/file_io.h"
#include "engine/formats/bracket_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

namespace zv {

namespace {

bool MatchesStart(std::string_view line, const char* pattern)
{
    // A negative time's minus, and the blanks a script may indent its lines
    // with, are passed over as the readers pass them over.
    if (pattern[0] == 'd' && line.starts_with('-'))
        line.remove_prefix(1);
    else if (pattern[0] >= 'A' && pattern[0] <= 'Z')
        line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
    const std::size_t n = std::strlen(pattern);
    if (line.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (pattern[i] == 'd' ? !(line[i] >= '0' && line[i] <= '9') : line[i] != pattern[i])
            return false;
    }
    return true;
}

} // namespace

FormatHandler::FormatHandler(Context& ctx, const FormatDescriptor& descriptor) : ctx_(ctx), descriptor_(descriptor)
{
    InitWorkspacePaths(ctx_.workspace, ctx_.workspace.folder);
}

void FormatHandler::SetOpenFields()
{
    linesPerSubtitle = descriptor_.linesPerSubtitle;
    isFrameBased = descriptor_.isFrameBased;
    mayLengthen = descriptor_.mayLengthen;
}

long FormatHandler::SubtitleNumberAtLine(long n, const std::string& source) const
{
    const char* const pattern = descriptor_.subtitleStart;
    // A MicroDvd frame-rate line is a line of the file but no subtitle.
    if (!pattern)
        return format() == SubtitleFormat::MicroDvd && hasHeader == 1 && n > 0 ? n - 1 : n;
    LineReader reader;
    if (!reader.Open(source)) {
        ctx_.CannotOpen();
        return -1;
    }
    long count = 0;
    std::string_view line;
    for (long i = 0; i < n; ++i) {
        // A file may end without a line end; the readers still take its last line.
        if (!reader.Next(line) && !reader.Unfinished(line))
            break;
        if (MatchesStart(line, pattern))
            ++count;
    }
    return count;
}

std::unique_ptr<FormatHandler> MakeFormatHandler(Context& ctx, SubtitleFormat format)
{
    const FormatDescriptor* descriptor = FindFormat(format);
    return descriptor ? std::make_unique<FormatHandler>(ctx, *descriptor) : nullptr;
}

std::unique_ptr<FormatHandler> OpenFormatHandler(Context& ctx, SubtitleFormat format, const std::string& path,
                                                 bool& readOk, TimePrecision precision)
{
    readOk = false;
    auto handler = MakeFormatHandler(ctx, format);
    if (!handler)
        return nullptr;
    handler->precision = precision;
    readOk = handler->ReadSubtitleFile(path, ctx.workspace.SourceStandardFile) == 0;
    handler->SetOpenFields();
    return handler;
}

int ReadSourceAgain(FormatHandler& handler, const std::string& source, TimePrecision precision)
{
    const Workspace& ws = handler.context().workspace;
    const std::string& aside = ws.ShownResultAside;
    const bool kept = FileExists(ws.WorkingCopy) && std::rename(ws.WorkingCopy.c_str(), aside.c_str()) == 0;
    handler.precision = precision;
    const int read = handler.ReadSubtitleFile(source, ws.SourceStandardFile);
    if (kept)
        std::rename(aside.c_str(), ws.WorkingCopy.c_str());
    return read;
}

long CountSubtitles(Context& ctx, const FormatHandler* handler, const std::string& path)
{
    if (!handler || handler->linesPerSubtitle == 1) {
        const long lines = CountSubtitleLines(ctx, path);
        if (lines < 0)
            return lines;
        // A MicroDvd frame-rate line is no subtitle.
        std::string first;
        const bool frameRateLine = handler && handler->format() == SubtitleFormat::MicroDvd &&
                                   LineReader(path).Next(first) && IsFrameRateLine(first);
        return frameRateLine ? lines : lines + 1;
    }
    // Every line counts, however long the file.
    return handler->SubtitleNumberAtLine(std::numeric_limits<long>::max(), path);
}

long CountSubtitlesOfFile(Context& ctx, SubtitleFormat format, const std::string& path)
{
    if (FileSize(path) == 0)
        return 0;
    std::unique_ptr<FormatHandler> handler;
    if (format != SubtitleFormat::None) {
        handler = MakeFormatHandler(ctx, format);
        if (handler)
            handler->SetOpenFields();
    }
    return CountSubtitles(ctx, handler.get(), path);
}

} // namespace zv
