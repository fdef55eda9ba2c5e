#include "engine/file_io.h"
#include "engine/operations/join.h"
#include "engine/operations/split.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zv::test {
namespace {

using SplitTest = EngineTest;

TEST_F(SplitTest, FirstNLinesGoToTheFirstPartAndAFailedOpenNamesTheThreeFiles)
{
    const auto in = WriteFile("in.std", Rec(1, 0, "a") + Rec(2, 0, "b") + Rec(3, 0, "c"));
    EXPECT_EQ(SplitStandardFile(*ctx, in, Path("one"), Path("two"), 2), 0);
    EXPECT_EQ(ReadFile(Path("one")), Rec(1, 0, "a") + Rec(2, 0, "b"));
    EXPECT_EQ(ReadFile(Path("two")), Rec(3, 0, "c"));
    EXPECT_EQ(ctx->SecondDoneFlag, 1);
    EXPECT_EQ(host.ProgressWindowsStarted(), 0);

    EXPECT_EQ(SplitStandardFile(*ctx, Path("missing"), Path("one2"), Path("two2"), 2), -1);
    EXPECT_EQ(Messages(), "T44: T46 / ok: " + Path("missing") + " " + Path("one2") + " " + Path("two2"));
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

} // namespace
} // namespace zv::test
