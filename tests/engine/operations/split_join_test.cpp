#include "engine/file_io.h"
#include "engine/operations/join.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/split.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace zv::test {
namespace {

using SplitTest = EngineTest;

TEST_F(SplitTest, FirstNLinesGoToTheFirstPartAndAFailedOpenIsToldOnce)
{
    const auto in = WriteFile("in.std", Rec(1, 0, "a") + Rec(2, 0, "b") + Rec(3, 0, "c"));
    EXPECT_EQ(SplitStandardFile(*ctx, in, Path("one"), Path("two"), 2), 0);
    EXPECT_EQ(ReadFile(Path("one")), Rec(1, 0, "a") + Rec(2, 0, "b"));
    EXPECT_EQ(ReadFile(Path("two")), Rec(3, 0, "c"));
    EXPECT_EQ(ctx->SecondDoneFlag, 1);
    EXPECT_EQ(host.ProgressWindowsStarted(), 0);

    EXPECT_EQ(SplitStandardFile(*ctx, Path("missing"), Path("one2"), Path("two2"), 2), -1);
    EXPECT_EQ(Messages(), "T44: T46");
    EXPECT_FALSE(FileExists(Path("one2")));
    EXPECT_EQ(ctx->SecondDoneFlag, 0);
}

TEST_F(SplitTest, RunSplitMovesTheSecondPartEarlierAndCancelLeavesNoResult)
{
    auto handler = Load(SubtitleFormat::MicroDvd, "{100}{150}a\r\n{2400}{2450}b\r\n{2500}{2600}c\r\n");
    const long n = SplitPointForLine(*handler, 2, Path("in.sub"));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(BoundaryStart(*ctx, n), 2400);
    EXPECT_EQ(BoundaryStart(*ctx, 9), 0); // past the end: no boundary record
    EXPECT_EQ(RunSplit(*ctx, *handler, n, 2400), 0);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{100}{150}a\r\n{2400}{2450}b\r\n");
    EXPECT_EQ(ReadFile(ws().SecondWorkingCopy), "{100}{200}c\r\n");
    EXPECT_EQ(ctx->OperationDoneFlag, 1);
    EXPECT_EQ(ctx->SecondDoneFlag, 1);
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));
    EXPECT_FALSE(FileExists(ws().OutputStandardFile));

    // Cancel at the shift's drop question: no writer call, no second message.
    WriteFile("_VZv1_0__TEMP2_FILE.tmp", "stale");
    host.answers = {Answer::Cancel};
    EXPECT_EQ(RunSplit(*ctx, *handler, 1, 2450), -1);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(ReadFile(ws().SecondWorkingCopy), "stale");
    EXPECT_EQ(ctx->OperationDoneFlag, 0);
    EXPECT_EQ(ctx->SecondDoneFlag, 0);
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));
}

TEST_F(SplitTest, EachPartGetsTheAutomaticStamp)
{
    settings.WriteSetting("STOPKA_AUTO", "1");
    settings.WriteSetting("STOPKA_SELECTION", "1");
    settings.WriteSetting("STOPKA_POCZATEK", "S");
    auto handler = Load(SubtitleFormat::Mpl2, "[100][150]a\r\n[400][450]b\r\n", "in.txt");
    EXPECT_EQ(RunSplit(*ctx, *handler, 1, 0), 0);
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

TEST(ClockAmountTest, TimesBecomeUnitsWithinTheFieldRange)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        long h, m, s;
        bool frames;
        double fps;
        ClockAmount result;
        long units;
    };
    const Case cases[] = {
        {0, 1, 30, false, 0.0, ClockAmount::Ok, 900},
        {0, 1, 30, true, 25.0, ClockAmount::Ok, 2250},
        {0, 0, 1, true, 23.976, ClockAmount::Ok, 23}, // cut toward zero
        {1, 0, 0, true, 0.0, ClockAmount::BadRate, 0},
        {1, 0, 0, true, -25.0, ClockAmount::BadRate, 0},
        {1, 0, 0, true, nan, ClockAmount::BadRate, 0},
        {1, 0, 0, true, inf, ClockAmount::BadRate, 0},
        {111, 0, 0, true, 25.0, ClockAmount::Ok, 9'990'000},
        {112, 0, 0, true, 25.0, ClockAmount::TooLarge, 0},
        {277, 46, 40, false, 0.0, ClockAmount::TooLarge, 0},
        {999'999'999, 0, 0, true, 1e300, ClockAmount::TooLarge, 0},
    };
    for (const Case& c : cases) {
        long units = -1;
        const ClockAmount got = UnitsFromClock(c.h, c.m, c.s, c.frames, c.fps, units);
        SCOPED_TRACE(std::to_string(c.h) + ":" + std::to_string(c.m) + ":" + std::to_string(c.s));
        EXPECT_EQ(got, c.result);
        if (got == ClockAmount::Ok) {
            EXPECT_EQ(units, c.units);
        }
    }
}

using JoinTest = EngineTest;

TEST_F(JoinTest, AppendKeepsBothFilesInTheirOrder)
{
    const auto first = WriteFile("a.std", Rec(500, 0, "late"));
    EXPECT_EQ(AppendStandardFile(*ctx, first, WriteFile("b.std", Rec(100, 0, "early")), Path("t.std")), 0);
    EXPECT_EQ(ReadFile(Path("t.std")), Rec(500, 0, "late") + Rec(100, 0, "early"));
    EXPECT_EQ(ctx->OperationDoneFlag, 1);

    EXPECT_EQ(AppendStandardFile(*ctx, first, Path("missing"), Path("t.std")), -1);
    EXPECT_FALSE(FileExists(Path("t.std")));
    EXPECT_EQ(ctx->OperationDoneFlag, 0);
}

TEST_F(JoinTest, RunJoinMovesTheSecondFileByTheOffsetAndCancelEndsQuietly)
{
    auto handler = Load(SubtitleFormat::Mpl2, "[10][20]a\r\n[54321][54330]b\r\n", "one.txt");
    ASSERT_EQ(handler->ReadSecondSubtitleFile(WriteFile("two.txt", "[20][30]c\r\n[0][]d\r\n"), ws().SecondStandardFile), 0);
    const long offset = JoinBoundaryStart(*ctx);
    EXPECT_EQ(offset, 54321);
    EXPECT_EQ(RunJoin(*ctx, *handler, offset), 0);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[10][20]a\r\n[54321][54330]b\r\n[54341][54351]c\r\n[54321][]d\r\n");
    EXPECT_EQ(ctx->OperationDoneFlag, 1);
    EXPECT_FALSE(FileExists(ws().OutputStandardFile));
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));

    WriteFile("_VZv1_0__TEMP_FILE.tmp", "stale");
    host.answers = {Answer::Cancel};
    EXPECT_EQ(RunJoin(*ctx, *handler, -100), -1);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "stale");
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));
    EXPECT_EQ(ctx->OperationDoneFlag, 0);
}

TEST_F(JoinTest, BoundaryIsTheLastRecordLineWhateverBlankLinesStand)
{
    WriteFile("src.std", Rec(10, 0, "a") + "\r\n" + Rec(700, 0, "b") + "\r\n\n");
    zv::CopyFileOver(Path("src.std"), ws().SourceStandardFile);
    EXPECT_EQ(JoinBoundaryStart(*ctx), 700);
}

TEST_F(JoinTest, TheFirstFilesHeaderStaysAfterReadingTheSecond)
{
    struct Case {
        SubtitleFormat format;
        std::string first, second, name, header;
    };
    const Case cases[] = {
        {SubtitleFormat::SubViewer2, "[INFORMATION]\r\n[TITLE]One\r\n00:00:01.00,00:00:02.00\r\nA\r\n",
         "[INFORMATION]\r\n[TITLE]Two\r\n00:00:01.00,00:00:02.00\r\nB\r\n", "sub", "[TITLE]One"},
        {SubtitleFormat::Ssa,
         "[Script Info]\r\nTitle: One\r\n\r\n[Events]\r\nDialogue: Marked=0,0:00:01.00,0:00:02.00,Default,,0000,0000,0000,,A\r\n",
         "[Script Info]\r\nTitle: Two\r\n\r\n[Events]\r\nDialogue: Marked=0,0:00:01.00,0:00:02.00,Default,,0000,0000,0000,,B\r\n",
         "ssa", "Title: One"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto handler = Load(c.format, c.first, "one." + c.name);
        ASSERT_EQ(handler->ReadSecondSubtitleFile(WriteFile("two." + c.name, c.second), ws().SecondStandardFile), 0);
        EXPECT_EQ(RunJoin(*ctx, *handler, 100), 0);
        const std::string joined = ReadFile(ws().WorkingCopy);
        EXPECT_NE(joined.find(c.header), std::string::npos) << joined;
        EXPECT_EQ(joined.find("Two"), std::string::npos) << joined;
        // A later command (a second Join after Cancel) writes the same header.
        EXPECT_EQ(RunJoin(*ctx, *handler, 100), 0);
        EXPECT_EQ(ReadFile(ws().WorkingCopy), joined);
    }
}

} // namespace
} // namespace zv::test
