#include "engine/io/file_io.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

class TmPlayerTest : public EngineTest {
protected:
    std::string ReadAs(SubtitleFormat format, const std::string& contents, bool* ok = nullptr)
    {
        const auto path = WriteFile("in.txt", contents);
        Open(format, path, ok);
        return ReadFile(ws().SourceStandardFile);
    }
    std::string WriteAs(SubtitleFormat format, const std::string& records)
    {
        return Written(*MakeFormatHandler(*ctx, format), records);
    }
};

TEST_F(TmPlayerTest, ReaderTakesStartsWithoutEndsAndEndsEveryRecord)
{
    bool ok = false;
    EXPECT_EQ(ReadAs(SubtitleFormat::TmPlayer,
                     "01:02:03:Hi\r\n"
                     "\r\n"
                     "01:02:03 Hello|World\r\n"
                     "00:75:00:{y:i}Long minutes\r\n",
                     &ok),
              "0037230|0000000|Hi\r\n"
              "0037230|0000000|Hello|World\r\n"
              "0045000|0000000|{y:i}Long minutes\r\n");
    EXPECT_TRUE(ok);
    EXPECT_TRUE(host.messages.empty());

    EXPECT_EQ(ReadAs(SubtitleFormat::TmPlayerShort, "1:02:03:Hi\r\n0:00:05:Last", &ok),
              "0037230|0000000|Hi\r\n0000050|0000000|Last\r\n");
    EXPECT_TRUE(ok);

    // A line ending at its time gives an empty text with a line end.
    EXPECT_EQ(ReadAs(SubtitleFormat::TmPlayer, "00:00:05:\r\n00:00:06\r\n00:00:07:\n00:00:08:A\r\n"),
              "0000050|0000000|\r\n0000060|0000000|\r\n0000070|0000000|\r\n0000080|0000000|A\r\n");
    EXPECT_EQ(ReadAs(SubtitleFormat::TmPlayerShort, "0:00:05:\r\n0:00:06"),
              "0000050|0000000|\r\n0000060|0000000|\r\n");
}

TEST_F(TmPlayerTest, BadLinesAreReportedAndNothingRemains)
{
    const std::pair<SubtitleFormat, const char*> cases[] = {
        {SubtitleFormat::TmPlayerShort, "01:02:03:Hi\r\n"}, {SubtitleFormat::TmPlayer, "1:02:03:Hi\r\n"},
        {SubtitleFormat::TmPlayer, "01:02\r\n"},           {SubtitleFormat::TmPlayer, "01:02:0\r\n"},
        {SubtitleFormat::TmPlayerShort, "0:0\r\n"},         {SubtitleFormat::TmPlayer, "01-02:03:Hi\r\n"}};
    for (const auto& [format, line] : cases) {
        host.messages.clear();
        const std::string first = format == SubtitleFormat::TmPlayer ? "00:00:01:A\r\n" : "0:00:01:A\r\n";
        bool ok = true;
        ReadAs(format, first + "\r\n" + line, &ok);
        EXPECT_FALSE(ok) << line;
        EXPECT_EQ(Messages(), std::string("T52: T296 (3): \n\n") + line + "\nT297");
        EXPECT_FALSE(FileExists(ws().SourceStandardFile));
        EXPECT_FALSE(FileExists(ws().WorkingCopy));
    }
}

TEST_F(TmPlayerTest, WritersCutToWholeSecondsAndDropWhatTheHoursCannotHoldWithOneQuestion)
{
    const std::string records = "0000125|0000213|Hello|World\r\n"
                                "0000129|0000000|Same second\r\n"
                                "0035999|0000000|Just before\r\n"
                                "0360000|0000000|Ten hours\r\n"
                                "3599990|0000000|Ninety-nine\r\n"
                                "3600000|0000000|Hundred\r\n";
    EXPECT_EQ(WriteAs(SubtitleFormat::TmPlayer, records),
              "00:00:12:Hello|World\r\n00:00:12:Same second\r\n00:59:59:Just before\r\n"
              "10:00:00:Ten hours\r\n99:59:59:Ninety-nine\r\n");
    EXPECT_EQ(Messages(), "T44: T64");
    EXPECT_EQ(host.messages[0].buttons, Buttons::OkCancel);

    host.messages.clear();
    EXPECT_EQ(WriteAs(SubtitleFormat::TmPlayerShort, records),
              "0:00:12:Hello|World\r\n0:00:12:Same second\r\n0:59:59:Just before\r\n");
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(writeOutcome.dropped, 3);
}

} // namespace
} // namespace zv::test
