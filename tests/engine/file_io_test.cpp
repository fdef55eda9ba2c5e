#include "engine/file_io.h"
#include "engine/standard_file.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <string_view>

namespace zv::test {
namespace {

using FileIoTest = EngineTest;

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
    EXPECT_EQ(line, huge + "\n");
    std::string copy;
    ASSERT_TRUE(reader.Next(copy));
    EXPECT_EQ(copy, "b\r\n");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, std::string(300'000, 'c') + "\n");
    EXPECT_FALSE(reader.Next(line)); // "d" has no line feed
    EXPECT_EQ(reader.BytesRead(), 3 + huge.size() + 1 + 3 + 300'001);
    EXPECT_EQ(reader.Size(), reader.BytesRead() + 1);

    // Lines are counted from 0; past the end reads as empty.
    std::string at;
    ASSERT_TRUE(ReadLineAt(*ctx, 2, path, at));
    EXPECT_EQ(at, "b\r\n");
    ASSERT_TRUE(ReadLineAt(*ctx, 7, path, at));
    EXPECT_EQ(at, "");
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

TEST(StandardNumbers, SevenDigitFieldsTheClockAndValuesBeyondTheField)
{
    EXPECT_EQ(WriteStandardNumber(123), "0000123|");
    // No sound pass writes these, but a value is never cut or wrapped.
    EXPECT_EQ(WriteStandardNumber(-5), "-000005|");
    EXPECT_EQ(FormatRecord(10'000'000, 42, "x\r\n"), "10000000|0000042|x\r\n");

    long h, m, s;
    EXPECT_EQ(HmsFromTenths(37'234, h, m, s), 4);
    EXPECT_EQ(h * 10000 + m * 100 + s, 10203);
    HmsFromTenths(3'600'000, h, m, s);
    EXPECT_EQ(h, 100); // hours have no upper bound
    EXPECT_EQ(TenthsFromHms(1, 2, 3), 37'230);

    RecordFields f = ParseRecordLine("0000125|0000213|Hello|World\r\n");
    EXPECT_EQ(f.start, 125);
    EXPECT_EQ(f.end, 213);
    EXPECT_EQ(f.text, "Hello|World\r\n");
    EXPECT_EQ(ParseRecordLine("").text, "");
    // Fields that are not seven plain digits are read like atol reads them.
    f = ParseRecordLine("  00012|-000005|t\r\n");
    EXPECT_EQ(f.start, 12);
    EXPECT_EQ(f.end, -5);
}

TEST_F(FileIoTest, StandardFilesLoadAndGetTheirFinalLineBreak)
{
    StandardRecordList list;
    const auto path = WriteFile("s.tmp", "0000010|0000020|Hi\r\n\r\n0000030|0000000|A|B\r\n");
    ASSERT_EQ(LoadStandardRecords(*ctx, list, path), 2); // the short line is skipped
    EXPECT_EQ(list[0]->start, 10);
    EXPECT_EQ(list[0]->end, 20);
    EXPECT_EQ(list[0]->text, "Hi");
    EXPECT_EQ(list[1]->text, "A|B");
    EXPECT_EQ(LoadStandardRecords(*ctx, list, Path("missing")), -1);
    EXPECT_EQ(Captions(), "T44");

    // Only a missing line break is added.
    const auto a = WriteFile("a", "x\r\ny");
    const auto b = WriteFile("b", "x\n");
    EnsureFinalLineBreak(a);
    EnsureFinalLineBreak(b);
    EXPECT_EQ(ReadFile(a), "x\r\ny\r\n");
    EXPECT_EQ(ReadFile(b), "x\n");
}

} // namespace
} // namespace zv::test
