// The subtitle timings of a made-up film, for the tests that line one file
// up with another: lines of one to five seconds, pauses from a tenth of a
// second to half a minute, as real dialogue comes. The same seed gives the
// same film.
#pragma once

#include <random>
#include <vector>

namespace zv::test {

struct FilmLine {
    double start = 0; // seconds, whole tenths
    double end = 0;
};

inline std::vector<FilmLine> FilmTimings(unsigned seed, int count, double firstStart = 30)
{
    std::mt19937 random(seed);
    const auto tenths = [&](unsigned from, unsigned to) {
        return static_cast<double>(from + random() % (to - from + 1)) / 10.0;
    };
    std::vector<FilmLine> lines;
    double t = firstStart;
    for (int i = 0; i < count; ++i) {
        const double start = t;
        t += tenths(10, 50);
        lines.push_back({start, t});
        // Mostly short pauses, now and then a long silence.
        t += random() % 8 == 0 ? tenths(50, 300) : tenths(1, 25);
    }
    return lines;
}

} // namespace zv::test
