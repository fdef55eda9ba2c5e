// Replays, without libFuzzer, every input a fuzzer once crashed on
// (tests/data/fuzz-regressions/<target>/) and every seed (tests/data/formats)
// through the same target functions, so a fault once found stays covered.
#include "fuzz/fuzz_harness.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> FilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main()
{
    const fs::path data = ZENTAVO_TEST_DATA;
    const std::vector<fs::path> seeds = FilesIn(data / "formats");
    if (seeds.empty()) {
        std::fprintf(stderr, "no seeds in %s\n", (data / "formats").c_str());
        return 1;
    }
    long replayed = 0;
    for (const auto& target : zv::fuzz::Targets()) {
        std::vector<fs::path> files = seeds;
        const std::vector<fs::path> found = FilesIn(data / "fuzz-regressions" / target.name);
        files.insert(files.end(), found.begin(), found.end());
        for (const fs::path& file : files) {
            // A crash names its input before the process ends.
            std::fprintf(stderr, "%s %s\n", target.name, file.c_str());
            const std::string bytes = zv::fuzz::ReadWhole(file.string());
            target.run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::printf("%ld inputs replayed\n", replayed);
    return 0;
}
