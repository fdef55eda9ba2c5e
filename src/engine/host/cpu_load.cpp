#include "engine/host/cpu_load.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace zv {

std::optional<CpuTimes> ParseCpuTimes(std::string_view procStat)
{
    std::istringstream in{std::string(procStat)};
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("cpu ", 0) != 0)
            continue;
        std::istringstream fields(line.substr(4));
        // user nice system idle iowait irq softirq steal; guest time is
        // already counted in user and nice.
        unsigned long long value = 0;
        CpuTimes times;
        int index = 0;
        for (; index < 8 && fields >> value; ++index) {
            times.total += value;
            if (index != 3 && index != 4)
                times.busy += value;
        }
        if (index < 4)
            return std::nullopt;
        return times;
    }
    return std::nullopt;
}

std::optional<CpuTimes> ReadCpuTimes(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return ParseCpuTimes(text.str());
}

std::optional<int> CpuLoadPercent(const std::optional<CpuTimes>& earlier, const CpuTimes& later)
{
    if (!earlier || later.total <= earlier->total)
        return std::nullopt;
    const double total = static_cast<double>(later.total - earlier->total);
    // Counters that went backwards (a reset, a suspended machine) count as no work.
    const double busy = later.busy >= earlier->busy ? static_cast<double>(later.busy - earlier->busy) : 0.0;
    const double percent = busy * 100.0 / total + 0.5;
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

} // namespace zv
