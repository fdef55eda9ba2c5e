// The processor load the status bar shows, from two readings of the kernel's
// time counters (/proc/stat) taken a while apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv {

// The whole machine's time counters, in clock ticks since boot.
struct CpuTimes {
    unsigned long long busy = 0;  // every state but idle and waiting for I/O
    unsigned long long total = 0; // every state
};

// The "cpu" line of /proc/stat's text; nothing when there is none.
std::optional<CpuTimes> ParseCpuTimes(std::string_view procStat);
// Reads the file (normally /proc/stat); nothing where it does not exist.
std::optional<CpuTimes> ReadCpuTimes(const std::string& path = "/proc/stat");

// The load between two readings in percent, 0 to 100. Nothing for the first
// reading (no earlier one) and when no time passed between them.
std::optional<int> CpuLoadPercent(const std::optional<CpuTimes>& earlier, const CpuTimes& later);

} // namespace zv
