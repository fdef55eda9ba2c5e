// The steps every reader shares: the source is copied over the WorkingCopy,
// given a final line break and read from there; the StandardFile (and the
// HeaderFile for the formats that keep one) is created anew; on any failure
// nothing of the StandardFile remains.
#pragma once

#include "engine/context.h"
#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "engine/time_units.h"

#include <string>
#include <string_view>

namespace zv {

// What the readers look at by position. A position past the line is simply
// absent, so no test or field ever reads beyond a short line.
inline bool DigitAt(std::string_view line, std::size_t pos)
{
    return pos < line.size() && line[pos] >= '0' && line[pos] <= '9';
}
inline bool CharAt(std::string_view line, std::size_t pos, char c) { return pos < line.size() && line[pos] == c; }
// The decimal value of the digits at positions first..last (blanks before
// them passed over); 0 when there are none.
long NumberAt(std::string_view line, std::size_t first, std::size_t last);
// The time "hh:mm:ss" at position at in the units of precision, with the
// fraction of fractionDigits digits after the seconds' separator when there
// is one (0: none). Tenths cut the fraction to its first digit.
long ClockTimeAt(std::string_view line, std::size_t at, std::size_t fractionDigits, TimePrecision precision);
// A time of whole hours, minutes and seconds in the units of precision.
long TimeFromHms(long hours, long minutes, long seconds, TimePrecision precision);
// A line that holds nothing but its line end.
inline bool IsEmptyLine(std::string_view line) { return WithoutLineEnd(line).empty(); }

class ReaderFiles {
public:
    ReaderFiles(Context& ctx, const std::string& source, const std::string& standardFile, bool withHeader);
    ~ReaderFiles();
    ReaderFiles(const ReaderFiles&) = delete;
    ReaderFiles& operator=(const ReaderFiles&) = delete;

    // False when a file could not be opened; the user has been told and
    // everything is cleaned up: the reader returns -1.
    bool ok() const { return ok_; }

    // Reads the next line (with its line end) and counts it. The line views
    // the reader's buffer until the next call.
    bool Next(std::string_view& line);

    void WriteRecord(long start, long end, std::string_view text);
    void Write(std::string_view text) { out_.Write(text); }
    // Header lines go to the HeaderFile only when this read keeps the header.
    void WriteHeader(std::string_view line)
    {
        if (withHeader_)
            header_.Write(line);
    }

    // Closes everything and removes the WorkingCopy: 0, or -1 when writing failed.
    int Finish();
    // A line the format cannot read: the report, the offer to edit the source,
    // nothing of the StandardFile left. Returns -1.
    int BadLine(std::string_view line);

private:
    void Discard();
    Context& ctx_;
    std::string source_;
    std::string standardFile_;
    bool withHeader_;
    bool ok_ = false;
    bool done_ = false;
    long lineNumber_ = 0;
    LineReader in_;
    OutputFile out_;
    std::string record_; // one record as it is written, reused
    OutputFile header_;
};

// The reader of the formats whose subtitles are a time line and one text line
// after it (SubViewer1, SubViewer2): every line before the first time line is
// kept in the HeaderFile, other lines between subtitles are passed over.
// times reads a time line and is false for any other line. keepHeader false
// leaves the HeaderFile as it is (Join's second file). 0 (hasHeader then 1)
// or -1.
using TimeLineReader = bool (*)(std::string_view line, TimePrecision precision, long& start, long& end);
int ReadTimeAndTextLines(FormatHandler& handler, const std::string& source, const std::string& standardFile,
                         TimeLineReader times, bool keepHeader = true);

// Shows the message (caption text 52, Yes/No) and on Yes opens the source for
// the user to mend it.
void OfferSourceEdit(Context& ctx, const std::string& sourcePath, const std::string& message);

} // namespace zv
