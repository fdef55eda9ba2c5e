// SubRip: numbered blocks of a time line "hh:mm:ss,mmm --> hh:mm:ss,mmm", the
// text lines and an empty line.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

#include <utility>

namespace zv {

namespace {

// The fixed form "hh:mm:ss,mmm --> hh:mm:ss,mmm". Only the positions the
// format fixes are tested; the fields are read from their own positions. A
// minus before a time (a negative time, read as 0) moves what follows it by
// one. Two hour digits keep both times far below the largest StandardFile
// number.
bool ReadFixedTimeLine(std::string_view line, TimePrecision precision, long& start, long& end, bool& negativeStart,
                       bool& negativeEnd)
{
    negativeStart = CharAt(line, 0, '-');
    const std::size_t s = negativeStart ? 1 : 0;
    if (!(DigitAt(line, s) && DigitAt(line, s + 1) && CharAt(line, s + 2, ':') && DigitAt(line, s + 3) &&
          CharAt(line, s + 15, '>')))
        return false;
    negativeEnd = CharAt(line, s + 17, '-');
    const std::size_t e = s + 17 + (negativeEnd ? 1 : 0);
    if (!(DigitAt(line, e) && CharAt(line, e + 8, ',') && DigitAt(line, e + 9)))
        return false;
    start = negativeStart ? 0 : ClockTimeAt(line, s, 3, precision);
    end = negativeEnd ? 0 : ClockTimeAt(line, e, 3, precision);
    return true;
}

// A time line as other editors write it loosely: fields of one or two
// digits, a fraction of one to three after ',' or '.', any blanks around
// the arrow. Tried only when the fixed form does not fit, so every line of
// that form reads as it always has.
bool ReadLooseTimeLine(std::string_view line, TimePrecision precision, long& start, long& end, bool& negativeStart,
                       bool& negativeEnd)
{
    std::size_t i = 0;
    const auto number = [&](std::size_t most, long& value, long* scale = nullptr) {
        std::size_t digits = 0;
        value = 0;
        for (; digits < most && DigitAt(line, i); ++digits, ++i) {
            value = value * 10 + (line[i] - '0');
            if (scale)
                *scale *= 10;
        }
        return digits > 0;
    };
    const auto time = [&](long& out, bool& negative) {
        negative = CharAt(line, i, '-');
        i += negative ? 1 : 0;
        long hours = 0;
        long minutes = 0;
        long seconds = 0;
        long fraction = 0;
        long scale = 1;
        const auto separator = [&](auto... accepted) {
            const bool found = ((CharAt(line, i, accepted)) || ...);
            i += found ? 1 : 0;
            return found;
        };
        if (!number(2, hours) || !separator(':') || !number(2, minutes) || !separator(':') ||
            !number(2, seconds) || !separator(',', '.') || !number(3, fraction, &scale))
            return false;
        out = negative ? 0
                       : TimeFromHms(hours, minutes, seconds, precision) +
                             fraction * UnitsPerSecond(precision) / scale;
        return true;
    };
    const auto blanks = [&] {
        while (CharAt(line, i, ' ') || CharAt(line, i, '\t'))
            ++i;
    };
    if (!time(start, negativeStart))
        return false;
    blanks();
    if (line.substr(i, 3) != "-->")
        return false;
    i += 3;
    blanks();
    return time(end, negativeEnd);
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
        case State::Seeking: {
            // Entry numbers, empty lines and anything else between blocks
            // are passed over.
            bool negative[2] = {false, false};
            if (ReadFixedTimeLine(line, handler.precision, start, end, negative[0], negative[1]) ||
                ReadLooseTimeLine(line, handler.precision, start, end, negative[0], negative[1])) {
                handler.negativeTimes += negative[0] || negative[1] ? 1 : 0;
                text.clear();
                lineEnd = "\r\n";
                state = State::FirstText;
            }
            break;
        }
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
