// Lining subtitles up with a film whose cut differs: distorted copies of one
// made-up film must come back to the reference's times, stretch by stretch,
// and subtitles of another film must be refused.
#include "engine/operations/piecewise_sync.h"
#include "engine/operations/speech_text.h"
#include "support/film_timings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>

namespace zv::test {
namespace {

// A change between the subtitles' film and the reference's: from the start
// of line `line` on, a break of `seconds` put in, or (negative) that much of
// the film taken out.
struct Cut {
    int line;
    double seconds;
};

// reference time = ratio x target time + offset before the first cut.
struct Distortion {
    const char* name;
    double ratio;
    double offset;
    int missingEvery; // every n-th line is not in the subtitles; 0 for none
    bool tags;        // sounds, songs and a credit put in the silences
    std::vector<Cut> cuts;
    double fps;       // the subtitles count frames at this rate; 0 for tenths
    bool signal;      // the reference is the film's speech at 10 ms steps
    double jitter = 0.1;        // each subtitle timed this much off either way, at most
    double referenceMissing = 0; // share of lines the reference lacks
};

void PrintTo(const Distortion& d, std::ostream* os)
{
    *os << d.name;
}

constexpr double k25On23976 = 25.0 / (24000.0 / 1001.0);

class PiecewiseSyncTest : public ::testing::TestWithParam<Distortion> {};

TEST_P(PiecewiseSyncTest, EveryStretchComesBackToTheReferenceTimes)
{
    const Distortion& d = GetParam();
    const std::vector<FilmLine> film = FilmTimings(1, 700);
    std::mt19937 random(3);
    const auto present = [&](std::size_t i) { return d.missingEvery == 0 || i % d.missingEvery != 0; };

    // Where each cut starts to move the subtitles: the first line the
    // subtitles hold at or after the cut's end. Subtitles of a scene taken out
    // keep the offset before them; so does a tag in the silence before.
    struct Change {
        double from; // film time
        double seconds;
    };
    std::vector<Change> changes;
    for (const Cut& c : d.cuts) {
        const double end = film[c.line].start + std::max(0.0, -c.seconds);
        for (std::size_t i = 0; i < film.size(); ++i)
            if (present(i) && film[i].start >= end) {
                changes.push_back({film[i].start, c.seconds});
                break;
            }
    }
    const auto shift = [&](double t) {
        double total = 0;
        for (const Change& c : changes)
            total += t >= c.from ? c.seconds : 0;
        return total;
    };

    StandardRecordList reference;
    StandardRecordList target;
    std::vector<double> truth; // each subtitle's start in the reference's time
    const double units = d.fps > 0 ? d.fps : 10.0;
    const auto add = [&](double start, double end, const std::string& text) {
        const double jitter = std::uniform_real_distribution<double>(-d.jitter, d.jitter)(random);
        const auto moved = [&](double t) { return std::lround(((t - d.offset) / d.ratio + jitter) * units); };
        target.push_back(std::make_unique<StandardRecord>(moved(start), moved(end), text));
        truth.push_back(start + shift(start));
    };
    const char* const tags[] = {"[door slams]", "(MUSIC)", "{y:i}\xE2\x99\xAA la la la \xE2\x99\xAA",
                                "- DOOR CREAKS|- [gasps]"};
    if (d.tags)
        add(5, 8, "Subtitles by Someone|www.example.org");
    for (std::size_t i = 0; i < film.size(); ++i) {
        const FilmLine& l = film[i];
        const bool removed = std::any_of(d.cuts.begin(), d.cuts.end(), [&](const Cut& c) {
            return c.seconds < 0 && l.start >= film[c.line].start && l.start < film[c.line].start - c.seconds;
        });
        if (!removed && std::uniform_real_distribution<double>(0, 1)(random) >= d.referenceMissing) {
            double moved = 0;
            for (const Cut& c : d.cuts)
                moved += l.start >= film[c.line].start ? c.seconds : 0;
            reference.push_back(std::make_unique<StandardRecord>(std::lround((l.start + moved) * 10),
                                                                 std::lround((l.end + moved) * 10), "Well."));
        }
        if (present(i))
            add(l.start, l.end, "Nie wiem, co powiedzie\xC4\x87.");
        if (d.tags && i + 1 < film.size() && film[i + 1].start - l.end > 8)
            add(l.end + 2, l.end + 4, tags[i % std::size(tags)]);
    }

    const SubtitleSpeech subtitles = SubtitleSpeechOf(target, units);
    const std::vector<SpeechSpan> spoken = SpokenSpans(SubtitleSpeechOf(reference, 10));
    PiecewiseFinding found;
    if (d.signal) {
        std::vector<std::uint8_t> flags(static_cast<std::size_t>(spoken.back().end * 100) + 1);
        for (const SpeechSpan& s : spoken)
            std::fill(flags.begin() + std::lround(s.start * 100), flags.begin() + std::lround(s.end * 100), 1);
        found = FindPiecewiseTimeMap(subtitles, SignalFromFlags(flags));
    } else {
        found = FindPiecewiseTimeMap(subtitles, spoken);
    }
    EXPECT_TRUE(found.fit.trusted) << found.fit.score << " against chance " << found.fit.chance;
    EXPECT_NEAR(found.map.ratio, d.ratio, 1e-4);
    EXPECT_EQ(found.map.stretches.size(), d.cuts.size() + 1);

    const StandardRecordList moved = MoveRecords(target, found.map, units);
    ASSERT_EQ(moved.size(), truth.size());
    std::vector<double> errors;
    for (std::size_t i = 0; i < truth.size(); ++i)
        errors.push_back(std::fabs(static_cast<double>(moved[i]->start) / units - truth[i]));
    std::sort(errors.begin(), errors.end());
    // Looser timing than a tenth either way is an error of its own.
    const double loose = d.jitter - 0.1;
    EXPECT_LE(errors[errors.size() / 2], 0.15 + loose);
    EXPECT_LE(errors[errors.size() * 95 / 100], 0.4 + loose);
}

INSTANTIATE_TEST_SUITE_P(
    Distortions, PiecewiseSyncTest,
    ::testing::Values(Distortion{"ShiftedOnly", 1.0, -95.3, 0, false, {}, 0, false},
                      Distortion{"DriftLinesMissingAndTags", k25On23976, 20, 7, true, {}, 0, false},
                      Distortion{"SceneTakenOut", k25On23976, 20, 7, true, {{350, -40}}, 0, false},
                      Distortion{"TwoBreaksInFrames", 1 / k25On23976, -30, 7, true, {{200, 60}, {450, 60}}, 25,
                                 false},
                      // Loose timing must not pass for more cuts of a few tenths.
                      Distortion{"TwoBreaksLooselyTimed", 1 / k25On23976, -30, 7, true, {{200, 60}, {450, 60}}, 25,
                                 false, 0.3, 0.2},
                      Distortion{"TwoBreaksAgainstTheFilmsSpeech", 1.0, 12, 7, true, {{200, 60}, {450, 60}}, 0,
                                 true}),
    [](const ::testing::TestParamInfo<Distortion>& param) { return std::string(param.param.name); });

TEST(FindPiecewiseTimeMapTest, SubtitlesOfAnotherFilmAreRefused)
{
    const auto spans = [](unsigned seed) {
        std::vector<SpeechSpan> film;
        for (const FilmLine& l : FilmTimings(seed, 700))
            film.push_back({l.start, l.end});
        return film;
    };
    for (unsigned other : {2u, 3u, 4u}) {
        const PiecewiseFinding found = FindPiecewiseTimeMap({spans(other), {}}, spans(1));
        EXPECT_FALSE(found.fit.trusted) << other << ": " << found.fit.score << " against chance "
                                        << found.fit.chance << ", " << found.map.stretches.size() << " stretches";
    }
}

TEST(MoveRecordsTest, EachRecordMovesWithTheStretchOfItsStartToTheNearestUnit)
{
    const PiecewiseTimeMap map{1.5, {{0, 0, 1.26}, {7, 100, -40.04}}};
    struct Case {
        double units;
        long start, end;
        long movedStart, movedEnd;
    };
    const Case cases[] = {
        {10, 10, 0, 28, 0},             // 1.5 + 1.26 s; no end stays none
        {10, 990, 1010, 1498, 1528},    // the end past the cut stays with its start
        {10, 1000, 1020, 1100, 1130},   // 150 - 40.04 = 109.96 s
        {25, 2500, 2550, 2749, 2824},   // frames: 150 - 40.04 s at 25
        {1000, 100000, 0, 109960, 0},   // milliseconds
    };
    for (const Case& c : cases) {
        StandardRecordList records;
        records.push_back(std::make_unique<StandardRecord>(c.start, c.end, "Well."));
        const StandardRecordList moved = MoveRecords(records, map, c.units);
        EXPECT_EQ(moved[0]->start, c.movedStart) << c.start << " at " << c.units;
        EXPECT_EQ(moved[0]->end, c.movedEnd) << c.start << " at " << c.units;
        EXPECT_EQ(moved[0]->text, "Well.");
    }
}

TEST(SpeechTextTest, OnlySpeechCounts)
{
    struct Case {
        const char* text;
        SubtitleKind kind;
    };
    const Case cases[] = {
        {"I don't know.\r\n", SubtitleKind::Speech},
        {"GET OUT!", SubtitleKind::Speech},
        {"[JOHN] Hello there", SubtitleKind::Speech},
        {"- [gasps]|- Who's there?", SubtitleKind::Speech},
        {"{y:i}Subtitles are fun, aren't they?", SubtitleKind::Speech},
        {"#1 on the list, my friend.", SubtitleKind::Speech},
        {"<i>[door slams]</i>\r\n", SubtitleKind::SoundTag},
        {"(MUSIC)", SubtitleKind::SoundTag},
        {"[door slams] (thunder)", SubtitleKind::SoundTag},
        {"- DOOR CREAKS|- [gasps]", SubtitleKind::SoundTag},
        {"NARRATOR:", SubtitleKind::SoundTag},
        {"\xE2\x99\xAA Happy birthday to you \xE2\x99\xAA", SubtitleKind::Song},
        {"\xE2\x99\xAA and many more|to come", SubtitleKind::Speech},
        {"# Happy birthday to you #", SubtitleKind::Song},
        {"Subtitles by Someone|www.example.org", SubtitleKind::Credit},
        {"Synced and corrected by someone", SubtitleKind::Credit},
        {"T\xC5\x82umaczenie: Jan Kowalski", SubtitleKind::Credit},
        {"Visit https://example.net today", SubtitleKind::Credit},
        {"{y:i}  |\r\n", SubtitleKind::Empty},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KindOfSubtitle(c.text), c.kind) << c.text;
}

} // namespace
} // namespace zv::test
