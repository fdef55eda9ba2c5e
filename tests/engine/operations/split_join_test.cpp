#include "engine/io/file_io.h"
#include "engine/operations/join.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/split.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <tuple>

namespace zv::test {
namespace {

using SplitTest = EngineTest;

TEST_F(SplitTest, FirstNLinesGoToTheFirstPartAndAFailedOpenIsToldOnce)
{
    const auto in = WriteFile("in.std", Rec(1, 0, "a") + Rec(2, 0, "b") + Rec(3, 0, "c"));
    EXPECT_EQ(SplitStandardFile(*ctx, in, Path("one"), Path("two"), 2), 0);
    EXPECT_EQ(ReadFile(Path("one")), Rec(1, 0, "a") + Rec(2, 0, "b"));
    EXPECT_EQ(ReadFile(Path("two")), Rec(3, 0, "c"));
    EXPECT_EQ(host.ProgressWindowsStarted(), 0);

    EXPECT_EQ(SplitStandardFile(*ctx, Path("missing"), Path("one2"), Path("two2"), 2), -1);
    EXPECT_EQ(Messages(), "T44: T46");
    EXPECT_FALSE(FileExists(Path("one2")));
}

TEST_F(SplitTest, RunSplitMovesTheSecondPartEarlierAndCancelLeavesNoResult)
{
    auto handler = Load(SubtitleFormat::MicroDvd, "{100}{150}a\r\n{2400}{2450}b\r\n{2500}{2600}c\r\n");
    const long n = SplitPointForLine(*handler, 2, Path("in.sub"));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(BoundaryStart(*ctx, n), 2400);
    EXPECT_EQ(BoundaryStart(*ctx, 9), 0); // past the end: no boundary record
    EXPECT_TRUE(RunSplit(*ctx, *handler, n, 2400, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{100}{150}a\r\n{2400}{2450}b\r\n");
    EXPECT_EQ(ReadFile(ws().SecondWorkingCopy), "{100}{200}c\r\n");
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));
    EXPECT_FALSE(FileExists(ws().OutputStandardFile));

    // Cancel at the shift's drop question: no writer call, no second message.
    AtomicWriteFile(ws().SecondWorkingCopy, "stale");
    host.answers = {Answer::Cancel};
    EXPECT_FALSE(RunSplit(*ctx, *handler, 1, 2450, WriteOptions{}).done);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(ReadFile(ws().SecondWorkingCopy), "stale");
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));
}

TEST_F(SplitTest, EachPartGetsTheAutomaticStamp)
{
    settings.WriteSetting("STOPKA_AUTO", "1");
    settings.WriteSetting("STOPKA_SELECTION", "1");
    settings.WriteSetting("STOPKA_POCZATEK", "S");
    auto handler = Load(SubtitleFormat::Mpl2, "[100][150]a\r\n[400][450]b\r\n", "in.txt");
    EXPECT_TRUE(RunSplit(*ctx, *handler, 1, 0, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[0][]S\r\n[100][150]a\r\n");
    EXPECT_EQ(ReadFile(ws().SecondWorkingCopy), "[0][]S\r\n[400][450]b\r\n");
}

TEST_F(SplitTest, CutBeforeTheFirstSubtitleOrInAnUnreadableSourceIsRefused)
{
    const std::string srt = "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n"
                            "2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n";
    auto handler = Load(SubtitleFormat::SubRip, srt, "in.srt");
    EXPECT_EQ(SplitPointForLine(*handler, 3, Path("in.srt")), 1);
    EXPECT_EQ(SplitPointForLine(*handler, 6, Path("in.srt")), 2);
    EXPECT_EQ(Messages(), "");
    // The number line of the first block lies before its time line.
    EXPECT_EQ(SplitPointForLine(*handler, 1, Path("in.srt")), -1);
    EXPECT_EQ(Messages(), "T44: T198");
    host.messages.clear();
    EXPECT_EQ(SplitPointForLine(*handler, 3, Path("gone.srt")), -1);
    EXPECT_EQ(Messages(), "T44: T46");
}

TEST_F(SplitTest, MicroDvdFrameRateLineIsALineOfTheFileButNoSubtitle)
{
    auto handler = Load(SubtitleFormat::MicroDvd,
                        "{1}{1}25\r\n{0}{12}Zero\r\n{40}{45}Short\r\n{50}{90}Next\r\n{30}{35}Out\r\n", "in.sub");
    const long n = SplitPointForLine(*handler, 3, Path("in.sub"));
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(RunSplit(*ctx, *handler, n, 10, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{1}{1}25\r\n{0}{12}Zero\r\n{40}{45}Short\r\n");
    EXPECT_EQ(ReadFile(ws().SecondWorkingCopy), "{1}{1}25\r\n{40}{80}Next\r\n{20}{25}Out\r\n");
    // After the frame-rate line itself the first part would be empty.
    EXPECT_EQ(SplitPointForLine(*handler, 1, Path("in.sub")), -1);
    EXPECT_EQ(Messages(), "T44: T198");
    // The count of subtitles knows the frame-rate line as the reader does.
    EXPECT_EQ(CountSubtitles(*ctx, handler.get(), WriteFile("c.sub", "{01}{01}29,970\r\n{10}{20}a\r\n")), 1);
}

TEST(ClockAmountTest, TimesBecomeUnitsWithinTheFieldRange)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // hours, seconds, frame rate (0: a timed file), result, units
    const std::tuple<long, long, double, ClockAmount, long> cases[] = {
        {0, 90, 0.0, ClockAmount::Ok, 900},          {0, 90, 25.0, ClockAmount::Ok, 2250},
        {0, 1, 23.976, ClockAmount::Ok, 23},         {111, 0, 25.0, ClockAmount::Ok, 9'990'000},
        {112, 0, 25.0, ClockAmount::TooLarge, 0},    {278, 0, 0.0, ClockAmount::TooLarge, 0},
        {1, 0, -25.0, ClockAmount::BadRate, 0},      {1, 0, nan, ClockAmount::BadRate, 0},
        {1, 0, std::numeric_limits<double>::infinity(), ClockAmount::BadRate, 0},
    };
    for (const auto& [hours, seconds, fps, result, units] : cases) {
        long got = -1;
        EXPECT_EQ(UnitsFromClock(hours, 0, seconds, 0, fps != 0.0, fps, TimePrecision::Tenths, got), result) << hours << "h " << fps;
        EXPECT_EQ(got, units) << hours << "h " << fps;
    }
}

using JoinTest = EngineTest;

TEST_F(JoinTest, AppendKeepsBothFilesInTheirOrder)
{
    const auto first = WriteFile("a.std", Rec(500, 0, "late"));
    EXPECT_EQ(AppendStandardFile(*ctx, first, WriteFile("b.std", Rec(100, 0, "early")), Path("t.std")), 0);
    EXPECT_EQ(ReadFile(Path("t.std")), Rec(500, 0, "late") + Rec(100, 0, "early"));

    EXPECT_EQ(AppendStandardFile(*ctx, first, Path("missing"), Path("t.std")), -1);
    EXPECT_FALSE(FileExists(Path("t.std")));
}

TEST_F(JoinTest, RunJoinMovesTheSecondFileByTheOffsetAndCancelEndsQuietly)
{
    auto handler = Load(SubtitleFormat::Mpl2, "[10][20]a\r\n[54321][54330]b\r\n", "one.txt");
    ASSERT_EQ(handler->ReadSecondSubtitleFile(WriteFile("two.txt", "[20][30]c\r\n[0][]d\r\n"), ws().SecondStandardFile), 0);
    const long offset = JoinBoundaryStart(*ctx);
    EXPECT_EQ(offset, 54321);
    EXPECT_TRUE(RunJoin(*ctx, *handler, offset, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[10][20]a\r\n[54321][54330]b\r\n[54341][54351]c\r\n[54321][]d\r\n");
    EXPECT_FALSE(FileExists(ws().OutputStandardFile));
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));

    AtomicWriteFile(ws().WorkingCopy, "stale");
    host.answers = {Answer::Cancel};
    EXPECT_FALSE(RunJoin(*ctx, *handler, -100, WriteOptions{}).done);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "stale");
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));
}

TEST_F(JoinTest, BoundaryIsTheLastRecordLineWhateverBlankLinesStand)
{
    WriteFile("src.std", Rec(10, 0, "a") + "\r\n" + Rec(700, 0, "b") + "\r\n\n");
    zv::CopyFileOver(Path("src.std"), ws().SourceStandardFile);
    EXPECT_EQ(JoinBoundaryStart(*ctx), 700);
}

} // namespace
} // namespace zv::test
