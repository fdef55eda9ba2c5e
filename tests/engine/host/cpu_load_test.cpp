// The processor load from two readings of the kernel's counters.
#include "engine/host/cpu_load.h"

#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class CpuLoadTest : public test::EngineTest {};

TEST_F(CpuLoadTest, LoadComesFromTwoReadingsAndStaysWithinZeroToHundred)
{
    const auto first = ReadCpuTimes(WriteFile("first", "cpu  10 5 5 70 10 0 0 0 4 0\ncpu0 1 2 3 4\n"));
    const auto second = ReadCpuTimes(WriteFile("second", "intr 1\ncpu  40 5 35 110 10 0 0 0 9 0\n"));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->busy, 20u);  // guest time is already in user time
    EXPECT_EQ(first->total, 100u);
    EXPECT_EQ(CpuLoadPercent(std::nullopt, *first), std::nullopt);
    EXPECT_EQ(CpuLoadPercent(first, *first), std::nullopt);
    EXPECT_EQ(CpuLoadPercent(first, *second), 60);
    // Counters that went back (a reset) show no load, never a wrapped one.
    EXPECT_EQ(CpuLoadPercent(second, CpuTimes{0, 300}), 0);
    EXPECT_EQ(CpuLoadPercent(CpuTimes{0, 100}, CpuTimes{500, 150}), 100);

    EXPECT_EQ(ReadCpuTimes(Path("missing")), std::nullopt);
    EXPECT_EQ(ParseCpuTimes("cpu0 1 2 3 4\n"), std::nullopt);
    EXPECT_EQ(ParseCpuTimes("cpu  1 2\n"), std::nullopt);
}

} // namespace
} // namespace zv
