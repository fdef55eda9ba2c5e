// TmPlayer (hh:mm:ss:text) and TmPlayerShort (h:mm:ss:text): one subtitle per
// line, a start time in whole seconds and no end. The two differ only in the
// number of hour digits, so one reader and one writer serve both.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

namespace zv {

namespace {

class TmPlayerFormatter final : public RecordFormatter {
public:
    explicit TmPlayerFormatter(bool shortForm) : short_(shortForm) {}
    bool Format(const WriterRecord& r, std::string& out) override
    {
        ClockTime t;
        if (!SplitClock(r.start, precision, 0, short_ ? 9 : 99, t))
            return false;
        AppendClock(out, t, !short_);
        out += ':';
        out += r.text;
        return true;
    }

private:
    bool short_;
};

int Read(FormatHandler& handler, const std::string& source, const std::string& standardFile, std::size_t h)
{
    ReaderFiles files(handler.context(), source, standardFile, false);
    if (!files.ok())
        return -1;
    std::string_view whole;
    while (files.Next(whole)) {
        if (whole.size() < 3)
            continue;
        // A minus before the time makes it negative: read as 0.
        const bool negative = CharAt(whole, 0, '-');
        const std::string_view line = whole.substr(negative ? 1 : 0);
        const bool time = DigitAt(line, 0) && (h == 1 || DigitAt(line, 1)) && CharAt(line, h, ':') &&
                          DigitAt(line, h + 1) && DigitAt(line, h + 2) && CharAt(line, h + 3, ':') &&
                          DigitAt(line, h + 4) && DigitAt(line, h + 5);
        if (!time)
            return files.BadLine(whole);
        const long start = negative ? 0
                                    : TimeFromHms(NumberAt(line, 0, h - 1), NumberAt(line, h + 1, h + 2),
                                                  NumberAt(line, h + 4, h + 5), handler.precision);
        if (start > MaxStandardTime(handler.precision))
            return files.BadLine(whole);
        handler.negativeTimes += negative ? 1 : 0;
        // The character after the seconds separates the text and is not
        // tested. A line that ends there still gives a whole record.
        const std::size_t textStart = h + 7;
        if (WithoutLineEnd(line).size() <= textStart)
            files.WriteRecord(start, 0, "\r\n");
        else
            files.WriteRecord(start, 0, line.substr(textStart));
    }
    return files.Finish();
}

int ReadLong(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second)
{
    (void)second;
    return Read(handler, source, standardFile, 2);
}

int ReadShort(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second)
{
    (void)second;
    return Read(handler, source, standardFile, 1);
}

Outcome Write(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
              int convertMode, bool shortForm, const WriteOptions& options)
{
    TmPlayerFormatter formatter(shortForm);
    return RunWriter(handler, formatter, source, target, deleteSource, convertMode, options);
}

Outcome WriteLong(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
                  int convertMode, int firstEntryIndex, const WriteOptions& options)
{
    (void)firstEntryIndex;
    return Write(handler, source, target, deleteSource, convertMode, false, options);
}

Outcome WriteShort(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
                   int convertMode, int firstEntryIndex, const WriteOptions& options)
{
    (void)firstEntryIndex;
    return Write(handler, source, target, deleteSource, convertMode, true, options);
}

// A negative time's minus is passed over.
std::string_view WithoutMinus(std::string_view b) { return b.substr(CharAt(b, 0, '-') ? 1 : 0); }

// Two digits ":" two digits ":" two digits ":".
bool DetectLong(std::string_view area)
{
    const std::string_view b = WithoutMinus(area);
    return DigitAt(b, 0) && DigitAt(b, 1) && CharAt(b, 2, ':') && DigitAt(b, 3) && DigitAt(b, 4) &&
           CharAt(b, 5, ':') && DigitAt(b, 6) && DigitAt(b, 7) && CharAt(b, 8, ':');
}

// One digit ":" two digits ":" two digits ":".
bool DetectShort(std::string_view area)
{
    const std::string_view b = WithoutMinus(area);
    return DigitAt(b, 0) && CharAt(b, 1, ':') && DigitAt(b, 2) && DigitAt(b, 3) && CharAt(b, 4, ':') &&
           DigitAt(b, 5) && DigitAt(b, 6) && CharAt(b, 7, ':');
}

} // namespace

const FormatDescriptor kTmPlayerFormat = {
    .format = SubtitleFormat::TmPlayer,
    .name = "tmplayer",
    .label = "00:00:00",
    .extension = "txt",
    .linesPerSubtitle = 1,
    .isFrameBased = 0,
    .mayLengthen = 0,
    .hasEndTimes = false,
    .subtitleStart = nullptr,
    .detect = DetectLong,
    .read = ReadLong,
    .write = WriteLong,
};

const FormatDescriptor kTmPlayerShortFormat = {
    .format = SubtitleFormat::TmPlayerShort,
    .name = "tmplayer-short",
    .label = "0:00:00",
    .extension = "txt",
    .linesPerSubtitle = 1,
    .isFrameBased = 0,
    .mayLengthen = 0,
    .hasEndTimes = false,
    .subtitleStart = nullptr,
    .detect = DetectShort,
    .read = ReadShort,
    .write = WriteShort,
};

} // namespace zv
