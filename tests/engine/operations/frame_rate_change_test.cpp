#include "engine/operations/frame_rate_change.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zv::test {
namespace {

// What two picked reference points give: the ratio (new2 - new1) / (old2 - old1)
// and the distance between the new times.
struct Pick {
    double ratio;
    double span;
};

Pick Picked(long old1, long new1, long old2, long new2)
{
    return {static_cast<double>(new2 - new1) / static_cast<double>(old2 - old1), static_cast<double>(new2 - new1)};
}

// Ten minutes between the points, in tenths.
constexpr double kTenMinutes = 6000;

TEST(FrameRateChangeTest, PickedRatiosSnapToTheNearestKnownChange)
{
    struct Case {
        const char* what;
        Pick pick;
        bool frames;
        const char* finding; // "" when nothing may snap
        double exact;
    };
    const double film = 24000.0 / 1001.0, ntsc = 30000.0 / 1001.0;
    const Case cases[] = {
        // Tenths picked a tenth off at both ends of a film two hours long.
        {"25 fps subtitles on a 23.976 movie", Picked(1000, 1043, 60000, 62563), false, "23.976|25", 25 / film},
        {"23.976 subtitles on a sped-up 25 movie", Picked(1000, 959, 60000, 57543), false, "25|23.976", film / 25},
        {"25 fps subtitles on a 24 movie", Picked(500, 521, 50000, 52084), false, "24|25", 25.0 / 24},
        {"24 fps subtitles on a 25 movie", Picked(500, 480, 50000, 48001), false, "25|24", 24.0 / 25},
        {"29.97 subtitles on a 25 movie", Picked(300, 360, 40000, 47954), false, "25|29.97", ntsc / 25},
        {"25 fps subtitles on a 29.97 movie", Picked(300, 250, 40000, 33366), false, "29.97|25", 25 / ntsc},
        // 24 -> 23.976 and 30 -> 29.97 stretch alike: both are named.
        {"a 1.001 stretch", Picked(1000, 1001, 70000, 70070), false, "23.976 / 29.97|24 / 30", 1.001},
        {"a 1.001 shrink", Picked(1000, 999, 70000, 69930), false, "24 / 30|23.976 / 29.97", 1 / 1.001},
        // The two are named in one order on either side of the ratio.
        {"a 1.001 stretch picked a little long", Picked(1000, 1001, 70000, 70071), false, "23.976 / 29.97|24 / 30",
         1.001},
        {"a 1.001 stretch picked a little short", Picked(1000, 1001, 70000, 70069), false, "23.976 / 29.97|24 / 30",
         1.001},
        // Points 40 s apart picked a tenth off: 0.2 % from the exact ratio.
        {"a short span", Picked(100, 104, 500, 522), false, "23.976|25", 25 / film},
        // In frames the same real time is counted at the movie's rate.
        {"frames of 25 fps subtitles on a 23.976 movie", Picked(250, 240, 150000, 143860), true, "23.976|25",
         film / 25},
        {"frames of 23.976 subtitles on a 25 movie", Picked(250, 261, 150000, 156410), true, "25|23.976", 25 / film},
        // Between 25/24 and 25/23.976 (0.1 % apart) the nearer one wins.
        {"just above 25/24", {1.04175, kTenMinutes}, false, "24|25", 25.0 / 24},
        {"just below 25/23.976", {1.04260, kTenMinutes}, false, "23.976|25", 25 / film},
        // What must not snap.
        {"no drift", {1.0, kTenMinutes}, false, "", 0},
        {"a picking error nearer to 1 than to 1.001", {1.0004, kTenMinutes}, false, "", 0},
        {"a plain stretch", {1.01, kTenMinutes}, false, "", 0},
        {"0.17 % beyond 25/23.976", {1.0445, kTenMinutes}, false, "", 0},
        // Over two hours 0.05 % is 3.5 s: far more than a picking error.
        {"a long span 0.05 % off", Picked(1000, 1043, 72000, 75040), false, "", 0},
        {"no span", {25 / film, 0}, false, "", 0},
        {"zero", {0.0, kTenMinutes}, false, "", 0},
        {"backwards", {-1.0427, kTenMinutes}, false, "", 0},
        {"not a number", {std::numeric_limits<double>::quiet_NaN(), kTenMinutes}, false, "", 0},
        {"infinite", {std::numeric_limits<double>::infinity(), kTenMinutes}, false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto found = FindFrameRateChange(c.pick.ratio, c.pick.span, c.frames);
        if (!*c.finding) {
            EXPECT_FALSE(found.has_value());
            continue;
        }
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(DescribeFrameRateChange("%s|%s", *found), c.finding);
        EXPECT_NEAR(found->ratio, c.exact, 1e-12);
    }
}

TEST(FrameRateChangeTest, EveryChangeComesWithItsInverse)
{
    const auto changes = KnownFrameRateChanges();
    ASSERT_EQ(changes.size(), 8u);
    for (const auto& change : changes) {
        int inverses = 0;
        for (const auto& other : changes)
            inverses += std::fabs(other.ratio * change.ratio - 1) < 1e-12 && other.movieFps == change.subtitleFps;
        EXPECT_EQ(inverses, 1) << FpsName(change.movieFps) << " " << FpsName(change.subtitleFps);
    }
    // A pattern without its two places, or with extra ones, stays readable.
    EXPECT_EQ(DescribeFrameRateChange("drift %s", changes[0]), "drift 23.976");
    EXPECT_EQ(DescribeFrameRateChange("%s %s %s", changes[0]), "23.976 25 %s");
}

} // namespace
} // namespace zv::test
