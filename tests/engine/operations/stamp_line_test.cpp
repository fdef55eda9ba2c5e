#include "engine/io/file_io.h"
#include "engine/operations/stamp_line.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zv::test {
namespace {

class StampLineTest : public EngineTest {
protected:
    std::string Begin(const std::string& contents, int frames = 0, bool interactive = false)
    {
        const auto in = WriteFile("in.std", contents);
        last = StampBeginning(*ctx, in, Out(), "S", interactive, frames);
        EXPECT_TRUE(last.done);
        return ReadFile(Out());
    }
    std::string End(const std::string& contents, int frames = 0, bool interactive = false)
    {
        const auto in = WriteFile("in.std", contents);
        last = StampEnd(*ctx, in, Out(), "E", interactive, frames);
        EXPECT_TRUE(last.done);
        return ReadFile(Out());
    }
    // What the last Begin or End returned.
    Outcome last;
    long Beeps() const { return std::count(host.log.begin(), host.log.end(), "beep"); }
};

TEST_F(StampLineTest, BeginningStampStandsAloneOnlyWithRoomBeforeTheFirst)
{
    EXPECT_EQ(Begin(Rec(21, 30, "first")), Rec(0, 0, "S") + Rec(21, 30, "first"));
    EXPECT_EQ(last.changed, 1);
    EXPECT_EQ(Begin(Rec(20, 30, "first") + Rec(40, 0, "x")), Rec(0, 30, "S|first") + Rec(40, 0, "x"));
    EXPECT_EQ(Begin(Rec(51, 60, "first"), 1), Rec(0, 0, "S") + Rec(51, 60, "first"));
    EXPECT_EQ(Begin(Rec(50, 60, "first"), 1), Rec(0, 60, "S|first"));
    // An empty file gets the stamp as a record of its own, line end included.
    EXPECT_EQ(Begin(""), "0000000|0000000|S\r\n");
}

TEST_F(StampLineTest, EndStampFollowsTheLastSubtitle)
{
    EXPECT_EQ(End(Rec(0, 10, "a") + Rec(1200, 1250, "last")), Rec(0, 10, "a") + Rec(1200, 1250, "last") + Rec(1260, 0, "E"));
    EXPECT_EQ(last.changed, 1);
    EXPECT_EQ(End(Rec(1200, 0, "last")), Rec(1200, 0, "last") + Rec(1240, 0, "E"));
    EXPECT_EQ(End(Rec(1200, 1250, "last"), 1), Rec(1200, 1250, "last") + Rec(1275, 0, "E"));
    EXPECT_EQ(End(Rec(1200, 0, "last"), 1), Rec(1200, 0, "last") + Rec(1300, 0, "E"));
    // Never past what a field can hold.
    EXPECT_EQ(End(Rec(9'999'995, 0, "late")), Rec(9'999'995, 0, "late") + Rec(9'999'999, 0, "E"));
    // Nothing to follow in an empty file.
    EXPECT_EQ(End(""), "");
    EXPECT_EQ(last.changed, 0);

    // A failed open removes the target.
    EXPECT_FALSE(StampEnd(*ctx, Path("missing"), Out(), "E", false, 0).done);
    EXPECT_FALSE(FileExists(Out()));
    EXPECT_EQ(Captions(), "T44");
}

TEST_F(StampLineTest, StampAlreadyThereIsNotAddedTwice)
{
    const std::string merged = Rec(0, 0, "S|first") + Rec(40, 50, "x");
    EXPECT_EQ(Begin(merged), merged);
    EXPECT_EQ(last.changed, 0);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Beeps(), 0);

    EXPECT_EQ(Begin(merged, 0, true), merged);
    EXPECT_EQ(Messages(), "T44: S\n\nT374");
    EXPECT_EQ(host.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(Beeps(), 1);

    const std::string stamped = Rec(10, 20, "a") + Rec(30, 0, "E");
    EXPECT_EQ(End(stamped, 0, true), stamped);
    EXPECT_EQ(host.messages.back().text, "E\n\nT375");
    EXPECT_EQ(last.changed, 0);
}

TEST_F(StampLineTest, AutomaticStampFollowsTheSettingsAndKeepsTheFlag)
{
    const auto path = WriteFile("file.std", Rec(100, 150, "a") + Rec(200, 250, "b"));
    AutoStampLine(*ctx, path, 0, WriteOptions{});
    EXPECT_EQ(ReadFile(path), Rec(100, 150, "a") + Rec(200, 250, "b")); // off by default

    settings.WriteSetting("STOPKA_AUTO", "1");
    settings.WriteSetting("STOPKA_SELECTION", "3");
    settings.WriteSetting("STOPKA_POCZATEK", "Begin");
    settings.WriteSetting("STOPKA_KONIEC", "End");
    EXPECT_EQ(AutoStampLine(*ctx, path, 0, WriteOptions{}).changed, 2);
    EXPECT_EQ(AutoStampLine(*ctx, path, 0, WriteOptions{}).changed, 0); // a second run adds nothing
    EXPECT_EQ(ReadFile(path), Rec(0, 0, "Begin") + Rec(100, 150, "a") + Rec(200, 250, "b") + Rec(260, 0, "End"));
    EXPECT_FALSE(FileExists(ws().OutputStandardFile + "_TEMP_STOPKA"));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(StampLineTest, BlankTextsAddNothingAndStoredLineBreaksAreRemoved)
{
    const std::string file = Rec(100, 150, "a") + Rec(200, 0, "b");
    const auto in = WriteFile("in.std", file);
    for (const char* blank : {"", "   ", " \t\r\n"}) {
        const Outcome begin = StampBeginning(*ctx, in, Out(), blank, true, 0);
        EXPECT_TRUE(begin.done && begin.changed == 0);
        EXPECT_EQ(ReadFile(Out()), file);
        const Outcome end = StampEnd(*ctx, in, Out(), blank, true, 0);
        EXPECT_TRUE(end.done && end.changed == 0);
        EXPECT_EQ(ReadFile(Out()), file);
    }
    EXPECT_TRUE(host.messages.empty());

    // A stored text with line breaks stays one row of one record.
    settings.WriteSetting("STOPKA_AUTO", "1");
    settings.WriteSetting("STOPKA_SELECTION", "3");
    settings.WriteSetting("STOPKA_POCZATEK", "By\r\nme");
    settings.WriteSetting("STOPKA_KONIEC", "\r\n");
    AutoStampLine(*ctx, in, 0, WriteOptions{});
    EXPECT_EQ(ReadFile(in), Rec(0, 0, "Byme") + file);

    // Stored texts are cut between characters, never inside one.
    EXPECT_EQ(CutUtf8("ab\xC5\x82", 3), "ab");
    EXPECT_EQ(CutUtf8("a\xE2\x82\xAC", 3), "a");
}

TEST_F(StampLineTest, RunStampLineShowsTheResultWhenEitherStampWentIn)
{
    auto handler = Load(SubtitleFormat::Mpl2, "[0][0]Begin|a\r\n[200][250]b\r\n", "in.txt");
    const Outcome both = RunStampLine(*ctx, *handler, StampPlace::Both, "Begin", "End", WriteOptions{});
    EXPECT_TRUE(both.done);
    EXPECT_EQ(both.changed, 1);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[0][]Begin|a\r\n[200][250]b\r\n[260][]End\r\n");
    EXPECT_EQ(host.messages.size(), 1u); // the beginning stamp was there already
    EXPECT_FALSE(FileExists(ws().SecondOutputStandardFile));

    const Outcome there = RunStampLine(*ctx, *handler, StampPlace::Beginning, "Begin", "End", WriteOptions{});
    EXPECT_TRUE(there.done);
    EXPECT_EQ(there.changed, 0);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[0][]Begin|a\r\n[200][250]b\r\n");

    EXPECT_FALSE(RunStampLine(*ctx, *handler, StampPlace::None, "Begin", "End", WriteOptions{}).done);
}

TEST_F(StampLineTest, StampsInFormatsWithEndsAreShownLikeEverySubtitle)
{
    // The merged first subtitle keeps its end; a stamp of its own lasts until
    // the next subtitle, the end stamp a few seconds. Bracket formats keep
    // their empty end.
    const struct {
        SubtitleFormat format;
        std::string file;
        std::string stamped;
    } cases[] = {
        {SubtitleFormat::SubRip,
         "1\r\n00:00:01,500 --> 00:00:03,000\r\nFirst\r\n\r\n2\r\n00:01:40,000 --> 00:01:40,500\r\nLast\r\n\r\n",
         "1\r\n00:00:00,000 --> 00:00:03,000\r\nBegin\r\nFirst\r\n\r\n"
         "2\r\n00:01:40,000 --> 00:01:40,500\r\nLast\r\n\r\n"
         "3\r\n00:01:41,500 --> 00:01:44,500\r\nEnd\r\n\r\n"},
        {SubtitleFormat::SubViewer2, "[INFORMATION]\r\n00:00:05.00,00:00:06.00\r\nFirst\r\n\r\n",
         "[INFORMATION]\r\n00:00:00.00,00:00:05.00\r\nBegin\r\n\r\n00:00:05.00,00:00:06.00\r\nFirst\r\n\r\n"
         "00:00:07.00,00:00:10.00\r\nEnd\r\n\r\n"},
        {SubtitleFormat::Mpl2, "[15][30]First\r\n", "[0][30]Begin|First\r\n[40][]End\r\n"},
    };
    for (const auto& c : cases) {
        auto handler = Load(c.format, c.file, "in");
        EXPECT_TRUE(RunStampLine(*ctx, *handler, StampPlace::Both, "Begin", "End", WriteOptions{}).done);
        EXPECT_EQ(ReadFile(ws().WorkingCopy), c.stamped) << c.file;
    }
}

TEST(RegisteredOwnerTest, NamesTheUserWithoutTheOtherGecosFields)
{
    EXPECT_FALSE(RegisteredOwner().empty());
    EXPECT_EQ(RegisteredOwner().find(','), std::string::npos);
}

} // namespace
} // namespace zv::test
