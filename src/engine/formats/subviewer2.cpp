// SubViewer2: an "[INFORMATION]" header, then blocks of a time line
// "hh:mm:ss.cc,hh:mm:ss.cc", one text line ("[br]" breaks it) and an empty line.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"


namespace zv {

namespace {

// "hh:mm:ss.cc,hh:mm:ss.cc". Two hour digits keep both times far below the
// largest StandardFile number.
bool ReadTimes(std::string_view line, long& start, long& end)
{
    if (!(DigitAt(line, 0) && DigitAt(line, 1) && CharAt(line, 2, ':') && DigitAt(line, 3)))
        return false;
    start = ClockTenthsAt(line, 0, 2);
    end = ClockTenthsAt(line, 12, 2);
    return true;
}

class SubViewer2Formatter final : public RecordFormatter {
public:
    bool UsesKeptHeader() const override { return true; }
    bool NeedsEnds() const override { return true; }
    long LatestTime() const override { return LatestTenths(99); }
    void WriteFixedHeader(std::string& out) override
    {
        out += "[INFORMATION]\r\n"
               "[TITLE]\r\n"
               "[AUTHOR]\r\n"
               "[SOURCE]\r\n"
               "[PRG]\r\n"
               "[FILEPATH]\r\n"
               "[DELAY]\r\n"
               "[CD TRACK]\r\n"
               "[COMMENT]Subtitle synchronized using Zentavo: http://www.zentavo.example/\r\n"
               "[END INFORMATION]\r\n"
               "[SUBTITLE]\r\n"
               "[COLF]&HFFFFFF,[STYLE]bd,[SIZE]16,[FONT]Arial\r\n";
    }
    bool Format(const WriterRecord& r, std::string& out) override
    {
        ClockTime start;
        ClockTime end;
        // An end beyond the hours the reader takes would lose the line on
        // the next read.
        if (!SplitTenths(r.start, 99, start) || !SplitTenths(r.end, 99, end))
            return false;
        AppendClockFraction(out, start, true, '.', 2);
        out += ',';
        AppendClockFraction(out, end, true, '.', 2);
        out += "\r\n";
        out += r.text;
        out += "\r\n";
        return true;
    }
};

class SubViewer2Handler final : public FormatHandler {
public:
    explicit SubViewer2Handler(Context& ctx) : FormatHandler(ctx, SubtitleFormat::SubViewer2) {}

    int ReadSubtitleFile(const std::string& source, const std::string& standardFile) override
    {
        return ReadTimeAndTextLines(ctx_, source, standardFile, ReadTimes, hasHeader, !readingSecond_);
    }

    Outcome WriteSubtitleFile(const std::string& source, const std::string& target, int deleteSource, int convertMode,
                              int firstEntryIndex, const WriteOptions& options) override
    {
        (void)firstEntryIndex;
        SubViewer2Formatter formatter;
        return RunWriter(*this, formatter, source, target, deleteSource, convertMode, options);
    }
};

} // namespace

std::unique_ptr<FormatHandler> MakeSubViewer2Handler(Context& ctx)
{
    return std::make_unique<SubViewer2Handler>(ctx);
}

} // namespace zv
