// The update checker's decisions on what the site answers, without a network.
#include "engine/config/settings.h"
#include "engine/update/update_check.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace zv::test {
namespace {

const std::string kBase = "http://site.test/";

// Answers each address from a table; an address not in it fails.
class TableFetcher : public UpdateFetcher {
public:
    std::map<std::string, std::string> bodies;
    int fetches = 0;
    FetchResult FetchUrlText(const std::string& url) override
    {
        ++fetches;
        const auto it = bodies.find(url);
        if (it == bodies.end())
            return {false, {}, "Could not connect to server"};
        return {true, it->second, {}};
    }
};

TEST(UpdateCheck, ComparesVersionsAsNumbersWithoutPoints)
{
    TableFetcher fetcher;
    const auto check = [&](const std::string& body, const std::string& installed) {
        fetcher.bodies[VersionFileUrl(kBase)] = body;
        return CheckForNewerVersion(fetcher, kBase, installed);
    };
    const VersionCheck newer = check("2.4\r\nFaster synchronize.\r\n", "2.3");
    EXPECT_EQ(newer.outcome, CheckOutcome::Newer);
    EXPECT_EQ(newer.text, "Faster synchronize.\r\n");
    EXPECT_EQ(check("2.4\r\n", "2.31").outcome, CheckOutcome::Newest); // 231 against 24
    EXPECT_EQ(check("2.4\r\n", "2.4").outcome, CheckOutcome::Newest);
    EXPECT_EQ(check("2.4\r\n", "").outcome, CheckOutcome::Newer); // nothing installed reads as 0
    EXPECT_EQ(check("2.4\r\n", "").text, "");
    EXPECT_EQ(check("24.\r\nx", "").outcome, CheckOutcome::Malformed);
    EXPECT_EQ(check("2,4\r\nx", "").outcome, CheckOutcome::Malformed);
    EXPECT_EQ(check("2.", "").outcome, CheckOutcome::Malformed);
    EXPECT_EQ(check("", "").outcome, CheckOutcome::Malformed);
    fetcher.bodies.clear();
    const VersionCheck failed = CheckForNewerVersion(fetcher, kBase, "2.3");
    EXPECT_EQ(failed.outcome, CheckOutcome::Failed);
    EXPECT_EQ(failed.text, "Could not connect to server");
}

// Files saved on any system: the text begins right after the header's line
// end, whatever kind it is, and a version file without one is no version file.
TEST(UpdateCheck, TheHeaderEndsWithALineEndOfAnyKind)
{
    TableFetcher fetcher;
    struct Case {
        const char* body;
        CheckOutcome outcome;
    };
    const Case cases[] = {
        {"2.5\r\nNew things", CheckOutcome::Newer}, {"2.5\nNew things", CheckOutcome::Newer},
        {"2.5\rNew things", CheckOutcome::Newer},    {"2.5", CheckOutcome::Malformed},
        {"2.5New things", CheckOutcome::Malformed}, {"2.5 \r\nNew things", CheckOutcome::Malformed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        fetcher.bodies[VersionFileUrl(kBase)] = c.body;
        const VersionCheck check = CheckForNewerVersion(fetcher, kBase, "2.3");
        EXPECT_EQ(check.outcome, c.outcome);
        if (c.outcome == CheckOutcome::Newer) {
            EXPECT_EQ(check.text, "New things");
            EXPECT_EQ(check.version, "2.5");
        }
    }
    MemorySettings settings;
    settings.WriteSetting(kAnnouncementSetting, "007");
    for (const char* body : {"008\r\nNew things", "008\nNew things", "008\rNew things", "008New things"}) {
        SCOPED_TRACE(body);
        fetcher.bodies[AnnouncementFileUrl(kBase)] = body;
        const auto shown = AnnouncementToShow(fetcher, kBase, settings);
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->text, "New things");
    }
}

TEST(UpdateCheck, InstalledVersionSaturatesAndUsesTenCharacters)
{
    EXPECT_EQ(InstalledVersionNumber("2.3"), 23);
    EXPECT_EQ(InstalledVersionNumber("2.3.1"), 231);
    EXPECT_EQ(InstalledVersionNumber("1.2.3.4.5.6"), 12345); // "1.2.3.4.5." is all that counts
    EXPECT_EQ(InstalledVersionNumber("9999999999999999999999"), 9999999999);
    EXPECT_EQ(InstalledVersionNumber("99999999.99999999999.9999999999999"), 999999999);
    EXPECT_EQ(InstalledVersionNumber("2.3beta"), 23);
    EXPECT_EQ(UpdateModeOf("1"), UpdateMode::Silent);
    EXPECT_EQ(UpdateModeOf("2"), UpdateMode::Announcement);
    EXPECT_EQ(UpdateModeOf("3"), UpdateMode::Window);
    EXPECT_EQ(UpdateModeOf("x"), UpdateMode::Window);
    EXPECT_EQ(UpdateModeOf("99999999999999999999999"), UpdateMode::Window);
    EXPECT_EQ(UpdateModeOf(nullptr), UpdateMode::Window);
}

TEST(UpdateCheck, StatusLineGivesTheRateOnceASecondHasPassed)
{
    EXPECT_EQ(ReadStatusLine(10240, 2), "Read 10240 bytes (5.0 Kb/s)");
    EXPECT_EQ(ReadStatusLine(10240, 0), "Read 10240 bytes");
    EXPECT_EQ(ReadStatusLine(1000, 3), "Read 1000 bytes (0.3 Kb/s)");
}

TEST(UpdateCheck, AnnouncementIsShownUntilTheUserAsksNotTo)
{
    TableFetcher fetcher;
    MemorySettings settings;
    fetcher.bodies[AnnouncementFileUrl(kBase)] = "007\r\nA new forum.";
    // The first run only learns the current number.
    EXPECT_FALSE(AnnouncementToShow(fetcher, kBase, settings));
    EXPECT_EQ(settings.ReadSetting(kAnnouncementSetting), "007");
    EXPECT_FALSE(AnnouncementToShow(fetcher, kBase, settings));

    fetcher.bodies[AnnouncementFileUrl(kBase)] = "008\r\nVersion 3 is coming.";
    auto shown = AnnouncementToShow(fetcher, kBase, settings);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text, "Version 3 is coming.");
    RememberAnnouncement(settings, *shown, true); // box left ticked: shown again
    shown = AnnouncementToShow(fetcher, kBase, settings);
    ASSERT_TRUE(shown);
    RememberAnnouncement(settings, *shown, false);
    EXPECT_EQ(settings.ReadSetting(kAnnouncementSetting), "008");
    EXPECT_FALSE(AnnouncementToShow(fetcher, kBase, settings));

    // Neither a number without a leading digit, nor one that could not be
    // stored as it stands, nor a failed fetch shows or stores anything.
    for (const char* body : {"A09\r\nx", "0\n9\r\nx", "09", ""}) {
        fetcher.bodies[AnnouncementFileUrl(kBase)] = body;
        EXPECT_FALSE(AnnouncementToShow(fetcher, kBase, settings)) << body;
    }
    fetcher.bodies.clear();
    EXPECT_FALSE(AnnouncementToShow(fetcher, kBase, settings));
    EXPECT_EQ(settings.ReadSetting(kAnnouncementSetting), "008");
}

} // namespace
} // namespace zv::test
