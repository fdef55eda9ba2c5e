#include "engine/config/decimal_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace zv::test {
namespace {

TEST(DecimalTextTest, WritesAPointWhateverTheLocale)
{
    // A desktop in a comma locale must not change what dialogs hand on.
    const bool comma = std::setlocale(LC_ALL, "pl_PL.UTF-8") || std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_EQ(FixedText(30000.0 / 1001.0), "29.970030");
    EXPECT_EQ(FixedText(25.0), "25.000000");
    EXPECT_EQ(FixedText(2048.0 / 1024.0, 2), "2.00");
    EXPECT_EQ(FixedText(1000.0 / 1024.0, 2), "0.98");
    EXPECT_EQ(FixedText(std::nan(""), 6), "");
    if (comma)
        std::setlocale(LC_ALL, "C");
}

TEST(DecimalTextTest, ReadsLikeAtofWithACommaAsPoint)
{
    const struct {
        const char* typed;
        double value;
    } cases[] = {
        {"23.976", 23.976}, {"23,976", 23.976}, {" +25 fps", 25.0}, {"-1,5", -1.5}, {"1.234,5", 1.234},
        {"29,97,1", 29.97}, {"", 0.0},          {"abc", 0.0},       {",5", 0.5},    {"1e999", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ReadDecimal(c.typed), c.value) << c.typed;
}

} // namespace
} // namespace zv::test
