#include "engine/operations/frame_rate_change.h"

#include "engine/config/decimal_text.h"

#include <array>
#include <cmath>

namespace zv {

namespace {

// The rates a film is released at; the NTSC ones are exactly 1000/1001 of
// the whole numbers, which is what makes a picked ratio snap cleanly.
constexpr double kFilm = 24000.0 / 1001.0;
constexpr double kNtsc = 30000.0 / 1001.0;

// Subtitles timed for a release at subtitleFps shown with one at movieFps:
// a moment at t in the file belongs at t x subtitleFps / movieFps.
constexpr FrameRateChange Change(double movie, double subtitles, double otherMovie = 0, double otherSubtitles = 0)
{
    return {movie, subtitles, otherMovie, otherSubtitles, subtitles / movie};
}

// One entry per ratio: 24 -> 23.976 and 30 -> 29.97 stretch alike, and an
// entry of each would name them in either order, by the last bit of the
// ratio the user happened to pick.
constexpr std::array<FrameRateChange, 8> kChanges = {
    Change(kFilm, 25),  Change(25, kFilm),
    Change(24, 25),     Change(25, 24),
    Change(kFilm, 24, kNtsc, 30), Change(24, kFilm, 30, kNtsc),
    Change(kNtsc, 25),  Change(25, kNtsc),
};

// How closely a moment is picked by hand, in seconds: by eye or by ear
// against the movie, or typed in tenths.
constexpr double kPickingError = 0.2;

} // namespace

std::span<const FrameRateChange> KnownFrameRateChanges()
{
    return kChanges;
}

std::optional<FrameRateChange> FindFrameRateChange(double ratio, double span, bool frameUnits,
                                                   TimePrecision precision)
{
    if (!(ratio > 0) || !std::isfinite(ratio) || !(std::fabs(span) > 0) || !std::isfinite(span))
        return std::nullopt;
    const FrameRateChange* best = nullptr;
    double bestDistance = 0;
    for (const FrameRateChange& change : kChanges) {
        const double exact = frameUnits ? 1.0 / change.ratio : change.ratio;
        const double distance = std::fabs(ratio / exact - 1.0);
        const double seconds = std::fabs(span) / (frameUnits ? change.movieFps : static_cast<double>(UnitsPerSecond(precision)));
        // The 1.001 changes lie only 0.1 % from no change at all: a ratio
        // nearer to 1 is the user's picking error, not a drift.
        if (distance > kPickingError / seconds || std::fabs(ratio - exact) >= std::fabs(ratio - 1.0))
            continue;
        if (!best || distance < bestDistance) {
            best = &change;
            bestDistance = distance;
        }
    }
    if (!best)
        return std::nullopt;
    FrameRateChange found = *best;
    if (frameUnits)
        found.ratio = 1.0 / found.ratio;
    return found;
}

std::string FpsName(double fps)
{
    // Written without the user's locale: a Polish desktop still says 23.976.
    if (std::fabs(fps - std::round(fps)) < 1e-9)
        return FixedText(fps, 0);
    return FixedText(fps, std::fabs(fps - kNtsc) < 1e-6 ? 2 : 3);
}

std::string DescribeFrameRateChange(const std::string& pattern, const FrameRateChange& change)
{
    auto rates = [](double one, double other) {
        return other > 0 ? FpsName(one) + " / " + FpsName(other) : FpsName(one);
    };
    const std::string values[2] = {rates(change.movieFps, change.otherMovieFps),
                                   rates(change.subtitleFps, change.otherSubtitleFps)};
    std::string out;
    int next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' && next < 2) {
            out += values[next++];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace zv
