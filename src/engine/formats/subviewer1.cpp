// SubViewer1: a "[TITLE]" header that ends in the start-of-script marker, then
// per subtitle a "[hh:mm:ss]" line and one text line, then the end marker.
// Start times only, in whole seconds.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

namespace zv {

namespace {

// "[hh:mm:ss]": a start, no end.
bool ReadTimes(std::string_view line, TimePrecision precision, long& start, long& end)
{
    if (!(CharAt(line, 0, '[') && DigitAt(line, 1) && DigitAt(line, 2) && CharAt(line, 3, ':') && DigitAt(line, 4) &&
          DigitAt(line, 5) && CharAt(line, 6, ':') && DigitAt(line, 7) && DigitAt(line, 8) && CharAt(line, 9, ']')))
        return false;
    start = ClockTimeAt(line, 1, 0, precision);
    end = 0;
    return true;
}

class SubViewer1Formatter final : public RecordFormatter {
public:
    bool UsesKeptHeader() const override { return true; }
    void WriteFixedHeader(std::string& out) override
    {
        out += "[TITLE]\r\n\r\n"
               "[AUTHOR]\r\n\r\n"
               "[SOURCE]\r\n\r\n"
               "[PRG]\r\n\r\n"
               "[FILEPATH]\r\n\r\n"
               "[DELAY]\r\n0\r\n"
               "[CD TRACK]\r\n0\r\n"
               "[BEGIN]\r\n"
               "******** START SCRIPT ********\r\n";
    }
    bool Format(const WriterRecord& r, std::string& out) override
    {
        ClockTime t;
        if (!SplitClock(r.start, precision, 0, 99, t))
            return false;
        out += '[';
        AppendClock(out, t, true);
        out += "]\r\n";
        out += r.text;
        return true;
    }
    void WriteFooter(std::string& out) override { out += "[END]\r\n******** End Script ********\r\n"; }
};

int Read(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second)
{
    return ReadTimeAndTextLines(handler, source, standardFile, ReadTimes, !second);
}

Outcome Write(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
              int convertMode, int firstEntryIndex, const WriteOptions& options)
{
    (void)firstEntryIndex;
    SubViewer1Formatter formatter;
    return RunWriter(handler, formatter, source, target, deleteSource, convertMode, options);
}

// The header's first line, "[TITLE]".
bool Detect(std::string_view b)
{
    return b.substr(0, 7) == "[TITLE]";
}

} // namespace

const FormatDescriptor kSubViewer1Format = {
    .format = SubtitleFormat::SubViewer1,
    .name = "subviewer1",
    .label = "[00:00:00]  (SUB)",
    .extension = "sub",
    .linesPerSubtitle = 99,
    .isFrameBased = 0,
    .mayLengthen = 1,
    .hasEndTimes = false,
    .subtitleStart = "[dd:",
    .detect = Detect,
    .read = Read,
    .write = Write,
};

} // namespace zv
