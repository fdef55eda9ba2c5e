// SubRip: numbered blocks of a time line "hh:mm:ss,mmm --> hh:mm:ss,mmm", the
// text lines and an empty line.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

#include <utility>

namespace zv {

namespace {

// Where a time line's two times begin; a minus before a time (a negative
// time, read as 0) moves what follows it by one.
struct TimeLine {
    std::size_t start = 0;
    std::size_t end = 17;
    bool negativeStart = false;
    bool negativeEnd = false;
};

// Only the positions the format fixes are tested; the fields are read from
// their own positions.
bool IsTimeLine(std::string_view line, TimeLine& at)
{
    at = TimeLine{};
    if (CharAt(line, 0, '-')) {
        at.negativeStart = true;
        at.start = 1;
    }
    const std::size_t s = at.start;
    if (!(DigitAt(line, s) && DigitAt(line, s + 1) && CharAt(line, s + 2, ':') && DigitAt(line, s + 3) &&
          CharAt(line, s + 15, '>')))
        return false;
    at.end = s + 17;
    if (CharAt(line, at.end, '-')) {
        at.negativeEnd = true;
        ++at.end;
    }
    return DigitAt(line, at.end) && CharAt(line, at.end + 8, ',') && DigitAt(line, at.end + 9);
}

class SubRipFormatter final : public RecordFormatter {
public:
    bool NeedsEnds() const override { return true; }
    long LatestTime() const override { return LatestClockTime(99, precision, 3); }
    bool Format(const WriterRecord& r, std::string& out) override
    {
        ClockTime start;
        ClockTime end;
        // An end beyond the hours the reader takes would lose the block on
        // the next read.
        if (!SplitClock(r.start, precision, 3, 99, start) || !SplitClock(r.end, precision, 3, 99, end))
            return false;
        AppendNumber(out, counter_++);
        out += "\r\n";
        AppendClockFraction(out, start, true, ',', 3);
        out += " --> ";
        AppendClockFraction(out, end, true, ',', 3);
        out += "\r\n";
        // Each bar of the record starts a new row. An empty row would end the
        // block: the rows after it would be lost on the next read, or one that
        // looks like a time line would become a subtitle of its own. So a bar
        // that starts no text (a bar the source had in its text) makes none.
        std::string_view rows = WithoutLineEnd(r.text);
        const std::string_view lineEnd = r.text.substr(rows.size());
        bool first = true;
        for (;;) {
            const std::size_t bar = rows.find('|');
            const std::string_view row = rows.substr(0, bar);
            if (!row.empty()) {
                if (!std::exchange(first, false))
                    out += "\r\n";
                out += row;
            }
            if (bar == std::string_view::npos)
                break;
            rows.remove_prefix(bar + 1);
        }
        out += lineEnd;
        out += "\r\n";
        return true;
    }

private:
    long counter_ = 1;
};

int Read(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second)
{
    (void)second;
    ReaderFiles files(handler.context(), source, standardFile, false);
    if (!files.ok())
        return -1;
    enum class State { Seeking, FirstText, MoreText };
    State state = State::Seeking;
    long start = 0;
    long end = 0;
    std::string text;
    std::string lineEnd;
    auto flush = [&] {
        text += lineEnd;
        files.WriteRecord(start, end, text);
        state = State::Seeking;
    };
    std::string_view line;
    while (files.Next(line)) {
        switch (state) {
        case State::Seeking:
            // Entry numbers, empty lines and anything else between blocks
            // are passed over.
            if (TimeLine at; IsTimeLine(line, at)) {
                // Two hour digits keep both times far below the largest
                // StandardFile number.
                start = at.negativeStart ? 0 : ClockTimeAt(line, at.start, 3, handler.precision);
                end = at.negativeEnd ? 0 : ClockTimeAt(line, at.end, 3, handler.precision);
                handler.negativeTimes += at.negativeStart || at.negativeEnd ? 1 : 0;
                text.clear();
                lineEnd = "\r\n";
                state = State::FirstText;
            }
            break;
        case State::FirstText:
            lineEnd = LineEndOf(line);
            if (IsEmptyLine(line)) {
                // An entry without text; what follows is the next entry.
                flush();
                break;
            }
            text = WithoutLineEnd(line);
            state = State::MoreText;
            break;
        case State::MoreText:
            if (IsEmptyLine(line)) {
                flush();
                break;
            }
            text += '|';
            text += WithoutLineEnd(line);
            lineEnd = LineEndOf(line);
            break;
        }
    }
    // A block cut short by the end of the file still gives its record,
    // with a line end like every other record.
    if (state != State::Seeking)
        flush();
    return files.Finish();
}

Outcome Write(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
              int convertMode, int firstEntryIndex, const WriteOptions& options)
{
    (void)firstEntryIndex;
    SubRipFormatter formatter;
    return RunWriter(handler, formatter, source, target, deleteSource, convertMode, options);
}

// A one-digit entry number on a line of its own, then a digit, or a
// negative time's minus, two digits and a colon.
bool Detect(std::string_view b)
{
    if (!(DigitAt(b, 0) && CharAt(b, 1, '\r') && CharAt(b, 2, '\n')))
        return false;
    return DigitAt(b, 3) || (CharAt(b, 3, '-') && DigitAt(b, 4) && DigitAt(b, 5) && CharAt(b, 6, ':'));
}

} // namespace

const FormatDescriptor kSubRipFormat = {
    .format = SubtitleFormat::SubRip,
    .name = "subrip",
    .label = "00:00:00 --> 00:00:00",
    .extension = "srt",
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
