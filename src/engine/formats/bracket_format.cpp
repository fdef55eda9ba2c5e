#include "engine/formats/bracket_format.h"

#include "engine/formats/reader_common.h"
#include "engine/formats/writer_common.h"
#include "engine/standard_file.h"

#include <utility>

namespace zv {

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }

// Reads the digits of one field up to its closing bracket. False for any other
// character, and for a value no StandardFile can hold. A negative number
// (a minus before the digits) is read as 0 and told in negative.
bool ReadField(std::string_view line, std::size_t& pos, char close, long& value, bool& negative)
{
    value = 0;
    const bool minus = CharAt(line, pos, '-') && DigitAt(line, pos + 1);
    pos += minus ? 1 : 0;
    for (; pos < line.size() && line[pos] != close; ++pos) {
        if (!Digit(line[pos]))
            return false;
        value = value * 10 + (line[pos] - '0');
        if (value > kMaxStandardNumber)
            return false;
    }
    if (minus) {
        negative = true;
        value = 0;
    }
    return pos < line.size();
}

bool IsFrameRateText(std::string_view text)
{
    text = WithoutLineEnd(text);
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (Digit(c))
            digit = true;
        else if ((c == '.' || c == ',') && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

// The fields of a line "{start}{end}text" (in the given brackets); false for
// any other line. negative tells a negative number, read as 0.
bool ParseBracketLine(std::string_view line, char open, char close, long& start, long& end, std::string_view& text,
                      bool& negative)
{
    start = 0;
    end = 0;
    negative = false;
    if (line.size() < 3 || line[0] != open)
        return false;
    std::size_t pos = 1;
    if (!ReadField(line, pos, close, start, negative))
        return false;
    pos += 2; // the close and the character after it, which is not tested
    if (pos > line.size() || !ReadField(line, pos, close, end, negative))
        return false;
    text = line.substr(pos + 1);
    return true;
}

class BracketFormatter final : public RecordFormatter {
public:
    BracketFormatter(char open, char close, bool frames) : open_(open), close_(close), frames_(frames) {}
    bool ConvertsToFrames() const override { return frames_; }
    // The kept header of a MicroDvd file is its frame-rate line.
    bool UsesKeptHeader() const override { return frames_; }
    bool Format(const WriterRecord& r, std::string& out) override
    {
        const long start = FileNumber(r.start);
        const long end = FileNumber(r.end);
        // A number the format's own reader refuses (a negative one, or more
        // digits than it reads) would make the file unreadable.
        if (start < 0 || end < 0 || start > kMaxStandardNumber || end > kMaxStandardNumber)
            return false;
        out += open_;
        AppendNumber(out, start);
        out += close_;
        out += open_;
        if (end > 0)
            AppendNumber(out, end);
        out += close_;
        out += r.text;
        return true;
    }

private:
    // Mpl2 counts tenths: milliseconds go to the nearest one. Frames and
    // tenths are the file's own numbers already.
    long FileNumber(long value) const
    {
        if (frames_ || precision == TimePrecision::Tenths || value < 0)
            return value;
        return (value + 50) / 100;
    }

    char open_;
    char close_;
    bool frames_;
};

} // namespace

bool IsFrameRateLine(std::string_view line)
{
    // Read as the reader reads it: "{01}{01}29,970" is one too.
    long start = 0;
    long end = 0;
    std::string_view text;
    bool negative = false;
    return ParseBracketLine(line, '{', '}', start, end, text, negative) && start == 1 && end == 1 &&
           IsFrameRateText(text);
}

int ReadBracketFile(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second,
                    Brackets brackets)
{
    const bool keepFrameRateLine = !second;
    const bool frames = brackets.frames;
    ReaderFiles files(handler.context(), source, standardFile, frames && keepFrameRateLine);
    if (!files.ok())
        return -1;
    bool first = true;
    bool frameRateLine = false;
    std::string_view line;
    while (files.Next(line)) {
        if (line.size() < 3)
            continue;
        long start = 0;
        long end = 0;
        std::string_view text;
        bool negative = false;
        if (!ParseBracketLine(line, brackets.open, brackets.close, start, end, text, negative))
            return files.BadLine(line);
        handler.negativeTimes += negative ? 1 : 0;
        // The frame-rate line stays out of the records: no operation moves
        // it, no other format gets it, and the writer puts it back on top.
        if (std::exchange(first, false) && frames && start == 1 && end == 1 && IsFrameRateText(text)) {
            frameRateLine = true;
            if (keepFrameRateLine)
                files.WriteHeader(line);
            continue;
        }
        if (!frames && handler.precision == TimePrecision::Milliseconds) {
            start = FromTenths(start, handler.precision);
            end = FromTenths(end, handler.precision);
        }
        files.WriteRecord(start, end, text);
    }
    const int result = files.Finish();
    if (result == 0 && keepFrameRateLine)
        handler.hasHeader = frameRateLine ? 1 : 0;
    return result;
}

Outcome WriteBracketFile(FormatHandler& handler, const std::string& source, const std::string& target,
                         int deleteSource, int convertMode, Brackets brackets, const WriteOptions& options)
{
    BracketFormatter formatter(brackets.open, brackets.close, brackets.frames);
    return RunWriter(handler, formatter, source, target, deleteSource, convertMode, options);
}

bool DetectBrackets(std::string_view area, Brackets brackets)
{
    if (!CharAt(area, 0, brackets.open))
        return false;
    for (std::size_t i = 1; i <= 17; ++i)
        if (CharAt(area, i, brackets.close) && CharAt(area, i + 1, brackets.open))
            return true;
    return false;
}

} // namespace zv
