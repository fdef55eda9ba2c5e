#include "engine/file_io.h"
#include "engine/standard_file.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

TEST(StandardNumbers, SevenDigitsAndTheClock)
{
    EXPECT_EQ(WriteStandardNumber(123), "0000123|");
    EXPECT_EQ(WriteStandardNumber(0), "0000000|");
    EXPECT_EQ(WriteStandardNumber(9'999'999), "9999999|");

    long h, m, s;
    EXPECT_EQ(HmsFromTenths(37'234, h, m, s), 4);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(s, 3);
    HmsFromTenths(3'600'000, h, m, s);
    EXPECT_EQ(h, 100); // hours have no upper bound
    EXPECT_EQ(TenthsFromHms(1, 2, 3), 37'230);
}

TEST(StandardNumbers, RecordFieldsStopAtTheirBars)
{
    const RecordFields f = ParseRecordLine("0000125|0000213|Hello|World\r\n");
    EXPECT_EQ(f.start, 125);
    EXPECT_EQ(f.end, 213);
    EXPECT_EQ(f.text, "Hello|World\r\n");
    EXPECT_EQ(ParseRecordLine("").text, "");
}

class StandardFileTest : public EngineTest {};

TEST_F(StandardFileTest, LoadSkipsShortLinesAndKeepsTextWithoutLineEnd)
{
    StandardRecordList list;
    const auto path = WriteFile("s.tmp", "0000010|0000020|Hi\r\n\r\n0000030|0000000|A|B\r\n");
    ASSERT_EQ(LoadStandardRecords(*ctx, list, path), 2);
    EXPECT_EQ(list[0]->start, 10);
    EXPECT_EQ(list[0]->end, 20);
    EXPECT_EQ(list[0]->text, "Hi");
    EXPECT_EQ(list[1]->text, "A|B");
    EXPECT_EQ(LoadStandardRecords(*ctx, list, Path("missing")), -1);
    EXPECT_EQ(Captions(), "T44");
}

TEST_F(StandardFileTest, FinalLineBreakOnlyWhenMissing)
{
    const auto a = WriteFile("a", "x\r\ny");
    const auto b = WriteFile("b", "x\n");
    EnsureFinalLineBreak(a);
    EnsureFinalLineBreak(b);
    EXPECT_EQ(ReadFile(a), "x\r\ny\r\n");
    EXPECT_EQ(ReadFile(b), "x\n");
}

TEST_F(StandardFileTest, LinesAreReadWholeWhateverTheirLength)
{
    const std::string longLine(5000, 'x');
    const auto path = WriteFile("long", longLine + "\r\nshort\r\ntail");
    LineReader reader(path);
    std::string line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, longLine + "\r\n");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "short\r\n");
    EXPECT_FALSE(reader.Next(line)); // an unfinished last line is not a line
    std::string at;
    ASSERT_TRUE(ReadLineAt(*ctx, 1, path, at));
    EXPECT_EQ(at, "short\r\n");
    ASSERT_TRUE(ReadLineAt(*ctx, 7, path, at));
    EXPECT_EQ(at, "");
}

} // namespace
} // namespace zv::test
