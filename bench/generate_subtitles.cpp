// Writes a large subtitle file for the benchmarks:
//   zentavo-bench-gen FORMAT COUNT [--reversed] > file
#include "subtitle_generator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: zentavo-bench-gen FORMAT COUNT [--reversed]\n", stderr);
        return 2;
    }
    const long count = std::strtol(argv[2], nullptr, 10);
    const bool reversed = argc > 3 && std::strcmp(argv[3], "--reversed") == 0;
    if (count <= 0) {
        std::fputs("zentavo-bench-gen: COUNT must be at least 1\n", stderr);
        return 2;
    }
    const std::string out = zv::bench::GenerateSubtitles(argv[1], count, reversed);
    if (out.empty()) {
        std::fprintf(stderr, "zentavo-bench-gen: unknown format %s\n", argv[1]);
        return 2;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
