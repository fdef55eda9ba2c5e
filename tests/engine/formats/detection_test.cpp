// Which first bytes name a format, and how files that other editors write
// (negative times, no header, indented scripts, no last line end) are read.
#include "engine/formats/format.h"
#include "engine/io/file_io.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace zv::test {
namespace {

using DetectionTest = EngineTest;

// Detection reads the working copy (CR LF line ends, no mark).
TEST(Detection, AcceptsEachFormatsOwnStartAndRefusesTheNearMisses)
{
    const struct {
        const char* bytes;
        SubtitleFormat format;
    } cases[] = {
        {"{1}{25}Hello", SubtitleFormat::MicroDvd},
        {"{-164}{-68}Hi", SubtitleFormat::MicroDvd},
        {"[10][25]Hello", SubtitleFormat::Mpl2},
        {"[-68][-28]Hi", SubtitleFormat::Mpl2},
        {"00:00:07:Hello", SubtitleFormat::TmPlayer},
        {"-00:00:07:Hello", SubtitleFormat::TmPlayer},
        {"0:00:07:Hello", SubtitleFormat::TmPlayerShort},
        {"-0:00:07:Hello", SubtitleFormat::TmPlayerShort},
        {"1\r\n00:00:01,000 --> 00:00:02,000", SubtitleFormat::SubRip},
        {"1\r\n-00:00:01,000 --> 00:00:02,000", SubtitleFormat::SubRip},
        {"[TITLE]\r\nFilm", SubtitleFormat::SubViewer1},
        {"[INFORMATION]\r\n", SubtitleFormat::SubViewer2},
        {"00:00:01.00,00:00:02.00\r\nHi", SubtitleFormat::SubViewer2},
        {"[Script Info]\r\n", SubtitleFormat::Ssa},
        {" [Script Info]\r\n", SubtitleFormat::Ssa},
        {"\t  [Script Info]\r\n", SubtitleFormat::Ssa},
        // Refused before and still refused.
        {"", SubtitleFormat::None},
        {"Hello world\r\n", SubtitleFormat::None},
        {"WEBVTT\r\n\r\n00:01.000 --> 00:02.000", SubtitleFormat::None},
        {"<SAMI><BODY>", SubtitleFormat::None},
        {"{1} {25}Hello", SubtitleFormat::None},
        {"-{1}{25}Hello", SubtitleFormat::None},
        {"--00:00:07:Hello", SubtitleFormat::None},
        {"- 00:00:07:Hello", SubtitleFormat::None},
        {"00:00:07,Hello", SubtitleFormat::None},
        {"12\r\n00:00:01,000 --> 00:00:02,000", SubtitleFormat::None},
        {"1\r\n\r\n00:00:01,000", SubtitleFormat::None},
        {"1\r\n-0:00:01,000", SubtitleFormat::None},
        {"1\n00:00:01,000 --> 00:00:02,000", SubtitleFormat::None},
        {"[Script Inf]\r\n", SubtitleFormat::None},
        {"[Scripts Info]\r\n", SubtitleFormat::None},
        {"Script Info]\r\n", SubtitleFormat::None},
        {"00:00:01,00,00:00:02,00\r\n", SubtitleFormat::None},
        {"00:00:01.00,00\r\n", SubtitleFormat::None},
        {"0:00:01.00,0:00:02.00\r\n", SubtitleFormat::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectFormatOfBytes(c.bytes), c.format) << '"' << c.bytes << '"';
}

// A negative time is read as 0 and counted; the record's other time and the
// records after it are read as ever. A SubRip time line written loosely is
// read too.
TEST_F(DetectionTest, NegativeAndLooseTimesAreRead)
{
    const struct {
        SubtitleFormat format;
        std::string contents;
        std::string records;
        long negative;
    } cases[] = {
        {SubtitleFormat::MicroDvd, "{-164}{-68}A\r\n{-5}{20}B\r\n{30}{40}C\r\n",
         Rec(0, 0, "A") + Rec(0, 20, "B") + Rec(30, 40, "C"), 2},
        {SubtitleFormat::Mpl2, "[-68][-28]A\r\n[10][20]B\r\n", Rec(0, 0, "A") + Rec(1000, 2000, "B"), 1},
        {SubtitleFormat::TmPlayer, "-00:00:07:A\r\n00:00:08:B\r\n", Rec(0, 0, "A") + Rec(8000, 0, "B"), 1},
        {SubtitleFormat::TmPlayerShort, "-0:00:07:A\r\n0:00:08:B\r\n", Rec(0, 0, "A") + Rec(8000, 0, "B"), 1},
        {SubtitleFormat::SubRip, "1\r\n-00:00:01,250 --> 00:00:02,500\r\nA\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n",
         Rec(0, 2500, "A") + Rec(3000, 4000, "B"), 1},
        {SubtitleFormat::Ssa,
         "[Script Info]\r\n\r\n[Events]\r\nDialogue: Marked=0,-0:00:01.00,0:00:02.50,Default,,0,0,0,,A\r\n",
         Rec(0, 2500, "A"), 1},
        {SubtitleFormat::SubRip, "1\r\n00:00:01,250 --> 00:00:02,500\r\nA\r\n", Rec(1250, 2500, "A"), 0},
        {SubtitleFormat::SubRip, "1\r\n00:00:0,000 --> 00:00:01,000\r\nA\r\n", Rec(0, 1000, "A"), 0},
        {SubtitleFormat::SubRip, "1\r\n0:1:2.5 --> 0:01:03.25 X1:10\r\nA\r\n", Rec(62500, 63250, "A"), 0},
        {SubtitleFormat::SubRip, "1\r\n-0:0:1,5-->00:00:02,000\r\nA", Rec(0, 2000, "A"), 1},
        {SubtitleFormat::SubRip, "1\r\n00:00:01 --> 00:00:02\r\nA\r\n", "", 0},
        {SubtitleFormat::SubRip, "1\r\n000:00:01,000 --> 00:00:02,000\r\nA\r\n", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents);
        const auto handler = Load(c.format, c.contents, "in.sub", TimePrecision::Milliseconds);
        EXPECT_EQ(ReadFile(ws().SourceStandardFile), c.records);
        EXPECT_EQ(handler->negativeTimes, c.negative);
    }
    EXPECT_TRUE(host.messages.empty()) << Messages();
}

// What the readers take from a file the count must tell too.
TEST_F(DetectionTest, CountsTakeTheLastLineWithoutALineEndAndIndentedScripts)
{
    const struct {
        SubtitleFormat format;
        const char* contents;
        long count;
    } cases[] = {
        {SubtitleFormat::Ssa, " [Script Info]\r\n [Events]\r\n Dialogue: 0,0:00:01.00,0:00:02.00,,,0,0,0,,A", 1},
        {SubtitleFormat::Ssa, "[Script Info]\r\nDialogue: 0,0:00:01.00,0:00:02.00,,,0,0,0,,A\r\n\tDialogue: 0,0:00:03.00,0:00:04.00,,,0,0,0,,B\r\n", 2},
        {SubtitleFormat::SubRip, "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000", 2},
        {SubtitleFormat::SubViewer2, "00:00:01.00,00:00:02.00\r\nA\r\n\r\n00:00:03.00,00:00:04.00", 2},
        {SubtitleFormat::MicroDvd, "{1}{2}A\r\n{3}{4}B", 2},
    };
    for (const auto& c : cases) {
        const auto path = WriteFile("count", c.contents);
        EXPECT_EQ(CountSubtitlesOfFile(*ctx, c.format, path), c.count) << c.contents;
        const auto handler = Load(c.format, c.contents, "in.sub", TimePrecision::Milliseconds);
        long records = 0;
        LineReader standard(ws().SourceStandardFile);
        for (std::string line; standard.Next(line);)
            ++records;
        EXPECT_EQ(records, c.count) << c.contents;
    }
}

} // namespace
} // namespace zv::test
