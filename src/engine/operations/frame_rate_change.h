// The drift that a known frame-rate change leaves: a film released at one
// rate, subtitles timed against a release at another.
#pragma once

#include "engine/time_units.h"

#include <optional>
#include <span>
#include <string>

namespace zv {

// One known change: the movie at one rate, the subtitles timed for another.
struct FrameRateChange {
    double movieFps = 0;
    double subtitleFps = 0;
    // When another change gives the very same ratio (24 -> 23.976 and
    // 30 -> 29.97 both stretch by 1.001), its rates; 0 when there is none.
    double otherMovieFps = 0;
    double otherSubtitleFps = 0;
    // The exact factor by which the file's numbers must be multiplied.
    double ratio = 1;
};

// Every known change in both directions, with ratios for time units.
std::span<const FrameRateChange> KnownFrameRateChanges();

// The known change that two points picked by hand show. span is the distance
// between their new times in the file's units (tenths of a second, or frames
// of the movie); a point is picked to about two tenths of a second, so over a
// short span the ratio is known roughly and over a film's length closely. The
// change's exact ratio must lie that near the given one and nearer to it than
// to 1 (no drift at all). The ratio is new times over old times. In frame
// units (MicroDvd) the same real time is counted at the movie's rate, so the
// factor is the inverse of the time-unit one. Two changes of one ratio are
// always named in the same order, wherever the picked ratio lies.
std::optional<FrameRateChange> FindFrameRateChange(double ratio, double span, bool frameUnits,
                                                   TimePrecision precision = TimePrecision::Tenths);

// "23.976", "25", "29.97": the rate as people write it.
std::string FpsName(double fps);

// The finding in words from a text with two %s, the movie's rate and the
// subtitles' rate ("23.976 / 29.97" when two changes give one ratio).
std::string DescribeFrameRateChange(const std::string& pattern, const FrameRateChange& change);

} // namespace zv
