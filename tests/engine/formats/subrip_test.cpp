#include "engine/io/file_io.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

class SubRipTest : public EngineTest {
protected:
    std::string Read(const std::string& contents)
    {
        Load(SubtitleFormat::SubRip, contents, "in.srt");
        return ReadFile(ws().SourceStandardFile);
    }
    std::string Write(const std::string& records)
    {
        return Written(*MakeFormatHandler(*ctx, SubtitleFormat::SubRip), records);
    }
};

TEST_F(SubRipTest, ReaderJoinsTextLinesAndTruncatesMilliseconds)
{
    EXPECT_EQ(Read("1\r\n00:00:01,500 --> 00:00:04,000\r\nHello\r\nWorld\r\n\r\n"
                   "2\r\n00:00:05,999 --> 01:02:03,099\r\n<i>One</i>\r\n\r\n"),
              "0000015|0000040|Hello|World\r\n"
              "0000059|0037230|<i>One</i>\r\n");
    EXPECT_TRUE(host.messages.empty());

    // "->" puts no ">" at position 15; the block is passed over whole.
    EXPECT_EQ(Read("1\r\n00:00:01,000 -> 00:00:02,000\r\nLost\r\n\r\n"
                   "2\r\n00:00:03,000 --> 00:00:04,000\r\nKept\r\n\r\n"),
              "0000030|0000040|Kept\r\n");
    // A line cut short after the first millisecond digit reads what is there:
    // "5" is five milliseconds.
    EXPECT_EQ(Read("00:00:03,000 --> 00:00:04,5\r\nShort\r\n"), "0000030|0000040|Short\r\n");

    // Text runs to the first empty line, whatever its size.
    EXPECT_EQ(Read("1\r\n00:00:01,000 --> 00:00:02,000\r\nL1\r\nL2\r\nL3\r\nL4\r\nL5\r\nL6\r\nL7\r\n\r\n"
                   "2\r\n00:00:03,000 --> 00:00:04,000\r\nNext\r\n\r\n"),
              "0000010|0000020|L1|L2|L3|L4|L5|L6|L7\r\n"
              "0000030|0000040|Next\r\n");
    const std::string longText(5000, 'x');
    EXPECT_EQ(Read("1\r\n00:00:01,000 --> 00:00:02,000\r\n" + longText + "\r\n\r\n"),
              "0000010|0000020|" + longText + "\r\n");
}

TEST_F(SubRipTest, EmptyFirstTextLineOrMissingLineEndsLoseNothing)
{
    // An entry with empty text never swallows the next ones.
    EXPECT_EQ(Read("1\r\n00:00:01,000 --> 00:00:02,000\r\n\r\n"
                   "2\r\n00:00:03,000 --> 00:00:04,000\r\nSecond\r\n\r\n"
                   "3\r\n00:00:05,000 --> 00:00:06,000\r\nThird\r\n"),
              "0000010|0000020|\r\n"
              "0000030|0000040|Second\r\n"
              "0000050|0000060|Third\r\n");
    // Every record ends with a line end: a time line as the last line, with
    // and without its own line end, and a last text line without one.
    EXPECT_EQ(Read("1\r\n00:00:01,000 --> 00:00:02,000\r\n"), "0000010|0000020|\r\n");
    EXPECT_EQ(Read("1\r\n00:00:01,000 --> 00:00:02,000"), "0000010|0000020|\r\n");
    EXPECT_EQ(Read("1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\nB"), "0000010|0000020|A|B\r\n");
}

TEST_F(SubRipTest, WriterNumbersBlocksAndDropsTimesBeyondNinetyNineHours)
{
    EXPECT_EQ(Write("0000125|0000213|Hello|World\r\n"
                    "0000010|3600000|Long end\r\n"
                    "3600000|3600010|Too late\r\n"
                    "3600010|3600020|Also too late\r\n"
                    "0000003|0000000|No end\r\n"),
              "1\r\n00:00:12,500 --> 00:00:21,300\r\nHello\r\nWorld\r\n\r\n"
              "2\r\n00:00:00,300 --> 00:00:03,300\r\nNo end\r\n\r\n");
    EXPECT_TRUE(writeOutcome.done);
    // The reader would lose an end of 100 hours, so the block is not written.
    EXPECT_EQ(writeOutcome.dropped, 3);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].caption, "T44");
}

TEST_F(SubRipTest, BarsOfTheSourceTextNeverEndABlockOrStartOne)
{
    // Rows "x|" and "y" read as "x||y": an empty row written for it would end
    // the block, losing "y" or turning the row after it into a subtitle.
    const std::string records = Read("1\r\n00:00:01,000 --> 00:00:02,000\r\nx|\r\n|00:00:03,000 --> 00:00:04,000\r\n\r\n"
                                     "2\r\n00:00:05,000 --> 00:00:06,000\r\n|\r\n\r\n");
    EXPECT_EQ(records, "0000010|0000020|x|||00:00:03,000 --> 00:00:04,000\r\n0000050|0000060||\r\n");
    const std::string written = Write(records);
    EXPECT_EQ(written, "1\r\n00:00:01,000 --> 00:00:02,000\r\nx\r\n00:00:03,000 --> 00:00:04,000\r\n\r\n"
                       "2\r\n00:00:05,000 --> 00:00:06,000\r\n\r\n\r\n");
    EXPECT_EQ(Read(written), "0000010|0000020|x|00:00:03,000 --> 00:00:04,000\r\n0000050|0000060|\r\n");
}

} // namespace
} // namespace zv::test
