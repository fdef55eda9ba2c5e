// Lining a file up with a timed one: distorted copies of one made-up film
// must come back to the reference's times through Synchronize, and a film
// that is not the same must be refused.
#include "engine/operations/autosync.h"
#include "engine/operations/frame_rate_change.h"
#include "engine/operations/synchronize.h"
#include "support/engine_fixture.h"
#include "support/film_timings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>

namespace zv::test {
namespace {

// How the file to fix differs from the reference: reference time = ratio x
// target time + offset, lines lost on either side, said differently, timed
// loosely, and perhaps counted in frames.
struct Distortion {
    const char* name;
    double ratio;
    double offset;
    double removed;    // share of the reference's lines the target lacks
    double extra;      // share of the target's lines the reference lacks
    double merged;     // share of lines said together with the next one
    double split;      // share of lines split in two
    double fps;        // MicroDvd frames at this rate; 0 for tenths
    double filmStart;  // where the reference's first line starts
};

// Test names say which distortion failed; the bytes of the struct would not.
void PrintTo(const Distortion& d, std::ostream* os)
{
    *os << d.name;
}

constexpr double k25On23976 = 25.0 / (24000.0 / 1001.0);

class AutoSyncTest : public EngineTest, public ::testing::WithParamInterface<Distortion> {};

StandardRecordList Records(const std::vector<FilmLine>& lines, double unitsPerSecond, const std::string& text)
{
    StandardRecordList records;
    for (const FilmLine& l : lines)
        records.push_back(std::make_unique<StandardRecord>(std::lround(l.start * unitsPerSecond),
                                                           std::lround(l.end * unitsPerSecond), text));
    return records;
}

TEST_P(AutoSyncTest, TheDistortedCopyComesBackToTheReferenceTimes)
{
    const Distortion& d = GetParam();
    const std::vector<FilmLine> film = FilmTimings(1, 700, d.filmStart);
    std::mt19937 random(2);
    const auto chance = [&](double share) { return std::uniform_real_distribution<double>(0, 1)(random) < share; };
    std::vector<FilmLine> reference;
    std::vector<FilmLine> target;
    std::vector<double> truth; // each target line's start in the reference's time
    for (std::size_t i = 0; i < film.size(); ++i) {
        FilmLine line = film[i];
        if (!chance(d.extra))
            reference.push_back(line);
        if (chance(d.removed))
            continue;
        if (i + 1 < film.size() && chance(d.merged))
            line.end = film[++i].end;
        const double jitter = std::uniform_real_distribution<double>(-0.1, 0.1)(random);
        const auto moved = [&](double t) { return (t - d.offset) / d.ratio + jitter; };
        if (chance(d.split)) {
            const double middle = std::round((line.start + line.end) * 5) / 10;
            target.push_back({moved(line.start), moved(middle)});
            truth.push_back(line.start);
            line.start = middle;
        }
        target.push_back({moved(line.start), moved(line.end)});
        truth.push_back(line.start);
    }

    const double units = d.fps > 0 ? d.fps : 10.0;
    const StandardRecordList targetRecords = Records(target, units, "Nie wiem, co powiedzieć.");
    const StandardRecordList referenceRecords = Records(reference, 10, "I don't know what to say.");
    const TimeMapFinding finding = FindTimeMap(SpeechOf(targetRecords, units), SpeechOf(referenceRecords, 10));
    EXPECT_TRUE(finding.trusted) << finding.score << " against chance " << finding.chance;
    EXPECT_NEAR(finding.ratio, d.ratio, 1e-4);
    const double span = static_cast<double>(targetRecords.back()->start - targetRecords.front()->start);
    const auto named = FindFrameRateChange(d.ratio, span, d.fps > 0);
    const auto found = FindFrameRateChange(finding.ratio, span, d.fps > 0);
    ASSERT_EQ(found.has_value(), named.has_value());
    if (named) {
        EXPECT_DOUBLE_EQ(found->ratio, named->ratio);
    }

    // Synchronize itself applies the map through the two points.
    const AutoSyncPlan plan = PlanAutoSync(finding, targetRecords, units, d.fps > 0, false);
    EXPECT_LT(plan.listed.index[0], static_cast<long>(targetRecords.size()) / 2);
    EXPECT_GE(plan.listed.index[1], static_cast<long>(targetRecords.size()) / 2);
    const SyncPoints& points = plan.points;
    EXPECT_EQ(points.change.has_value(), named.has_value());
    std::string source;
    for (const auto& r : targetRecords)
        source += Rec(r->start, r->end, r->text);
    ASSERT_TRUE(
        RetimeStandardFile(*ctx, WriteFile("target.std", source), Out(), points.old1, points.new1, points.new2,
                           points.old2)
            .done);
    StandardRecordList result;
    ASSERT_EQ(LoadStandardRecords(*ctx, result, Out()), static_cast<long>(truth.size()));
    std::vector<double> errors;
    for (std::size_t i = 0; i < truth.size(); ++i)
        errors.push_back(std::fabs(static_cast<double>(result[i]->start) / units - truth[i]));
    std::sort(errors.begin(), errors.end());
    // Times are whole tenths: half the jittered lines are a tenth off already.
    EXPECT_LE(errors[errors.size() / 2], 0.1 + 1e-9);
    EXPECT_LE(errors.back(), 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Distortions, AutoSyncTest,
    ::testing::Values(
        Distortion{"LaterByFiftyMinutes", 1.0, -3000, 0.15, 0, 0.1, 0, 0, 30},
        Distortion{"Release25OnMovie23976", k25On23976, 20, 0.15, 0, 0.2, 0.05, 0, 30},
        // Frames against tenths; the reference misses lines of its own.
        Distortion{"MicroDvd30On2997", 1.001, 45.5, 0.15, 0.1, 0.1, 0, 25, 60},
        Distortion{"EarlierByFiftyFiveMinutesOn25", 1.0 / k25On23976, 3300, 0.15, 0.05, 0.1, 0.05, 0, 3500}),
    [](const ::testing::TestParamInfo<Distortion>& param) { return std::string(param.param.name); });

TEST(FindTimeMapTest, AnotherFilmOrNoSpeechIsNotTrusted)
{
    const auto spans = [](unsigned seed) {
        std::vector<SpeechSpan> film;
        for (const FilmLine& l : FilmTimings(seed, 700))
            film.push_back({l.start, l.end});
        return film;
    };
    for (unsigned other : {2u, 3u}) {
        const TimeMapFinding finding = FindTimeMap(spans(other), spans(1));
        EXPECT_FALSE(finding.trusted) << finding.score << " against chance " << finding.chance;
    }
    EXPECT_FALSE(FindTimeMap({}, spans(1)).trusted);
    const TimeMapFinding none = FindTimeMap(spans(1), {});
    EXPECT_FALSE(none.trusted);
    EXPECT_EQ(none.partnered.size(), 700u);
}

// A timed file too small to measure lines up somewhere by itself: a single
// subtitle once took a long file 38 minutes away at "100 %", and a few dozen
// lines of another film spread thin pass as often as not.
class TooLittleSpeechTest : public EngineTest {};

TEST_F(TooLittleSpeechTest, AReferenceWithTooLittleSpeechIsRefusedAndSaysWhy)
{
    const auto spans = [](unsigned seed) {
        std::vector<SpeechSpan> film;
        for (const FilmLine& l : FilmTimings(seed, 700))
            film.push_back({l.start, l.end});
        return film;
    };
    const std::vector<SpeechSpan> film = spans(1);
    struct Case {
        const char* name;
        unsigned seed; // the reference's film
        std::size_t count, step;
        double length; // each line's length in seconds; 0 keeps the film's
        const char* why;
    };
    const Case cases[] = {
        {"one subtitle", 1, 1, 1, 0, "T422"},
        {"forty lines of another film, spread thin", 2, 40, 17, 0, "T422"},
        {"150 short lines, under a minute", 1, 150, 1, 0.35, "T422"},
        // Enough speech, but a stretch far shorter than the target speaks.
        {"a quarter of an hour of the film", 1, 150, 1, 0, "T421"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<SpeechSpan> lines = spans(c.seed);
        std::vector<SpeechSpan> reference;
        for (std::size_t i = 0; i < c.count; ++i) {
            SpeechSpan s = lines[300 / c.step + i * c.step];
            if (c.length > 0)
                s.end = s.start + c.length;
            reference.push_back(s);
        }
        const TimeMapFinding finding = FindTimeMap(film, reference);
        EXPECT_FALSE(finding.trusted) << finding.score << " against chance " << finding.chance;
        host.messages.clear();
        TellTimedFileDoesNotFit(*ctx, finding, Owner::None);
        EXPECT_EQ(Messages(), "T48: T406\n" + std::string(c.why));
    }
}

TEST(FindTimeMapTest, TimesBeforeTheFilmAreCutOff)
{
    std::vector<SpeechSpan> film;
    for (const FilmLine& l : FilmTimings(1, 700))
        film.push_back({l.start, l.end});
    // A target wholly before zero has nothing to line up.
    std::vector<SpeechSpan> before = film;
    for (SpeechSpan& s : before)
        s = {s.start - 1e5, s.end - 1e5};
    EXPECT_FALSE(FindTimeMap(before, film).trusted);
    EXPECT_FALSE(FindTimeMap(film, before).trusted);
    // One whose first lines lie before zero still finds its place.
    std::vector<SpeechSpan> early = film;
    for (SpeechSpan& s : early)
        s = {s.start - 100, s.end - 100};
    const TimeMapFinding finding = FindTimeMap(early, film);
    EXPECT_TRUE(finding.trusted) << finding.score << " against chance " << finding.chance;
    EXPECT_NEAR(finding.offset, 100, 0.05);
}

} // namespace
} // namespace zv::test
