#include "engine/standard_file.h"

#include "engine/io/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace zv {

namespace {

constexpr char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                               "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                               "8081828384858687888990919293949596979899";

bool InField(long value) { return value >= 0 && value <= kMaxStandardNumber; }
bool InWideField(long value) { return value >= 0 && value <= MaxStandardTime(TimePrecision::Milliseconds); }

// Seven digits and the bar at at, for a value inside the field. Every record
// carries two of these, so the digits go by hand and in pairs, not through
// printf.
void WriteField(char* at, long value)
{
    const auto v = static_cast<unsigned long>(value);
    const unsigned long high = v / 10000; // three digits
    const unsigned long low = v % 10000;  // four digits
    at[0] = static_cast<char>('0' + high / 100);
    std::memcpy(at + 1, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(at + 3, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(at + 5, kDigitPairs + 2 * (low % 100), 2);
    at[7] = '|';
}

} // namespace

void AppendStandardNumber(std::string& out, long value)
{
    if (!InField(value)) {
        // A millisecond time past seven digits takes nine; a value outside
        // every field, which no sound pass writes, as printf has it.
        char buffer[32];
        const int n = std::snprintf(buffer, sizeof buffer, InWideField(value) ? "%09ld|" : "%07ld|", value);
        out.append(buffer, static_cast<std::size_t>(n));
        return;
    }
    char field[8];
    WriteField(field, value);
    out.append(field, sizeof field);
}

std::string WriteStandardNumber(long value)
{
    std::string out;
    AppendStandardNumber(out, value);
    return out;
}

long HmsFromTenths(long t, long& hours, long& minutes, long& seconds)
{
    hours = minutes = seconds = 0;
    if (t >= 36000) {
        hours = t / 36000;
        t %= 36000;
    }
    if (t >= 600) {
        minutes = t / 600;
        t %= 600;
    }
    seconds = t / 10;
    return t % 10;
}

long TenthsFromHms(long hours, long minutes, long seconds)
{
    return ((hours * 60 + minutes) * 60 + seconds) * 10;
}

long ParseLong(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > 100'000'000'000L)
            break; // far beyond any record; stop before overflowing
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

namespace {

// A field of width digits and its bar at from: the value and the column after the bar.
bool ReadFieldAt(std::string_view line, std::size_t from, long& value, std::size_t& next)
{
    for (const std::size_t width : {std::size_t{7}, std::size_t{9}}) {
        if (line.size() <= from + width || line[from + width] != '|')
            continue;
        long v = 0;
        std::size_t i = from;
        for (; i < from + width && line[i] >= '0' && line[i] <= '9'; ++i)
            v = v * 10 + (line[i] - '0');
        if (i != from + width)
            return false;
        value = v;
        next = from + width + 1;
        return true;
    }
    return false;
}

// Both fields whole: their values and the text column.
bool ReadWholeFields(std::string_view line, long& start, long& end, std::size_t& textColumn)
{
    std::size_t afterStart = 0;
    return ReadFieldAt(line, 0, start, afterStart) && ReadFieldAt(line, afterStart, end, textColumn);
}

} // namespace

std::size_t RecordTextColumn(std::string_view line)
{
    long start = 0;
    long end = 0;
    std::size_t column = 16;
    if (!ReadWholeFields(line, start, end, column))
        return 16;
    return column;
}

bool HasRecordTimes(std::string_view line)
{
    long start = 0;
    std::size_t next = 0;
    return ReadFieldAt(line, 0, start, next);
}

RecordFields ParseRecordLine(std::string_view line)
{
    RecordFields f;
    // The usual line: both fields seven digits and their bars.
    if (line.size() >= 16 && line[7] == '|' && line[15] == '|') {
        long start = 0;
        long end = 0;
        bool digits = true;
        for (std::size_t i = 0; i < 7 && digits; ++i) {
            const char s = line[i];
            const char e = line[8 + i];
            digits = s >= '0' && s <= '9' && e >= '0' && e <= '9';
            start = start * 10 + (s - '0');
            end = end * 10 + (e - '0');
        }
        if (digits) {
            f.start = start;
            f.end = end;
            f.text = line.substr(16);
            return f;
        }
    }
    std::size_t column = 0;
    if (ReadWholeFields(line, f.start, f.end, column)) {
        f.text = line.substr(column);
        return f;
    }
    f = RecordFields{};
    f.start = ParseLong(line.substr(0, 7));
    if (line.size() > 8)
        f.end = ParseLong(line.substr(8, 7));
    if (line.size() > 16)
        f.text = line.substr(16);
    return f;
}

void ParseRecordTimes(std::string_view record, long& start, long& end)
{
    const RecordFields f = ParseRecordLine(record.substr(0, 24));
    start = f.start;
    end = f.end;
}

void AppendRecord(std::string& out, long start, long end, std::string_view text)
{
    if (InField(start) && InField(end)) {
        char times[16];
        WriteField(times, start);
        WriteField(times + 8, end);
        out.append(times, sizeof times);
    } else {
        AppendStandardNumber(out, start);
        AppendStandardNumber(out, end);
    }
    out += text;
}

std::string FormatRecord(long start, long end, std::string_view text)
{
    std::string out;
    out.reserve(16 + text.size());
    AppendRecord(out, start, end, text);
    return out;
}

void EnsureFinalLineBreak(const std::string& path)
{
    // Only ever a file of the workspace, where a link is not followed.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return;
    std::FILE* f = ::fdopen(fd, "rb+");
    if (!f) {
        ::close(fd);
        return;
    }
    if (std::fseek(f, -1, SEEK_END) == 0) {
        const int last = std::fgetc(f);
        if (last != '\n' && last != EOF) {
            std::fseek(f, 0, SEEK_END);
            std::fputs("\r\n", f);
        }
    }
    std::fclose(f);
}

bool ReadLineAt(Context& ctx, long n, const std::string& path, std::string& line)
{
    line.clear();
    LineReader reader;
    if (!reader.Open(path)) {
        ctx.CannotOpen();
        return false;
    }
    std::string current;
    for (long i = 0; reader.Next(current); ++i) {
        if (i == n) {
            line = current;
            break;
        }
    }
    return true;
}

long RecordStartAt(Context& ctx, long n, const std::string& path)
{
    std::string record;
    if (!ReadLineAt(ctx, n, path, record))
        return 0;
    long start = 0;
    long end = 0;
    ParseRecordTimes(record, start, end);
    return start;
}

long LoadStandardRecords(Context& ctx, StandardRecordList& list, const std::string& path)
{
    list.clear();
    LineReader reader;
    if (!reader.Open(path)) {
        ctx.CannotOpen();
        return -1;
    }
    std::string line;
    while (reader.Next(line)) {
        if (line.size() <= 2)
            continue;
        line.resize(line.size() - 2);
        const RecordFields f = ParseRecordLine(line);
        list.push_back(std::make_unique<StandardRecord>(f.start, f.end, std::string(f.text)));
    }
    return static_cast<long>(list.size());
}

} // namespace zv
