#include "engine/io/file_io.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

using MicroDvdTest = EngineTest;

TEST_F(MicroDvdTest, ReadsFieldsAndKeepsTextByteForByte)
{
    Load(SubtitleFormat::MicroDvd, "{1}{25}Hello|World\r\n\r\n{1}{}Hi\r\n{}{25}Hi\r\n{1}x25}{y:i}Hi\r\n");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile),
              "0000001|0000025|Hello|World\r\n"
              "0000001|0000000|Hi\r\n"
              "0000000|0000025|Hi\r\n"
              "0000001|0000025|{y:i}Hi\r\n");
    EXPECT_FALSE(FileExists(ws().WorkingCopy));
}

TEST_F(MicroDvdTest, BadLinesAreReportedWithTheirNumberAndNothingRemains)
{
    for (const char* bad : {"{1a}{25}Hi\r\n", "{1}{2{5}Hi\r\n", " {1}{25}Hi\r\n", "{1}{99999999}Hi\r\n"}) {
        host.messages.clear();
        const auto path = WriteFile("bad.sub", std::string("{1}{2}A\r\n\r\n") + bad);
        bool ok = true;
        Open(SubtitleFormat::MicroDvd, path, &ok);
        EXPECT_FALSE(ok) << bad;
        EXPECT_EQ(Messages(), std::string("T52: T296 (3): \n\n") + bad + "\nT297");
        EXPECT_EQ(host.messages.at(0).buttons, Buttons::YesNo);
        EXPECT_FALSE(FileExists(ws().SourceStandardFile));
    }
    EXPECT_EQ(host.log.back(), "edit " + Path("bad.sub"));
}

TEST_F(MicroDvdTest, WriterInPlainAndConvertMode)
{
    auto handler = MakeFormatHandler(*ctx, SubtitleFormat::MicroDvd);
    EXPECT_EQ(Written(*handler, "0000250|0000400|Hello|World\r\n0000250|0000000|X\r\n"),
              "{250}{400}Hello|World\r\n{250}{}X\r\n");
    EXPECT_EQ(host.ProgressWindowsStarted(), 0);

    const auto tenths = WriteFile("std2", "0000010|0000000|A\r\n");
    WriteOptions at25;
    at25.fps = 25.0f;
    ASSERT_TRUE(handler->WriteSubtitleFile(tenths, Path("conv.sub"), 1, 1, 0, at25).done);
    EXPECT_EQ(ReadFile(Path("conv.sub")), "{25}{}A\r\n");
    EXPECT_FALSE(FileExists(tenths));
    EXPECT_EQ(host.lastStatus, "T25");
}

TEST_F(MicroDvdTest, NumbersTheReaderRefusesAreDroppedWithTheQuestion)
{
    // A frame rate of 3.4e38 makes every time a number far beyond seven
    // digits; a negative start cannot be read back either.
    const struct {
        SubtitleFormat format;
        std::optional<float> fps;
        std::string records;
        std::string written;
    } cases[] = {
        {SubtitleFormat::MicroDvd, 3.4e38f, "0000010|0000020|A\r\n", ""},
        {SubtitleFormat::MicroDvd, std::nullopt, "9999999|0000000|A\r\n-000001|0000005|B\r\n", "{9999999}{}A\r\n"},
        {SubtitleFormat::Mpl2, 1e-30f, "0000010|0000000|A\r\n", ""},
    };
    for (const auto& c : cases) {
        host.messages.clear();
        host.answers = {Answer::Ok};
        auto handler = MakeFormatHandler(*ctx, c.format);
        const auto records = WriteFile("std", c.records);
        WriteOptions options;
        options.fps = c.fps;
        const Outcome outcome = handler->WriteSubtitleFile(records, Path("out"), 0, 1, 0, options);
        ASSERT_TRUE(outcome.done);
        EXPECT_EQ(ReadFile(Path("out")), c.written);
        EXPECT_EQ(outcome.dropped, 1);
        EXPECT_EQ(Messages(), "T44: T64");
    }
}

} // namespace
} // namespace zv::test
