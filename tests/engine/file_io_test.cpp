#include "engine/file_io.h"
#include "engine/standard_file.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace zv::test {
namespace {

class FileIoTest : public EngineTest {};

TEST_F(FileIoTest, LinesLongerThanTheReadBlockComeWholeAndInOrder)
{
    // Longer than the reader's block, so the line has to grow the buffer
    // across several reads, with short lines on both sides of it.
    const std::string huge(700'000, 'h');
    const auto path = WriteFile("lines", "a\r\n" + huge + "\n" + "b\r\n" + std::string(300'000, 'c') + "\nd");
    LineReader reader(path);
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "a\r\n");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line.size(), huge.size() + 1);
    EXPECT_EQ(line, huge + "\n");
    std::string copy;
    ASSERT_TRUE(reader.Next(copy));
    EXPECT_EQ(copy, "b\r\n");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, std::string(300'000, 'c') + "\n");
    EXPECT_FALSE(reader.Next(line)); // "d" has no line feed
    EXPECT_EQ(reader.BytesRead(), 3 + huge.size() + 1 + 3 + 300'001);
    EXPECT_EQ(reader.Size(), reader.BytesRead() + 1);
}

TEST_F(FileIoTest, SmallAndLargeWritesKeepTheirOrder)
{
    std::string expected;
    OutputFile out;
    ASSERT_TRUE(out.Open(Path("out")));
    for (int i = 0; i < 3000; ++i) {
        // Small pieces are gathered; every 500th piece is large enough to go
        // straight through and must not overtake what is gathered.
        const std::string piece = i % 500 == 0 ? std::string(100'000, static_cast<char>('A' + i / 500))
                                               : std::to_string(i) + "\r\n";
        out.Write(piece);
        expected += piece;
    }
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(ReadFile(Path("out")), expected);

    ASSERT_TRUE(out.Open(Path("out"), OutputFile::Mode::Append));
    out.Write("tail");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(ReadFile(Path("out")), expected + "tail");

    EXPECT_FALSE(out.Open(Path("no/such/folder/out")));
    out.Write("lost");
    EXPECT_TRUE(out.Close()); // nothing was open, nothing failed
}

TEST_F(FileIoTest, CopyReplacesALongerReadOnlyTarget)
{
    std::string contents;
    for (int i = 0; i < 40'000; ++i)
        contents += "line " + std::to_string(i) + "\r\n";
    const auto source = WriteFile("source", contents);
    const auto target = WriteFile("target", contents + contents);
    ::chmod(target.c_str(), 0444);
    ASSERT_TRUE(CopyFileOver(source, target));
    EXPECT_EQ(ReadFile(target), contents);
    EXPECT_FALSE(CopyFileOver(Path("missing"), target));
    EXPECT_EQ(ReadFile(target), contents);
}

TEST(StandardNumbersOutsideTheField, AreWrittenWhole)
{
    // No sound pass writes them, but a value is never cut or wrapped.
    EXPECT_EQ(WriteStandardNumber(-5), "-000005|");
    EXPECT_EQ(WriteStandardNumber(12'345'678), "12345678|");
    EXPECT_EQ(FormatRecord(10'000'000, 42, "x\r\n"), "10000000|0000042|x\r\n");
    EXPECT_EQ(FormatRecord(1'234'567, 7'654'321, "y\r\n"), "1234567|7654321|y\r\n");

    // Fields that are not seven plain digits are read like atol reads them.
    const RecordFields f = ParseRecordLine("  00012|-000005|t\r\n");
    EXPECT_EQ(f.start, 12);
    EXPECT_EQ(f.end, -5);
    EXPECT_EQ(f.text, "t\r\n");
}

} // namespace
} // namespace zv::test
