#include "fuzz/standard_file_check.h"

#include "fuzz/fuzz_harness.h"

namespace zv::fuzz {

namespace {

bool Field(std::string_view line, std::size_t at, long& value)
{
    value = 0;
    for (std::size_t i = at; i < at + 7; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return false;
        value = value * 10 + (line[i] - '0');
    }
    return line[at + 7] == '|';
}

} // namespace

std::vector<Record> CheckedRecords(const std::string& path, std::string_view what)
{
    const std::string bytes = ReadWhole(path);
    std::vector<Record> records;
    std::size_t pos = 0;
    long number = 0;
    while (pos < bytes.size()) {
        ++number;
        const std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string::npos)
            Fail(std::string(what) + ": line " + std::to_string(number) + " has no line end");
        std::string_view line(bytes.data() + pos, lf - pos);
        pos = lf + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        Record r;
        if (line.size() < 16 || !Field(line, 0, r.start) || !Field(line, 8, r.end))
            Fail(std::string(what) + ": line " + std::to_string(number) + " is no record: " + std::string(line));
        r.text = line.substr(16);
        records.push_back(std::move(r));
    }
    return records;
}

std::string Describe(const Record& r)
{
    return std::to_string(r.start) + "|" + std::to_string(r.end) + "|" + r.text;
}

} // namespace zv::fuzz
