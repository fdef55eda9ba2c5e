#include "engine/formats/reader_common.h"

#include "engine/standard_file.h"

#include <cstdio>

namespace zv {

ReaderFiles::ReaderFiles(Context& ctx, const std::string& source, const std::string& standardFile,
                         bool withHeader)
    : ctx_(ctx), source_(source), standardFile_(standardFile), withHeader_(withHeader)
{
    const std::string& copy = ctx_.workspace.WorkingCopy;
    bool opened = CopyFileOver(source, copy);
    if (opened) {
        EnsureFinalLineBreak(copy);
        opened = in_.Open(copy) && out_.Open(standardFile_) && (!withHeader_ || header_.Open(ctx_.workspace.HeaderFile));
    }
    if (!opened) {
        ctx_.CannotOpen();
        Discard();
        return;
    }
    ok_ = true;
}

ReaderFiles::~ReaderFiles()
{
    if (!done_)
        Discard();
}

void ReaderFiles::Discard()
{
    in_.Close();
    out_.Close();
    header_.Close();
    RemoveFile(standardFile_);
    RemoveFile(ctx_.workspace.WorkingCopy);
    done_ = true;
}

bool ReaderFiles::Next(std::string_view& line)
{
    if (!in_.Next(line))
        return false;
    ++lineNumber_;
    return true;
}

void ReaderFiles::WriteRecord(long start, long end, std::string_view text)
{
    record_.clear();
    AppendRecord(record_, start, end, text);
    out_.Write(record_);
}

int ReaderFiles::Finish()
{
    in_.Close();
    bool written = out_.Close();
    if (withHeader_)
        written = header_.Close() && written;
    RemoveFile(ctx_.workspace.WorkingCopy);
    done_ = true;
    if (!written) {
        const int error = out_.error() != 0 ? out_.error() : header_.error();
        RemoveFile(standardFile_);
        ctx_.CannotWrite(error);
        return -1;
    }
    return 0;
}

int ReaderFiles::BadLine(std::string_view line)
{
    std::string report = ctx_.Text(296);
    report += " (" + std::to_string(lineNumber_) + "): \n\n";
    report += line;
    report += "\n";
    report += ctx_.Text(297);
    Discard();
    OfferSourceEdit(ctx_, source_, report);
    return -1;
}

long NumberAt(std::string_view line, std::size_t first, std::size_t last)
{
    std::size_t pos = first;
    while (pos <= last && CharAt(line, pos, ' '))
        ++pos;
    long value = 0;
    for (; pos <= last && DigitAt(line, pos); ++pos)
        value = value * 10 + (line[pos] - '0');
    return value;
}

long TimeFromHms(long hours, long minutes, long seconds, TimePrecision precision)
{
    return ((hours * 60 + minutes) * 60 + seconds) * UnitsPerSecond(precision);
}

long ClockTimeAt(std::string_view line, std::size_t at, std::size_t fractionDigits, TimePrecision precision)
{
    long time = TimeFromHms(NumberAt(line, at, at + 1), NumberAt(line, at + 3, at + 4),
                            NumberAt(line, at + 6, at + 7), precision);
    if (fractionDigits > 0) {
        long scale = 1;
        for (std::size_t d = 0; d < fractionDigits; ++d)
            scale *= 10;
        const long fraction = NumberAt(line, at + 9, at + 8 + fractionDigits);
        // The formats' fractions have at most three digits: milliseconds hold them exactly.
        time += precision == TimePrecision::Tenths ? fraction / (scale / 10)
                                                   : fraction * UnitsPerSecond(precision) / scale;
    }
    return time;
}

int ReadTimeAndTextLines(FormatHandler& handler, const std::string& source, const std::string& standardFile,
                         TimeLineReader times, bool keepHeader)
{
    ReaderFiles files(handler.context(), source, standardFile, keepHeader);
    if (!files.ok())
        return -1;
    bool seenTime = false;
    std::string_view line;
    while (files.Next(line)) {
        long start = 0;
        long end = 0;
        if (times(line, handler.precision, start, end)) {
            seenTime = true;
            // A time line as the file's last line still gives a whole record.
            if (files.Next(line))
                files.WriteRecord(start, end, line);
            else
                files.WriteRecord(start, end, "\r\n");
        } else if (!seenTime) {
            files.WriteHeader(line);
        }
    }
    const int result = files.Finish();
    if (result == 0)
        handler.hasHeader = 1;
    return result;
}

void OfferSourceEdit(Context& ctx, const std::string& sourcePath, const std::string& message)
{
    if (ctx.host.Message(message, ctx.Text(52), Buttons::YesNo, Icon::Stop, Owner::None) != Answer::Yes)
        return;
    const auto origin = ctx.inputOrigins.find(sourcePath);
    ctx.host.OpenForEditing(origin != ctx.inputOrigins.end() ? origin->second : sourcePath);
}

} // namespace zv
