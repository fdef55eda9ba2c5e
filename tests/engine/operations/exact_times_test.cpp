// Exact times: every operation keeps the times a file holds, to the unit its
// format writes; the tenths arithmetic stays available byte for byte.
#include "engine/io/file_io.h"
#include "engine/operations/convert.h"
#include "engine/operations/join.h"
#include "engine/operations/lengthen.h"
#include "engine/operations/move_time.h"
#include "engine/operations/split.h"
#include "engine/operations/stamp_line.h"
#include "engine/operations/synchronize.h"
#include "engine/standard_file.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace zv::test {
namespace {

using ExactTimesTest = EngineTest;

constexpr auto kMs = TimePrecision::Milliseconds;
constexpr auto kTenths = TimePrecision::Tenths;

WriteOptions In(TimePrecision precision)
{
    WriteOptions options;
    options.precision = precision;
    return options;
}

const std::string kSsaHead = "[Script Info]\r\nTitle: t\r\n\r\n[Events]\r\n"
                             "Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";
const std::string kSubViewer2Head = "[INFORMATION]\r\n[END INFORMATION]\r\n[SUBTITLE]\r\n";
const std::string kSubViewer1Head = "[TITLE]\r\n[BEGIN]\r\n******** START SCRIPT ********\r\n";

TEST_F(ExactTimesTest, MoveTimeAddsTheAmountExactlyInEveryFormat)
{
    const struct {
        SubtitleFormat format;
        TimePrecision precision;
        long delta;
        std::string in;
        std::string out;
    } cases[] = {
        {SubtitleFormat::SubRip, kMs, 5'200, "1\r\n00:00:27,074 --> 00:00:29,321\r\nHi\r\n\r\n",
         "1\r\n00:00:32,274 --> 00:00:34,521\r\nHi\r\n\r\n"},
        // Tenths: what earlier releases wrote, the milliseconds cut.
        {SubtitleFormat::SubRip, kTenths, 52, "1\r\n00:00:27,074 --> 00:00:29,321\r\nHi\r\n\r\n",
         "1\r\n00:00:32,200 --> 00:00:34,500\r\nHi\r\n\r\n"},
        // Past seven digits of milliseconds (2 h 47 min) the times still hold.
        {SubtitleFormat::SubRip, kMs, -5'200, "1\r\n99:00:00,001 --> 99:00:01,999\r\nHi\r\n\r\n",
         "1\r\n98:59:54,801 --> 98:59:56,799\r\nHi\r\n\r\n"},
        {SubtitleFormat::Ssa, kMs, 5'200, kSsaHead + "Dialogue: Marked=0,0:00:27.07,0:00:29.32,Default,,0,0,0,,Hi\r\n",
         kSsaHead + "Dialogue: Marked=0,0:00:32.27,0:00:34.52,Default,,0,0,0,,Hi\r\n"},
        {SubtitleFormat::SubViewer2, kMs, 5'200, kSubViewer2Head + "00:00:27.07,00:00:29.32\r\nHi\r\n\r\n",
         kSubViewer2Head + "00:00:32.27,00:00:34.52\r\nHi\r\n\r\n"},
        // Coarser formats round to their own unit.
        {SubtitleFormat::Mpl2, kMs, 5'260, "[271][293]Hi\r\n", "[324][346]Hi\r\n"},
        {SubtitleFormat::TmPlayer, kMs, 5'600, "00:00:27:Hi\r\n", "00:00:33:Hi\r\n"},
        {SubtitleFormat::SubViewer1, kMs, 5'400, kSubViewer1Head + "[00:00:27]\r\nHi\r\n",
         kSubViewer1Head + "[00:00:32]\r\nHi\r\n[END]\r\n******** End Script ********\r\n"},
        {SubtitleFormat::MicroDvd, kMs, 130, "{649}{703}Hi\r\n", "{779}{833}Hi\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        auto handler = Load(c.format, c.in, "in.sub", c.precision);
        ASSERT_TRUE(RunMoveTime(*ctx, *handler, c.delta, In(c.precision)).done);
        EXPECT_EQ(ReadFile(ws().WorkingCopy), c.out);
    }
}

TEST_F(ExactTimesTest, ConvertRoundsToTheTargetsUnitOnly)
{
    const std::string srt = "1\r\n00:00:27,074 --> 00:00:29,326\r\nHi\r\n\r\n";
    const struct {
        SubtitleFormat source;
        std::string in;
        SubtitleFormat target;
        float fps;
        std::string out;
    } cases[] = {
        {SubtitleFormat::SubRip, srt, SubtitleFormat::Ssa, 0, "0:00:27.07,0:00:29.33,"},
        {SubtitleFormat::Ssa, kSsaHead + "Dialogue: Marked=0,0:00:27.07,0:00:29.33,Default,,0,0,0,,Hi\r\n",
         SubtitleFormat::SubRip, 0, "00:00:27,070 --> 00:00:29,330"},
        // The nearest frame at the rate, and back to the nearest millisecond.
        {SubtitleFormat::SubRip, srt, SubtitleFormat::MicroDvd, 23.976f, "{649}{703}Hi"},
        {SubtitleFormat::MicroDvd, "{649}{703}Hi\r\n", SubtitleFormat::SubRip, 23.976f,
         "00:00:27,069 --> 00:00:29,321"},
        {SubtitleFormat::SubRip, srt, SubtitleFormat::Mpl2, 0, "[271][293]Hi"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(FormatName(c.target));
        Load(c.source, c.in, "in.sub", kMs);
        WriteOptions options = In(kMs);
        if (c.fps > 0)
            options.fps = c.fps;
        ASSERT_TRUE(RunConversion(*ctx, c.source, c.target, SsaStyleSettings::Defaults(), Path("out"), options).done);
        EXPECT_NE(ReadFile(Path("out")).find(c.out), std::string::npos) << ReadFile(Path("out"));
    }
}

TEST_F(ExactTimesTest, SplitJoinLengthenAndStampKeepEveryTimeTheyDoNotChange)
{
    const std::string srt = "1\r\n00:00:01,234 --> 00:00:01,500\r\nlong enough text here\r\n\r\n"
                            "2\r\n00:00:07,007 --> 00:00:09,009\r\nB\r\n\r\n";
    auto handler = Load(SubtitleFormat::SubRip, srt, "in.srt", kMs);
    // The second part moves earlier by the offered amount, exactly.
    ASSERT_TRUE(RunSplit(*ctx, *handler, 1, BoundaryStart(*ctx, 1), In(kMs)).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "1\r\n00:00:01,234 --> 00:00:01,500\r\nlong enough text here\r\n\r\n");
    EXPECT_EQ(ReadFile(ws().SecondWorkingCopy), "1\r\n00:00:05,773 --> 00:00:07,775\r\nB\r\n\r\n");

    // Unite: the second file moved later by the first's last start.
    handler->ReadSecondSubtitleFile(WriteFile("two.srt", "1\r\n00:00:00,001 --> 00:00:00,999\r\nC\r\n\r\n"),
                                    ws().SecondStandardFile);
    ASSERT_TRUE(RunJoin(*ctx, *handler, JoinBoundaryStart(*ctx), In(kMs)).done);
    EXPECT_NE(ReadFile(ws().WorkingCopy).find("00:00:07,008 --> 00:00:08,006\r\nC"), std::string::npos);

    // Lengthen: 21 characters need 0.5 x 21 + 8 = 18.5 tenths; the other keeps its times.
    EXPECT_TRUE(RunLengthenDefault(*ctx, *handler, In(kMs)).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "1\r\n00:00:01,234 --> 00:00:03,084\r\nlong enough text here\r\n\r\n"
                                          "2\r\n00:00:07,007 --> 00:00:09,009\r\nB\r\n\r\n");

    // The end stamp starts one second after the last end, to the millisecond.
    ASSERT_TRUE(RunStampLine(*ctx, *handler, StampPlace::End, "", "Fin", In(kMs)).done);
    EXPECT_NE(ReadFile(ws().WorkingCopy).find("3\r\n00:00:10,009 --> 00:00:13,009\r\nFin"), std::string::npos);
}

TEST_F(ExactTimesTest, SynchronizeMapsEveryStartToTheNearestMillisecondOfTheLine)
{
    // 25 -> 23.976 frames per second: every start stretched by 25 / 23.976.
    std::string records;
    for (long start = 1'001; start < 3'600'000; start += 61'237)
        records += Rec(start, start + 1'503, "x");
    const std::string in = WriteFile("in.std", records);
    const double ratio = 25.0 / 23.976;
    const long old1 = 1'001;
    const long old2 = 1'001 + 58 * 61'237;
    const long new1 = 1'501;
    const long new2 = new1 + std::lround(static_cast<double>(old2 - old1) * ratio);
    ASSERT_TRUE(RetimeStandardFile(*ctx, in, Out(), old1, new1, new2, old2, kMs).done);
    LineReader read(Out());
    std::string line;
    long old = 1'001;
    for (; read.Next(line); old += 61'237) {
        const RecordFields f = ParseRecordLine(line);
        const double exact = static_cast<double>(new1) + static_cast<double>(old - old1) * ratio;
        EXPECT_LE(std::fabs(static_cast<double>(f.start) - exact), 1.0) << line;
        EXPECT_EQ(f.end - f.start, 1'503); // the duration stays whole
    }
    EXPECT_GT(old, old2);
}

// "Keep exact times" changed with a file open: read again, the shown result kept.
TEST_F(ExactTimesTest, ReadingTheSourceAgainChangesTheUnitAndKeepsTheResult)
{
    auto handler = Load(SubtitleFormat::SubRip, "1\r\n00:00:27,074 --> 00:00:29,321\r\nHi\r\n\r\n", "in.srt", kMs);
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), Rec(27'074, 29'321, "Hi"));
    WriteFile("result", "shown");
    ASSERT_TRUE(CopyFileOver(Path("result"), ws().WorkingCopy));
    ASSERT_EQ(ReadSourceAgain(*handler, Path("in.srt"), kTenths), 0);
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), Rec(270, 293, "Hi"));
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "shown");
}

// Every file of the test corpus: moved later and back, every time returns.
TEST_F(ExactTimesTest, AShiftAndItsReverseGiveEveryTimeBack)
{
    const struct {
        const char* file;
        SubtitleFormat format;
    } files[] = {
        {"subrip.srt", SubtitleFormat::SubRip},     {"ssa.ssa", SubtitleFormat::Ssa},
        {"ssa_layers.ssa", SubtitleFormat::Ssa},    {"subviewer2.sub", SubtitleFormat::SubViewer2},
        {"subviewer1.sub", SubtitleFormat::SubViewer1}, {"mpl2.txt", SubtitleFormat::Mpl2},
        {"tmplayer.txt", SubtitleFormat::TmPlayer}, {"tmplayer_short.txt", SubtitleFormat::TmPlayerShort},
        {"microdvd.sub", SubtitleFormat::MicroDvd},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const std::string source = std::string(ZENTAVO_TEST_DATA) + "/formats/" + f.file;
        auto handler = Open(f.format, source, nullptr, kMs);
        ASSERT_TRUE(handler);
        const std::string before = ReadFile(ws().SourceStandardFile);
        // A whole number of seconds, so the coarsest formats move without rounding.
        const long delta = f.format == SubtitleFormat::MicroDvd ? 1'234 : 3'723'000;
        ASSERT_TRUE(RunMoveTime(*ctx, *handler, delta, In(kMs)).done);
        handler = Open(f.format, WriteFile("moved", ReadFile(ws().WorkingCopy)), nullptr, kMs);
        ASSERT_TRUE(RunMoveTime(*ctx, *handler, -delta, In(kMs)).done);
        handler = Open(f.format, WriteFile("back", ReadFile(ws().WorkingCopy)), nullptr, kMs);
        EXPECT_EQ(ReadFile(ws().SourceStandardFile), before);
    }
}

} // namespace
} // namespace zv::test
