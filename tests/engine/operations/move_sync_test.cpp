#include "engine/io/file_io.h"
#include "engine/operations/move_time.h"
#include "engine/operations/synchronize.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zv::test {
namespace {

using MoveTimeTest = EngineTest;

TEST_F(MoveTimeTest, ShiftsStartsAndEndsButKeepsAMissingEnd)
{
    const auto in = WriteFile("in.std", Rec(100, 150, "A|B") + Rec(200, 0, "{y:i}C"));
    ASSERT_TRUE(ShiftStandardFile(*ctx, in, Out(), -50).done);
    EXPECT_EQ(ReadFile(Out()), Rec(50, 100, "A|B") + Rec(150, 0, "{y:i}C"));
    EXPECT_TRUE(host.messages.empty());

    // A missing input is told before any progress window opens.
    EXPECT_FALSE(ShiftStandardFile(*ctx, Path("missing"), Out(), 5).done);
    EXPECT_EQ(Messages(), "T44: T46");
    EXPECT_EQ(host.ProgressWindowsStarted(), 1);
    EXPECT_FALSE(FileExists(Out()));
}

TEST_F(MoveTimeTest, ProgressEventsOfOnePassInOrder)
{
    ASSERT_TRUE(ShiftStandardFile(*ctx, WriteFile("in.std", Rec(10, 20, "A")), Out(), 0).done);
    const std::vector<std::string> expected = {
        "progress start",        "progress ok off",    "progress caption T37", "beep",
        "progress percent 100", "progress status T25", "progress ok on",      "progress caption T24"};
    EXPECT_EQ(host.log, expected);

    // An empty input completes at once, without a single percentage.
    host.percents.clear();
    ASSERT_TRUE(ShiftStandardFile(*ctx, WriteFile("empty.std", ""), Out(), 5).done);
    EXPECT_TRUE(host.percents.empty());
    EXPECT_EQ(ReadFile(Out()), "");
}

TEST_F(MoveTimeTest, RecordsOutsideTheFieldRangeAreDroppedAskingOnce)
{
    // Start below 0, start above 9,999,999, end above 9,999,999: all three
    // leave the file; only the first drop of a run asks.
    const auto in = WriteFile("in.std", Rec(100, 150, "gone") + Rec(9'999'990, 0, "far") +
                                            Rec(9'999'000, 9'999'995, "end too far") + Rec(5000, 5100, "kept"));
    ASSERT_TRUE(ShiftStandardFile(*ctx, in, Out(), -150).done);
    EXPECT_EQ(ReadFile(Out()), Rec(9'999'840, 0, "far") + Rec(9'998'850, 9'999'845, "end too far") +
                                   Rec(4850, 4950, "kept"));
    const Outcome shifted = ShiftStandardFile(*ctx, in, Out(), 10);
    ASSERT_TRUE(shifted.done);
    EXPECT_EQ(ReadFile(Out()), Rec(110, 160, "gone") + Rec(5010, 5110, "kept"));
    EXPECT_EQ(shifted.dropped, 2);
    EXPECT_EQ(host.lastStatus, "T50 2 \n\nT25");
    EXPECT_EQ(Messages(), "T44: T70 / T44: T70");
    EXPECT_EQ(host.messages[1].buttons, Buttons::OkCancel);
    EXPECT_EQ(host.messages[1].owner, Owner::Progress);

    // With the confirmation off the drops are silent, however many.
    host.messages.clear();
    settings.WriteSetting("_CNF_ASK_4", "1");
    std::string many;
    for (int i = 0; i < 35; ++i)
        many += Rec(10 + i, 0, "x");
    ASSERT_TRUE(ShiftStandardFile(*ctx, WriteFile("many.std", many + Rec(500, 600, "stays")), Out(), -100).done);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(host.lastStatus, "T50 35 \n\nT25");
    EXPECT_EQ(ReadFile(Out()), Rec(400, 500, "stays"));
}

TEST_F(MoveTimeTest, LongLinesAndLargeFilesPassWhole)
{
    const std::string longText(5000, 'w');
    std::string big;
    for (int i = 0; i < 25'000; ++i)
        big += Rec(i, 0, "s");
    ASSERT_TRUE(ShiftStandardFile(*ctx, WriteFile("in.std", Rec(1, 2, longText) + big), Out(), 1).done);
    LineReader reader(Out());
    std::string line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, Rec(2, 3, longText));
    long lines = 1;
    while (reader.Next(line))
        ++lines;
    EXPECT_EQ(lines, 25'001);
}

TEST_F(MoveTimeTest, RunMoveTimeLandsInTheWorkingCopyAndCancelWritesNothing)
{
    auto handler = Load(SubtitleFormat::MicroDvd, "{10}{20}early\r\n{500}{}late|two\r\n");
    const Outcome moved = RunMoveTime(*ctx, *handler, -100, WriteOptions{});
    EXPECT_TRUE(moved.done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{400}{}late|two\r\n");
    EXPECT_EQ(moved.dropped, 1);
    EXPECT_FALSE(FileExists(ws().OutputStandardFile)); // the writer consumed it

    // Cancel at the drop question: no writer call, and only the question is shown.
    host.messages.clear();
    AtomicWriteFile(ws().WorkingCopy, "stale");
    host.answers = {Answer::Cancel};
    EXPECT_FALSE(RunMoveTime(*ctx, *handler, -100, WriteOptions{}).done);
    EXPECT_FALSE(FileExists(ws().OutputStandardFile));
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.log.back(), "progress end");
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "stale");
}

using SynchronizeTest = EngineTest;

TEST_F(SynchronizeTest, StartsFollowTheLineDurationsStayAndNegativeStartsGo)
{
    // Ratio 2 through (100 -> 150) and (1000 -> 1950).
    const auto in = WriteFile("in.std", Rec(550, 580, "A") + Rec(100, 0, "B") + Rec(1000, 1100, "C"));
    ASSERT_TRUE(RetimeStandardFile(*ctx, in, Out(), 100, 150, 1950, 1000).done);
    EXPECT_EQ(ReadFile(Out()), Rec(1050, 1080, "A") + Rec(150, 0, "B") + Rec(1950, 2050, "C"));
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "beep"), 0);

    // Ratio 2.5 through (100 -> 50) and (200 -> 300): 60 maps to -50.
    const auto in2 = WriteFile("in2.std", Rec(60, 70, "minus fifty") + Rec(120, 0, "100"));
    const Outcome retimed = RetimeStandardFile(*ctx, in2, Out(), 100, 50, 300, 200);
    ASSERT_TRUE(retimed.done);
    EXPECT_EQ(ReadFile(Out()), Rec(100, 0, "100"));
    EXPECT_EQ(retimed.dropped, 1);
    EXPECT_EQ(Messages(), "T44: T70");

    // Ratio 0.5 through (10 -> 0) and (20 -> 5): truncated toward zero, so
    // -0.5 stays as 0, -1 goes, 123.5 becomes 123.
    const auto in3 = WriteFile("in3.std", Rec(9, 0, "half") + Rec(8, 0, "one") + Rec(257, 0, "cut"));
    ASSERT_TRUE(RetimeStandardFile(*ctx, in3, Out(), 10, 0, 5, 20).done);
    EXPECT_EQ(ReadFile(Out()), Rec(0, 0, "half") + Rec(123, 0, "cut"));
}

TEST_F(SynchronizeTest, SameOldStartAndBackwardTimesAreRefusedWithoutOutput)
{
    const auto in = WriteFile("in.std", Rec(100, 0, "A") + Rec(200, 0, "B"));
    EXPECT_FALSE(RetimeStandardFile(*ctx, in, Out(), 100, 150, 300, 100).done);
    // The second new time at or before the first: a ratio of 0 or below.
    EXPECT_FALSE(RetimeStandardFile(*ctx, in, Out(), 100, 300, 300, 200).done);
    EXPECT_FALSE(RetimeStandardFile(*ctx, in, Out(), 100, 300, 150, 200).done);
    EXPECT_FALSE(FileExists(Out()));
    EXPECT_EQ(Messages(), "T48: T393 / T48: T394 / T48: T394");
    EXPECT_EQ(host.messages[0].icon, Icon::Information);

    host.messages.clear();
    EXPECT_EQ(CheckReferencePoints(*ctx, 100, 100, 200, 200), SyncCheck::NoChange);
    EXPECT_EQ(CheckReferencePoints(*ctx, 100, 150, 300, 100), SyncCheck::SameStart);
    EXPECT_EQ(CheckReferencePoints(*ctx, 100, 150, 150, 200), SyncCheck::Backwards);
    EXPECT_EQ(CheckReferencePoints(*ctx, 200, 150, 300, 100), SyncCheck::Backwards);
    EXPECT_EQ(CheckReferencePoints(*ctx, 100, 150, 300, 200), SyncCheck::Go);
    EXPECT_EQ(CheckReferencePoints(*ctx, 200, 300, 150, 100), SyncCheck::Go);
    EXPECT_EQ(Messages(), "T48: T47 / T48: T393 / T48: T394 / T48: T394");
    EXPECT_EQ(host.messages[0].owner, Owner::Dialog);
}

TEST_F(SynchronizeTest, RunSynchronizeLandsInTheWorkingCopyAndCancelWritesNothing)
{
    auto handler = Load(SubtitleFormat::Mpl2, "[100][120]first\r\n[550][580]middle\r\n[1000][]last\r\n", "in.txt");
    const Outcome synchronized = RunSynchronize(*ctx, *handler, 100, 150, 1950, 1000, WriteOptions{});
    EXPECT_TRUE(synchronized.done);
    EXPECT_EQ(synchronized.summary, "T25"); // the retime's, carried past the writer
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[150][170]first\r\n[1050][1080]middle\r\n[1950][]last\r\n");

    host.answers = {Answer::Cancel};
    AtomicWriteFile(ws().WorkingCopy, "stale");
    EXPECT_FALSE(RunSynchronize(*ctx, *handler, 100, -900, 1900, 1000, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "stale");
    EXPECT_EQ(host.messages.size(), 1u);

    // Refused points leave no stamp-line in the source either.
    host.messages.clear();
    const std::string before = ReadFile(ws().SourceStandardFile);
    EXPECT_FALSE(RunSynchronize(*ctx, *handler, 100, 500, 400, 1000, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), before);
    EXPECT_EQ(Messages(), "T48: T394");
}

} // namespace
} // namespace zv::test
