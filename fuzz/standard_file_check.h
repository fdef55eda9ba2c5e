// What every StandardFile a reader or a pass leaves must look like.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zv::fuzz {

struct Record {
    long start = 0;
    long end = 0;
    std::string text; // without its line end

    bool operator==(const Record&) const = default;
};

// The records of a StandardFile; stops the run (Fail) when a line is not
// "SSSSSSS|EEEEEEE|text" with both fields inside 0..9,999,999, or has no
// line end. what names the file in the message.
std::vector<Record> CheckedRecords(const std::string& path, std::string_view what);

// One record as a message shows it.
std::string Describe(const Record& r);

} // namespace zv::fuzz
