// The StandardFile: one record per line, "SSSSSSS|EEEEEEE|text" with the
// line end of its source, units frames (MicroDvd), tenths of a second or
// milliseconds (see time_units.h). A field is seven digits; a millisecond
// time past 9,999,999 takes nine, so each field ends at its own bar.
#pragma once

#include "engine/context.h"
#include "engine/time_units.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv {

inline constexpr long kMaxStandardNumber = 9'999'999;

// Seven zero-padded digits and the bar (nine for a larger time).
std::string WriteStandardNumber(long value);
void AppendStandardNumber(std::string& out, long value);
// Returns the remaining tenths (0-9).
long HmsFromTenths(long tenths, long& hours, long& minutes, long& seconds);
long TenthsFromHms(long hours, long minutes, long seconds);

// Decimal value of the leading digits of text, like atol (sign and leading
// blanks accepted).
long ParseLong(std::string_view text);

// Where a record's text begins: after the second bar when both fields are
// whole (column 16 for the usual seven digits), else column 16.
std::size_t RecordTextColumn(std::string_view line);
// Whether the line starts with a whole start field and its bar.
bool HasRecordTimes(std::string_view line);

// One StandardFile line split into its fields. The text runs from the text
// column to the end of the line, line end included.
struct RecordFields {
    long start = 0;
    long end = 0;
    std::string_view text;
};
RecordFields ParseRecordLine(std::string_view line);
// Times from columns 0-6 and 8-14 of a record.
void ParseRecordTimes(std::string_view record, long& start, long& end);
// start|end| and the text as it stands.
std::string FormatRecord(long start, long end, std::string_view text);
void AppendRecord(std::string& out, long start, long end, std::string_view text);

// A record held in memory: its times and its text.
struct StandardRecord {
    StandardRecord(long s, long e, std::string t) : start(s), end(e), text(std::move(t)) {}

    long start = 0;
    long end = 0;
    std::string text;
};
inline bool operator<=(const StandardRecord& a, const StandardRecord& b) { return a.start <= b.start; }

using StandardRecordList = std::vector<std::unique_ptr<StandardRecord>>;

// Appends CR LF when the file's last byte is not a line feed.
void EnsureFinalLineBreak(const std::string& path);
// Line n (from 0) with its line end; false after the open-failure message.
// A line past the end reads as the empty text.
bool ReadLineAt(Context& ctx, long n, const std::string& path, std::string& line);
// The start of line n's record; 0 when there is none, also after the
// open-failure message.
long RecordStartAt(Context& ctx, long n, const std::string& path);
// Number of records, or -1 after the open-failure message.
long LoadStandardRecords(Context& ctx, StandardRecordList& list, const std::string& path);

} // namespace zv
