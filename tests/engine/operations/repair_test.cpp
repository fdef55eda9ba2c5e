#include "engine/io/file_io.h"
#include "engine/formats/format.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/repair.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace zv::test {
namespace {

using RepairLineEndsTest = EngineTest;

TEST_F(RepairLineEndsTest, RestoresCrLfIntoTheWorkingCopyOnly)
{
    const std::string broken = "{1}{2}a\n{3}{4}b\r\n\n{5}{6}c\n";
    const auto path = WriteFile("in.sub", broken);
    EXPECT_EQ(RepairLineEnds(*ctx, path), 3);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{1}{2}a\r\n{3}{4}b\r\n\r\n{5}{6}c\r\n");
    EXPECT_EQ(host.lastStatus, "T54");
    EXPECT_EQ(ReadFile(path), broken);

    // A lone line feed as the first byte is dropped.
    EXPECT_EQ(RepairLineEnds(*ctx, WriteFile("lead.sub", "\n{1}{2}a\n")), 2);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{1}{2}a\r\n");

    // Lines longer than any read block are repaired whole.
    const std::string longLine(3000, 'x');
    EXPECT_EQ(RepairLineEnds(*ctx, WriteFile("long.sub", longLine + "\n" + longLine + "\r\n")), 1);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), longLine + "\r\n" + longLine + "\r\n");
    EXPECT_FALSE(FileExists(ws().BadEntersFile));

    // A sound file reports nothing; the missing final line end is added before the scan.
    EXPECT_EQ(RepairLineEnds(*ctx, WriteFile("sound.sub", "{1}{2}a\r\n{3}{4}b")), 0);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{1}{2}a\r\n{3}{4}b\r\n");
    EXPECT_EQ(host.lastStatus, "T25");
}

TEST_F(RepairLineEndsTest, LoneCarriageReturnsAndDoubledOnesBecomeCrLf)
{
    const struct {
        std::string damaged;
        std::string repaired;
        long changes;
    } cases[] = {
        {"{1}{2}a\r\r\n{3}{4}b\r\r\n", "{1}{2}a\r\n{3}{4}b\r\n", 2},
        {"{1}{2}a\r{3}{4}b\r", "{1}{2}a\r\n{3}{4}b\r\n", 2},
        {"{1}{2}a\r\n{3}{4}b\r{5}{6}c\n", "{1}{2}a\r\n{3}{4}b\r\n{5}{6}c\r\n", 2},
        {"\r{1}{2}a\r\n", "{1}{2}a\r\n", 1},
    };
    for (const auto& c : cases) {
        const auto path = WriteFile("in.sub", c.damaged);
        ASSERT_EQ(CheckLineEnds(*ctx, path), -1) << c.damaged;
        EXPECT_EQ(RepairLineEnds(*ctx, path), c.changes) << c.damaged;
        EXPECT_EQ(ReadFile(ws().WorkingCopy), c.repaired) << c.damaged;
        // Opened again, the repaired file is asked about no more.
        EXPECT_EQ(CheckLineEnds(*ctx, ws().WorkingCopy), 0);
    }
}

using SortRecordsTest = EngineTest;

TEST_F(SortRecordsTest, CountsTheSwapsAndKeepsEqualStartsInOrder)
{
    const auto in = WriteFile("in.std", Rec(30, 35, "c") + Rec(10, 0, "a") + Rec(20, 25, "b1") + Rec(20, 0, "b2"));
    // 30 passes three records, 20(b1) and 20(b2) never swap with each other.
    EXPECT_EQ(SortRecords(*ctx, in, Out()), 3);
    EXPECT_EQ(ReadFile(Out()), Rec(10, 0, "a") + Rec(20, 25, "b1") + Rec(20, 0, "b2") + Rec(30, 35, "c"));
    EXPECT_EQ(host.lastStatus, "T334T25");
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "progress group T335"), host.log.end());

    host.percents.clear();
    const auto small = WriteFile("small.std", Rec(30, 0, "x") + Rec(10, 0, "y") + Rec(20, 0, "z"));
    EXPECT_EQ(SortRecords(*ctx, small, Out()), 2);
    EXPECT_EQ(host.percents, std::vector<int>{100}); // too few swaps to move the pulse

    // Already in order: no output and nothing done.
    RemoveFile(Out());
    EXPECT_EQ(SortRecords(*ctx, WriteFile("sorted.std", Rec(10, 0, "a") + Rec(10, 0, "b") + Rec(20, 0, "c")), Out()), 0);
    EXPECT_FALSE(FileExists(Out()));
    EXPECT_EQ(host.lastStatus, "T25");
}

TEST_F(SortRecordsTest, ReversedFileOfManyRecordsCountsEveryInversion)
{
    // More records than a fixed table of 10,000 would hold, and n(n-1)/2 swaps.
    const long n = 12'000;
    std::string reversed;
    std::string sorted;
    for (long i = 0; i < n; ++i) {
        reversed += Rec(n - 1 - i, 0, "r" + std::to_string(n - 1 - i));
        sorted += Rec(i, 0, "r" + std::to_string(i));
    }
    EXPECT_EQ(SortRecords(*ctx, WriteFile("in.std", reversed), Out()), n * (n - 1) / 2);
    EXPECT_EQ(ReadFile(Out()), sorted);
    // The bar pulses while sorting and ends full.
    ASSERT_FALSE(host.percents.empty());
    EXPECT_EQ(host.percents.back(), 100);
    EXPECT_GT(std::count_if(host.percents.begin(), host.percents.end(), [](int p) { return p > 0 && p < 100; }), 0);
}

TEST_F(SortRecordsTest, ShuffledStartsSortStablyAndCountLikeBubbling)
{
    // Many equal starts and runs partly in order, against a plain stable sort
    // and a count of the inversions pair by pair.
    std::vector<std::pair<long, std::string>> records;
    unsigned seed = 12345;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        records.emplace_back(i % 7 == 0 ? i : static_cast<long>((seed >> 16) % 400), "t" + std::to_string(i));
    }
    auto file = [&] {
        std::string text;
        for (const auto& [start, name] : records)
            text += Rec(start, start + 5, name);
        return text;
    };
    const std::string input = file();
    long long inversions = 0;
    for (std::size_t a = 0; a < records.size(); ++a)
        for (std::size_t b = a + 1; b < records.size(); ++b)
            inversions += records[a].first > records[b].first ? 1 : 0;
    std::stable_sort(records.begin(), records.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    EXPECT_EQ(SortRecords(*ctx, WriteFile("in.std", input), Out()), inversions);
    EXPECT_EQ(ReadFile(Out()), file());
}

TEST(CountTexts, OnlyTheFirstNumberIsFilled)
{
    // A translated text with a stray conversion must never read missing arguments.
    EXPECT_EQ(FormatCount("Swaps: %d %s %d 100%%\n", 7), "Swaps: 7 %s %d 100%\n");
    EXPECT_EQ(FormatCount("%ld fixed", 12345678901LL), "12345678901 fixed");
    EXPECT_EQ(FormatCount("ends with %", 3), "ends with %");
}

TEST_F(SortRecordsTest, RunSortRecordsLandsInTheWorkingCopy)
{
    auto handler = Load(SubtitleFormat::MicroDvd, "{300}{310}c\r\n{100}{110}a\r\n{200}{}b\r\n");
    const Outcome sorted = RunSortRecords(*ctx, *handler, WriteOptions{});
    EXPECT_TRUE(sorted.done);
    EXPECT_EQ(sorted.changed, 2);
    EXPECT_EQ(sorted.summary, "T334T25");
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{100}{110}a\r\n{200}{}b\r\n{300}{310}c\r\n");

    handler = Load(SubtitleFormat::MicroDvd, "{100}{110}a\r\n", "sorted.sub");
    const Outcome inOrder = RunSortRecords(*ctx, *handler, WriteOptions{});
    EXPECT_FALSE(inOrder.done);
    EXPECT_EQ(inOrder.changed, 0);
}

} // namespace
} // namespace zv::test
