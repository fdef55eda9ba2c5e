// SubViewer2: an "[INFORMATION]" header (some files have none), then blocks of a time line
// "hh:mm:ss.cc,hh:mm:ss.cc", one text line ("[br]" breaks it) and an empty line.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

namespace zv {

namespace {

// "hh:mm:ss.cc,hh:mm:ss.cc". Two hour digits keep both times far below the
// largest StandardFile number.
bool ReadTimes(std::string_view line, TimePrecision precision, long& start, long& end)
{
    if (!(DigitAt(line, 0) && DigitAt(line, 1) && CharAt(line, 2, ':') && DigitAt(line, 3)))
        return false;
    start = ClockTimeAt(line, 0, 2, precision);
    end = ClockTimeAt(line, 12, 2, precision);
    return true;
}

class SubViewer2Formatter final : public RecordFormatter {
public:
    bool UsesKeptHeader() const override { return true; }
    bool NeedsEnds() const override { return true; }
    long LatestTime() const override { return LatestClockTime(99, precision, 2); }
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
        if (!SplitClock(r.start, precision, 2, 99, start) || !SplitClock(r.end, precision, 2, 99, end))
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

int Read(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second)
{
    return ReadTimeAndTextLines(handler, source, standardFile, ReadTimes, !second);
}

Outcome Write(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
              int convertMode, int firstEntryIndex, const WriteOptions& options)
{
    (void)firstEntryIndex;
    SubViewer2Formatter formatter;
    return RunWriter(handler, formatter, source, target, deleteSource, convertMode, options);
}

// The header's first line, "[INFORMATION]", or for a file without the
// header its first time line: "hh:mm:ss.cc,hh:" fills the bytes read.
bool Detect(std::string_view b)
{
    if (b.substr(0, 8) == "[INFORMA")
        return true;
    const auto clock = [&](std::size_t at) {
        return DigitAt(b, at) && DigitAt(b, at + 1) && CharAt(b, at + 2, ':');
    };
    return clock(0) && clock(3) && DigitAt(b, 6) && DigitAt(b, 7) && CharAt(b, 8, '.') && DigitAt(b, 9) &&
           DigitAt(b, 10) && CharAt(b, 11, ',') && clock(12);
}

} // namespace

const FormatDescriptor kSubViewer2Format = {
    .format = SubtitleFormat::SubViewer2,
    .name = "subviewer2",
    .label = "hh:mm:ss.xx,hh ...",
    .extension = "sub",
    .linesPerSubtitle = 99,
    .isFrameBased = 0,
    .mayLengthen = 1,
    .hasEndTimes = true,
    .subtitleStart = "dd:",
    .detect = Detect,
    .read = Read,
    .write = Write,
};

} // namespace zv
