#include "engine/operations/convert.h"
#include "engine/io/file_io.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace zv::test {
namespace {

class ConvertTest : public EngineTest {
protected:
    // Opens a source file as the frame does, so its records are in the SourceStandardFile.
    std::unique_ptr<FormatHandler> OpenSource(SubtitleFormat format, const std::string& contents)
    {
        return Load(format, contents, "source");
    }
    std::string Convert(SubtitleFormat source, SubtitleFormat target, double fps)
    {
        const std::optional<Outcome> outcome = ConvertFile(*ctx, source, target, fps, SsaStyleSettings::Defaults(),
                                                           ws().WorkingCopy, WriteOptions{}, Owner::Dialog);
        EXPECT_TRUE(outcome && outcome->done);
        return ReadFile(ws().WorkingCopy);
    }
};

TEST_F(ConvertTest, LossyQuestionOnlyWhenEndTimesWouldBeLost)
{
    host.answers = {Answer::No};
    EXPECT_FALSE(ConfirmConversion(*ctx, SubtitleFormat::MicroDvd, SubtitleFormat::TmPlayer, 25.0));
    EXPECT_EQ(Messages(), "T71: T72");
    EXPECT_EQ(host.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(host.messages[0].icon, Icon::Exclamation);

    host.answers = {Answer::Yes};
    EXPECT_TRUE(ConfirmConversion(*ctx, SubtitleFormat::Ssa, SubtitleFormat::SubViewer1, 0.0));
    EXPECT_EQ(host.messages.size(), 2u);

    // No end times to lose, or the question switched off.
    EXPECT_TRUE(ConfirmConversion(*ctx, SubtitleFormat::Mpl2, SubtitleFormat::SubRip, 0.0));
    EXPECT_TRUE(ConfirmConversion(*ctx, SubtitleFormat::TmPlayer, SubtitleFormat::SubViewer1, 0.0));
    settings.WriteSetting("_CNF_ASK_5", "1");
    EXPECT_TRUE(ConfirmConversion(*ctx, SubtitleFormat::SubRip, SubtitleFormat::TmPlayerShort, 0.0));
    EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(ConvertTest, FrameRateIsReadOnlyWhenFramesAreInvolved)
{
    // 1e39 is a double, but no float: the writer would count with infinity.
    for (const double bad : {0.0, -25.0, 1e-46, 1e39, HUGE_VAL, static_cast<double>(NAN)}) {
        host.messages.clear();
        EXPECT_FALSE(ConfirmConversion(*ctx, SubtitleFormat::SubRip, SubtitleFormat::MicroDvd, bad)) << bad;
        EXPECT_EQ(Messages(), "T73: T74") << bad;
        EXPECT_EQ(host.messages.at(0).icon, Icon::Stop);
    }
    const auto fromFrames = ConfirmConversion(*ctx, SubtitleFormat::MicroDvd, SubtitleFormat::Mpl2, 23.976);
    ASSERT_TRUE(fromFrames);
    EXPECT_EQ(fromFrames->fps, 23.976f);
    // A comma desktop types the point as a comma; it is not 23.
    const auto withComma =
        ConfirmConversion(*ctx, SubtitleFormat::SubRip, SubtitleFormat::MicroDvd, FrameRateFromText("23,976"));
    ASSERT_TRUE(withComma);
    EXPECT_EQ(withComma->fps, 23.976f);
    // The edit is ignored between two time-based formats.
    const auto timesOnly = ConfirmConversion(*ctx, SubtitleFormat::SubRip, SubtitleFormat::Mpl2, NAN);
    ASSERT_TRUE(timesOnly);
    EXPECT_FALSE(timesOnly->fps.has_value());

    // A typed rate is read whole, however long.
    for (const auto& [typed, rate] : std::vector<std::pair<std::string, double>>{
             {" 23.976 fps", 23.976}, {"25.0000000000000000000000000000000000000001", 25.0}, {"abc", 0.0}, {"", 0.0}})
        EXPECT_EQ(FrameRateFromText(typed), rate) << typed;
}

TEST_F(ConvertTest, FramesBecomeTimesAndBack)
{
    OpenSource(SubtitleFormat::MicroDvd, "{250}{}Ten seconds\r\n{37}{50}Frame 37\r\n");
    EXPECT_EQ(Convert(SubtitleFormat::MicroDvd, SubtitleFormat::SubRip, 25.0),
              "1\r\n00:00:10,000 --> 00:00:13,000\r\nTen seconds\r\n\r\n"
              "2\r\n00:00:01,400 --> 00:00:02,000\r\nFrame 37\r\n\r\n");
    EXPECT_EQ(host.ProgressWindowsStarted(), 1);

    OpenSource(SubtitleFormat::SubRip, "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne second\r\n\r\n");
    EXPECT_EQ(Convert(SubtitleFormat::SubRip, SubtitleFormat::MicroDvd, 23.976), "{23}{47}One second\r\n");

    // A rate of one frame per second converts like any other.
    OpenSource(SubtitleFormat::MicroDvd, "{250}{300}A\r\n");
    EXPECT_EQ(Convert(SubtitleFormat::MicroDvd, SubtitleFormat::Mpl2, 1.0), "[2500][3000]A\r\n");
}

TEST_F(ConvertTest, CancelledOrFailedConversionLeavesTheShownResultAlone)
{
    // Ten hours do not fit short TmPlayer: the question, answered with Cancel.
    OpenSource(SubtitleFormat::MicroDvd, "{25}{50}Fits\r\n{900000}{900050}Too late\r\n");
    WriteFile("previous", "{1}{2}Shown result\r\n");
    ASSERT_TRUE(CopyFileOver(Path("previous"), ws().WorkingCopy));
    // Declined at the question, nothing starts and the dialog stays open.
    host.answers = {Answer::No};
    bool started = false;
    EXPECT_FALSE(ConvertFile(*ctx, SubtitleFormat::MicroDvd, SubtitleFormat::TmPlayerShort, 25.0,
                             SsaStyleSettings::Defaults(), ws().WorkingCopy, WriteOptions{}, Owner::Dialog,
                             [&] { started = true; }));
    EXPECT_FALSE(started);
    host.answers = {Answer::Yes, Answer::Cancel};
    const std::optional<WriteOptions> options =
        ConfirmConversion(*ctx, SubtitleFormat::MicroDvd, SubtitleFormat::TmPlayerShort, 25.0);
    ASSERT_TRUE(options);
    EXPECT_FALSE(RunConversion(*ctx, SubtitleFormat::MicroDvd, SubtitleFormat::TmPlayerShort,
                               SsaStyleSettings::Defaults(), ws().WorkingCopy, *options)
                     .done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{1}{2}Shown result\r\n");
    // Answered with OK the record is left out and the result replaces the old one.
    host.answers = {Answer::Ok};
    EXPECT_TRUE(RunConversion(*ctx, SubtitleFormat::MicroDvd, SubtitleFormat::TmPlayerShort,
                              SsaStyleSettings::Defaults(), ws().WorkingCopy, *options)
                    .done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "0:00:01:Fits\r\n");
}

TEST_F(ConvertTest, SsaHeaderFromDefaultStyle)
{
    const std::string expected =
        "[Script info]\r\nPlayResY: 304\r\n\r\n"
        "[V4 Styles]\r\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, "
        "BackColour, Bold, Italic, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, AlphaLevel, "
        "Encoding\r\n"
        "Style: NORMAL,Times New Roman CE,28,16777215,65535,65535,0,1,0,1,3,0,2,30,30,10,0,238\r\n"
        "Style: ITALIC,Times New Roman CE,28,16777215,65535,65535,0,1,1,1,3,0,2,30,30,10,0,238\r\n"
        "\r\n[Events]\r\nFormat: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";
    EXPECT_EQ(SsaHeaderText(SsaStyleSettings::Defaults()), expected);

    OpenSource(SubtitleFormat::SubRip, "1\r\n00:00:12,500 --> 00:00:21,300\r\nHello\r\nWorld\r\n\r\n");
    EXPECT_EQ(Convert(SubtitleFormat::SubRip, SubtitleFormat::Ssa, 0.0),
              expected + "Dialogue: Marked=0,0:00:12.50,0:00:21.30,NORMAL,00,0000,0000,0000,,Hello\\nWorld\r\n");
}

TEST_F(ConvertTest, UsersStyleIsStoredAndShapesTheHeader)
{
    // Nothing stored yet (or a font name too short): the defaults.
    settings.WriteSetting("_SSA_CONVERT__FONT_SIZE", "99");
    EXPECT_EQ(SsaStyleSettings::Load(settings).fontSize, "28");
    settings.WriteSetting("_SSA_CONVERT__FONT_NAME", "Ab");
    EXPECT_EQ(SsaStyleSettings::Load(settings).fontSize, "28");

    SsaStyleSettings style;
    style.fontName = "Arial";
    style.fontSize = "20pt";
    style.outline = "2";
    style.shadow = "";
    style.playResY = "480";
    style.bottomMargin = "15";
    style.borderStyle = "3";
    style.Save(settings);
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__FONT_SIZE"), "20");
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__SHADOW"), "0");
    const std::string header = SsaHeaderText(SsaStyleSettings::Load(settings));
    EXPECT_NE(header.find("PlayResY: 480\r\n"), std::string::npos);
    EXPECT_NE(header.find("Style: NORMAL,Arial,20,16777215,65535,65535,0,1,0,3,2,0,2,30,30,15,0,238\r\n"),
              std::string::npos);
    EXPECT_NE(header.find("Style: ITALIC,Arial,20,16777215,65535,65535,0,1,1,3,2,0,2,30,30,15,0,238\r\n"),
              std::string::npos);

    // A comma or a line break in the font name would shift every field after
    // it; numbers are bounded and an emptied field keeps its default.
    style.fontName = "Arial, Bold\r\nStyle: X";
    style.fontSize = "";
    style.outline = "123456789012";
    style.shadow = "-5";
    style.playResY = "0";
    EXPECT_NE(SsaHeaderText(style).find("PlayResY: 1\r\n"), std::string::npos);
    EXPECT_NE(SsaHeaderText(style).find("Style: NORMAL,Arial BoldStyle: X,28,16777215,65535,65535,0,1,0,3,99,0,2,"),
              std::string::npos);
    style.Save(settings);
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__FONT_NAME"), "Arial BoldStyle: X");
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__FONT_SIZE"), "28");
}

TEST_F(ConvertTest, ConversionToSsaLeavesTheOpenFilesHeaderAlone)
{
    const std::string header = "[INFORMATION]\r\n[TITLE]Mine\r\n[END INFORMATION]\r\n";
    auto open = OpenSource(SubtitleFormat::SubViewer2, header + "00:00:01.00,00:00:02.00\r\nA\r\n");
    const std::string converted = Convert(SubtitleFormat::SubViewer2, SubtitleFormat::Ssa, 0.0);
    EXPECT_EQ(converted.substr(0, 14), "[Script info]\r");
    EXPECT_EQ(ReadFile(ws().HeaderFile), header);

    // A later command on the open file still writes its own header.
    const auto standard = WriteFile("std", ReadFile(ws().SourceStandardFile));
    ASSERT_TRUE(open->WriteSubtitleFile(standard, Path("again.sub"), 1, 0, 0, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(Path("again.sub")), header + "00:00:01.00,00:00:02.00\r\nA\r\n\r\n");
}

TEST_F(ConvertTest, AutomaticStampLineGoesIntoTheSourceFirst)
{
    settings.WriteSetting("STOPKA_AUTO", "1");
    settings.WriteSetting("STOPKA_SELECTION", "1");
    settings.WriteSetting("STOPKA_POCZATEK", "Made by me");
    OpenSource(SubtitleFormat::Mpl2, "[100][120]A\r\n");
    const std::string out = Convert(SubtitleFormat::Mpl2, SubtitleFormat::TmPlayer, 0.0);
    EXPECT_NE(out.find("Made by me"), std::string::npos);
    EXPECT_NE(out.find("00:00:10:A\r\n"), std::string::npos);
}

} // namespace
} // namespace zv::test
