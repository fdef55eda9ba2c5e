#include "engine/io/file_io.h"
#include "engine/formats/ssa.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace zv::test {
namespace {

const char* const kHeader = "[Script Info]\r\nTitle: Test\r\n\r\n[Events]\r\n"
                            "Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t lf = text.find('\n', from);
        const std::size_t to = lf == std::string::npos ? text.size() : lf + 1;
        lines.push_back(text.substr(from, to - from));
        from = to;
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& l : lines)
        text += l;
    return text;
}

class SsaTest : public EngineTest {
protected:
    std::unique_ptr<FormatHandler> Read(const std::string& contents) { return Load(SubtitleFormat::Ssa, contents, "in.ssa"); }
    static const std::vector<SsaDialogueEntry>& Entries(const FormatHandler& handler)
    {
        return SsaEntries(handler);
    }
};

TEST_F(SsaTest, ReaderSplitsDialogueFieldsAndKeepsTheHeader)
{
    auto handler = Read(std::string(kHeader) +
                        "Dialogue: Marked=0,0:00:01.50,0:00:04.00,NORMAL,,0000,0000,0000,,Hi\\NThere\r\n"
                        "Comment: Marked=0,0:00:02.00,0:00:03.00,NORMAL,,0000,0000,0000,,dropped\r\n"
                        "Dialogue: Marked=1,0:00:05.09,0:01:02.99,Sign,Bob,0010,0020,0030,Fade,A, comma\\nand more\r\n");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile),
              "0000015|0000040|Hi |There\r\n"
              "0000050|0000629|A, comma |and more\r\n");
    EXPECT_EQ(ReadFile(ws().HeaderFile), kHeader);
    EXPECT_EQ(handler->hasHeader, 1);
    const auto& e = Entries(*handler);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1].form, SsaDialogueEntry::Form::Marked);
    EXPECT_EQ(e[1].number, 1);
    EXPECT_EQ(e[1].middle, "Sign,Bob,0010,0020,0030,Fade,");
    EXPECT_EQ(e[1].text, "A, comma\\nand more\r\n");
}

TEST_F(SsaTest, LayerFormAndLongHoursReadByFieldsNotPositions)
{
    auto handler = Read(std::string(kHeader) +
                        "Dialogue: 0,0:00:01.18,0:00:06.85,Default,,0000,0000,0000,,One\r\n"
                        "Dialogue: 2,12:00:00.00,123:00:00.10,Default,,0,0,0,,Two\r\n");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile),
              "0000011|0000068|One\r\n"
              "0432000|4428001|Two\r\n");
    const auto& e = Entries(*handler);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].form, SsaDialogueEntry::Form::Layer);
    EXPECT_EQ(e[1].number, 2);
    // Written back the layer form stays; only the times are rewritten.
    EXPECT_EQ(Written(*handler, "0000011|0000068|One\r\n"),
              std::string(kHeader) + "Dialogue: 0,0:00:01.10,0:00:06.80,Default,,0000,0000,0000,,One\r\n");
}

TEST_F(SsaTest, ShortOrHugeDialogueLinesNeverBreakTheRead)
{
    auto handler = Read(std::string(kHeader) +
                        "Dialogue: Marked=0,0:00:01.00,0:00:02.00,Style,Name\r\n"
                        "Dialogue: Marked=0,0:00:03.00\r\n"
                        "Dialogue:\r\n");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile),
              "0000010|0000020|\r\n"
              "0000030|0000000|\r\n"
              "0000000|0000000|\r\n");
    // What follows the End field is kept as it stands.
    EXPECT_EQ(Written(*handler, "0000011|0000021|\r\n"),
              std::string(kHeader) + "Dialogue: Marked=0,0:00:01.10,0:00:02.10,Style,Name\r\n");

    // Times no StandardFile can hold make a line part of the header.
    const std::string huge = "Dialogue: Marked=0,99999999:00:00.00,0:00:01.00,NORMAL,,0,0,0,,Huge\r\n";
    Read(std::string(kHeader) + huge + "Dialogue: Marked=0,0:00:01.00,0:00:02.00,NORMAL,,0,0,0,,Fine\r\n" + huge);
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), "0000010|0000020|Fine\r\n");
    EXPECT_EQ(ReadFile(ws().HeaderFile), kHeader + huge);
}

TEST_F(SsaTest, ConvertedRecordsGetTheFixedHeaderAndNormalStyle)
{
    auto bare = MakeFormatHandler(*ctx, SubtitleFormat::Ssa);
    const std::string normal = "Style: NORMAL,Times New Roman CE,28,16777215,65535,65535,0,1,0,1,3,5,2,30,30,10,0,238\r\n";
    EXPECT_EQ(Written(*bare, "0000125|0000213|Hello|World\r\n0000010|0000000|No end\r\n"),
              "[Script info]\r\nPlayResY: 304\r\n\r\n"
              "[V4 Styles]\r\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, "
              "BackColour, Bold, Italic, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, "
              "AlphaLevel, Encoding\r\n" +
                  normal +
                  "Style: ITALIC,Times New Roman CE,28,16777215,65535,65535,0,1,1,1,3,5,2,30,30,10,0,238\r\n" +
                  normal +
                  "\r\n[Events]\r\nFormat: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, "
                  "Text\r\n"
                  "Dialogue: Marked=0,0:00:12.50,0:00:21.30,NORMAL,00,0000,0000,0000,,Hello\\nWorld\r\n"
                  "Dialogue: Marked=0,0:00:01.00,0:00:04.00,NORMAL,00,0000,0000,0000,,No end\r\n");

    // Ten hours in start or end are dropped.
    settings.WriteSetting("_CNF_ASK_4", "1");
    auto handler = Read(kHeader);
    EXPECT_EQ(Written(*handler, "0359990|0359999|Nine\r\n0360000|0360010|Start\r\n0000010|0360000|End\r\n"),
              std::string(kHeader) + "Dialogue: Marked=0,9:59:59.00,9:59:59.90,NORMAL,00,0000,0000,0000,,Nine\r\n");
    EXPECT_EQ(writeOutcome.dropped, 2);
}

class SsaPairingTest : public SsaTest {
protected:
    // Three lines with their own styles, one with a line break.
    const std::vector<std::string> lines = {
        "Dialogue: Marked=0,0:00:01.00,0:00:02.00,Alpha,Ann,0001,0002,0003,,First\\Nrow\r\n",
        "Dialogue: Marked=1,0:00:03.00,0:00:04.00,Beta,Ben,0004,0005,0006,Karaoke,Second\r\n",
        "Dialogue: Marked=2,0:00:05.00,0:00:06.00,Gamma,,0007,0008,0009,,Third\r\n"};
    std::unique_ptr<FormatHandler> handler;
    std::vector<std::string> records;

    void SetUp() override
    {
        handler = Read(kHeader + Joined(lines));
        records = Lines(ReadFile(ws().SourceStandardFile));
        ASSERT_EQ(records.size(), 3u);
    }
};

TEST_F(SsaPairingTest, EachRecordGetsBackItsOwnEntryOnce)
{
    const std::string fresh = "Dialogue: Marked=0,0:00:0";
    const auto& r = records;
    const struct {
        const char* what;
        std::string written;
        int firstEntry;
        std::string expected;
    } cases[] = {
        {"unchanged", Joined(r), 0, Joined(lines)},
        {"reordered", r[2] + r[0] + r[1], 0, lines[2] + lines[0] + lines[1]},
        {"stamp added, one dropped", "0000000|0000000|Stamp|line\r\n" + r[0] + r[2], 0,
         fresh + "0.00,0:00:01.00,NORMAL,00,0000,0000,0000,,Stamp\\nline\r\n" + lines[0] + lines[2]},
        {"text changed", r[0] + "0000030|0000040|Second|merged\r\n" + r[2], 0,
         lines[0] + fresh + "3.00,0:00:04.00,NORMAL,00,0000,0000,0000,,Second\\nmerged\r\n" + lines[2]},
        {"second part of a split", r[1] + r[2], 1, lines[1] + lines[2]},
        {"same text twice", r[0] + r[0], 0,
         lines[0] + fresh + "1.00,0:00:02.00,NORMAL,00,0000,0000,0000,,First \\nrow\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Written(*handler, c.written, 0, c.firstEntry), kHeader + c.expected) << c.what;
}

TEST_F(SsaPairingTest, JoinedSecondFileAddsItsEntries)
{
    const std::string second = "Dialogue: 3,0:00:01.00,0:00:02.00,Delta,Dee,0,0,0,,Other file\r\n";
    ASSERT_EQ(handler->ReadSecondSubtitleFile(WriteFile("second.ssa", kHeader + second), ws().SecondStandardFile), 0);
    EXPECT_EQ(Entries(*handler).size(), 4u);
    EXPECT_EQ(Written(*handler, Joined(records) + "0000610|0000620|Other file\r\n"),
              kHeader + Joined(lines) + "Dialogue: 3,0:01:01.00,0:01:02.00,Delta,Dee,0,0,0,,Other file\r\n");

    // A failed second read leaves the entries as they were.
    EXPECT_EQ(handler->ReadSecondSubtitleFile(Path("missing.ssa"), ws().SecondStandardFile), -1);
    EXPECT_EQ(Entries(*handler).size(), 4u);
    // A new first file replaces them.
    Read(kHeader + lines[0]);
    ASSERT_EQ(handler->ReadSubtitleFile(Path("in.ssa"), ws().SourceStandardFile), 0);
    EXPECT_EQ(Entries(*handler).size(), 1u);
}

TEST_F(SsaTest, ManyLinesAreAllKeptAndPairedQuickly)
{
    // Beyond any fixed table size, and in reverse order so that every record
    // is paired by its text rather than by its slot.
    constexpr int kLines = 50000;
    std::string file = kHeader;
    std::vector<std::string> dialogue;
    for (int i = 0; i < kLines; ++i) {
        dialogue.push_back("Dialogue: Marked=0,0:00:01.00,0:00:02.00,S" + std::to_string(i) + ",,0,0,0,,Line " +
                           std::to_string(i) + "\r\n");
        file += dialogue.back();
    }
    auto handler = Read(file);
    ASSERT_EQ(Entries(*handler).size(), static_cast<std::size_t>(kLines));
    auto records = Lines(ReadFile(ws().SourceStandardFile));
    ASSERT_EQ(records.size(), static_cast<std::size_t>(kLines));
    std::reverse(records.begin(), records.end());
    std::reverse(dialogue.begin(), dialogue.end());
    EXPECT_EQ(Written(*handler, Joined(records)), kHeader + Joined(dialogue));
}

} // namespace
} // namespace zv::test
