// SubRip: numbered blocks of a time line "hh:mm:ss,mmm --> hh:mm:ss,mmm", the
// text lines and an empty line.
#include "engine/formats/formats.h"
#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

#include <utility>

namespace zv {

namespace {

// Only the positions the format fixes are tested; the fields are read from
// their own positions.
bool IsTimeLine(std::string_view line)
{
    return DigitAt(line, 0) && DigitAt(line, 1) && CharAt(line, 2, ':') && DigitAt(line, 3) &&
           CharAt(line, 15, '>') && DigitAt(line, 17) && CharAt(line, 25, ',') && DigitAt(line, 26);
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
            if (IsTimeLine(line)) {
                // Two hour digits keep both times far below the largest
                // StandardFile number.
                start = ClockTimeAt(line, 0, 3, handler.precision);
                end = ClockTimeAt(line, 17, 3, handler.precision);
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

// A one-digit entry number on a line of its own, then a digit.
bool Detect(std::string_view b)
{
    return DigitAt(b, 0) && CharAt(b, 1, '\r') && CharAt(b, 2, '\n') && DigitAt(b, 3);
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
