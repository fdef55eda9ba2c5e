#include "engine/io/file_io.h"
#include "engine/operations/lengthen.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <limits>

namespace zv::test {
namespace {

class LengthenTest : public EngineTest {
protected:
    long Run(const std::string& contents, int mayLengthen = 1, int frames = 0, LengthenSettings s = {})
    {
        const auto in = WriteFile("in.std", contents);
        return LengthenShortSubtitles(*ctx, in, Out(), mayLengthen, frames, s);
    }
    std::string Output() const { return FileExists(Out()) ? ReadFile(Out()) : "(none)"; }
};

const std::string kTen = "0123456789";
const std::string kTwelve = "abcdefghijkl";

TEST_F(LengthenTest, ShortSubtitleGetsItsEndMovedWhenTheNextLeavesRoom)
{
    // 10 characters need 0.5 * 10 + 8 = 13 tenths; shown only 10.
    EXPECT_EQ(Run(Rec(100, 110, kTen) + Rec(120, 150, "B")), 1);
    EXPECT_EQ(Output(), Rec(100, 113, kTen) + Rec(120, 150, "B"));
    EXPECT_EQ(host.lastStatus, "T345T25");
    // The notice comes before the progress window.
    ASSERT_GE(host.log.size(), 2u);
    EXPECT_EQ(host.log[0], "message T44: T347");
    EXPECT_EQ(host.log[1], "progress start");

    // Frame files count 25 per second: base 20 frames, 1.25 frames per
    // character, so 10 characters need 32.
    EXPECT_EQ(Run(Rec(100, 110, kTen) + Rec(200, 250, "B"), 1, 1), 1);
    EXPECT_EQ(Output(), Rec(100, 132, kTen) + Rec(200, 250, "B"));
}

TEST_F(LengthenTest, WithoutRoomItJoinsWithTheNextWithinTheLimits)
{
    const std::string three = Rec(100, 110, kTen) + Rec(111, 130, kTwelve) + Rec(200, 250, "C");
    EXPECT_EQ(Run(three), 1);
    EXPECT_EQ(Output(), Rec(100, 130, kTen + "|" + kTwelve) + Rec(200, 250, "C"));

    LengthenSettings narrow;
    narrow.maxCharacters = 21; // 10 + 12 characters are too many
    EXPECT_EQ(Run(three, 1, 0, narrow), 0);
    EXPECT_EQ(Output(), "(none)");
    EXPECT_EQ(host.lastStatus, "T25");

    LengthenSettings limits;
    limits.maxRows = 1;
    EXPECT_EQ(Run(three, 1, 0, limits), 0);
    limits = {};
    limits.joinAllowed = 0;
    EXPECT_EQ(Run(three, 1, 0, limits), 0);
    limits = {};
    limits.maxCharacters = 0; // no limit
    EXPECT_EQ(Run(three, 1, 0, limits), 1);

    // The combined need (12 * 0.5 + 13 + 8 = 27) must fit before the end of
    // the subtitle after next (26 here); the second, now the last pair, joins.
    EXPECT_EQ(Run(Rec(100, 110, kTen) + Rec(111, 120, kTwelve) + Rec(115, 126, "C")), 1);
    EXPECT_EQ(Output(), Rec(100, 110, kTen) + Rec(111, 126, kTwelve + "|C"));
}

TEST_F(LengthenTest, LastPairJoinsKeepingTheSecondEnd)
{
    EXPECT_EQ(Run(Rec(100, 105, kTen) + Rec(106, 140, "B")), 1);
    EXPECT_EQ(Output(), Rec(100, 140, kTen + "|B"));
    // Formats that cannot lengthen join even where there is room.
    EXPECT_EQ(Run(Rec(100, 110, kTen) + Rec(120, 150, "B"), 0), 1);
    EXPECT_EQ(Output(), Rec(100, 150, kTen + "|B"));
}

TEST_F(LengthenTest, FewerThanTwoRecordsUnsortedPairsAndBadRatesChangeNothing)
{
    EXPECT_EQ(Run(""), 0);
    EXPECT_EQ(Run(Rec(100, 101, kTen)), 0);
    EXPECT_EQ(Output(), "(none)");
    EXPECT_EQ(host.lastStatus, "T25");

    // The next subtitle starts earlier (unsorted): joining would end the pair
    // before its start, and no stray message comes up.
    EXPECT_EQ(Run(Rec(100, 0, "A") + Rec(99, 0, "B"), 0), 0);
    EXPECT_EQ(Run(Rec(100, 0, kTen) + Rec(90, 0, "B") + Rec(300, 0, "C"), 0), 0);
    EXPECT_EQ(Captions().find("BLAD"), std::string::npos);

    for (const float bad : {-0.5f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        host.messages.clear();
        EXPECT_EQ(Run(Rec(100, 110, kTen) + Rec(120, 150, "B"), 1, 0, LengthenSettings{bad, 8, 1, 3, 90}), -1);
        EXPECT_EQ(Output(), "(none)");
    }
}

TEST_F(LengthenTest, DefaultAndAdvancedRunsBothStamp)
{
    settings.WriteSetting("STOPKA_AUTO", "1");
    settings.WriteSetting("STOPKA_SELECTION", "2");
    settings.WriteSetting("STOPKA_KONIEC", "END");
    auto handler = Load(SubtitleFormat::Mpl2, "[100][110]0123456789\r\n[200][250]B\r\n", "in.txt");
    const Outcome lengthened = RunLengthenDefault(*ctx, *handler, WriteOptions{});
    EXPECT_TRUE(lengthened.done);
    EXPECT_EQ(lengthened.changed, 1);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[100][113]0123456789\r\n[200][250]B\r\n[260][]END\r\n");

    LengthenSettings slow;
    slow.base = 9;
    EXPECT_TRUE(RunLengthenAdvanced(*ctx, *handler, slow, WriteOptions{}).done);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "[100][114]0123456789\r\n[200][250]B\r\n[260][]END\r\n");

    slow.base = 1;
    const Outcome nothing = RunLengthenAdvanced(*ctx, *handler, slow, WriteOptions{});
    EXPECT_FALSE(nothing.done);
    EXPECT_EQ(nothing.changed, 0);
    // A time per character that cannot be used fails before counting.
    slow.perCharacter = -1;
    EXPECT_EQ(RunLengthenAdvanced(*ctx, *handler, slow, WriteOptions{}).changed, -1);
}

} // namespace
} // namespace zv::test
