// The settings key file: what reads back, what a missing key does, and that
// the desktop program and the update checker writing at once lose nothing.
#include "engine/file_io.h"
#include "engine/host.h"
#include "engine/settings.h"
#include "engine/workspace.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zv::test {
namespace {

// Prints every message on stderr, so a death test can see what the user saw.
// In a child process any message means the key went missing, which must show
// as a failed child rather than the program's normal exit code 0.
class StderrHost : public Host {
public:
    explicit StderrHost(bool failOnMessage = false) : failOnMessage_(failOnMessage) {}
    Answer Message(const std::string& text, const std::string& caption, Buttons, Icon, Owner) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        if (failOnMessage_)
            std::_Exit(3);
        return Answer::Ok;
    }
    std::shared_ptr<ProgressWindow> StartProgressWindow() override { return nullptr; }

private:
    bool failOnMessage_;
};

// Runs each body in its own child process, all at once; returns their exit codes.
std::vector<int> RunTogether(const std::vector<std::function<void()>>& bodies)
{
    std::vector<pid_t> pids;
    for (const auto& body : bodies) {
        pids.push_back(::fork());
        if (pids.back() == 0) {
            body();
            std::_Exit(0);
        }
    }
    std::vector<int> codes;
    for (pid_t pid : pids) {
        int status = 0;
        codes.push_back(::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    return codes;
}

class KeyFileSettingsTest : public ::testing::Test {
protected:
    KeyFileSettingsTest() : dir_(MakeRunFolder()), key_(dir_ + "/Pelmarik/Zentavo.reg")
    {
        KeyFileSettings::CreateKey(key_, {{"PATH", "/opt/zentavo"}});
    }
    ~KeyFileSettingsTest() override { RemoveRunFolder(dir_ + "/Pelmarik"); RemoveRunFolder(dir_); }

    std::string dir_;
    std::string key_;
    StderrHost host_;
};

TEST_F(KeyFileSettingsTest, ValuesReadBackCutAtTwoHundredFiftyNineAndRename)
{
    KeyFileSettings s(key_, host_);
    EXPECT_EQ(s.ReadSetting("_CNF_ASK_1"), "");
    EXPECT_FALSE(s.HasSetting("_CNF_ASK_1"));
    EXPECT_EQ(s.ReadNumber("NUMBER_OF_SAVED_FILES"), 0);
    EXPECT_EQ(s.ReadSetting("PATH"), "/opt/zentavo");

    const std::string v259(259, 'x');
    s.WriteSetting("LONG", v259);
    EXPECT_EQ(s.ReadSetting("LONG"), v259);
    s.WriteSetting("LONGER", v259 + "YZ");
    EXPECT_EQ(s.ReadSetting("LONGER"), v259);


    s.WriteSetting("EMPTY", "");
    EXPECT_TRUE(s.HasSetting("EMPTY"));
    s.DeleteSetting("EMPTY");
    EXPECT_FALSE(s.HasSetting("EMPTY"));
    s.DeleteSetting("NEVER_THERE"); // not an error
    EXPECT_EQ(s.ReadSetting("PATH"), "/opt/zentavo");

    // Rename moves the value; renaming a missing name leaves an empty value.
    s.WriteSetting("LDIR1", "/home/ann/films/");
    s.RenameSetting("LDIR1", "LDIR2");
    EXPECT_EQ(s.ReadSetting("LDIR2"), "/home/ann/films/");
    EXPECT_FALSE(s.HasSetting("LDIR1"));

    s.WriteSetting("LDIR4", "old");
    s.RenameSetting("LDIR3", "LDIR4"); // LDIR3 never written
    EXPECT_TRUE(s.HasSetting("LDIR4"));
    EXPECT_EQ(s.ReadSetting("LDIR4"), "");
    EXPECT_FALSE(s.HasSetting("LDIR3"));
}

TEST_F(KeyFileSettingsTest, AwkwardNamesAndValuesSurviveTheFile)
{
    const std::map<std::string, std::string> values = {
        {"Installer Language", "1045"},
        {"quote\"in name", "say \"hi\""},
        {"back\\slash", "C:\\Program Files\\Zentavo\\"},
        {"lines", "one\ntwo\r\nthree\n"},
        {"equals=sign", "a=b"},
        {"STOPKA_POCZATEK", "Napisy dopasował | Łukasz"},
        {"ends with backslash", "\\"},
    };
    {
        KeyFileSettings writer(key_, host_);
        for (const auto& [name, value] : values)
            writer.WriteSetting(name, value);
    }
    KeyFileSettings reader(key_, host_); // a later start reads the file afresh
    for (const auto& [name, value] : values)
        EXPECT_EQ(reader.ReadSetting(name), value) << name;
    EXPECT_EQ(reader.ReadSetting("PATH"), "/opt/zentavo");

    // Each value stays on one line of the file, so a hand-edited key with a
    // broken line loses only that line.
    std::string text;
    ASSERT_TRUE(ReadWholeFile(key_, text));
    const auto broken = text.find("\"lines\"");
    ASSERT_NE(broken, std::string::npos);
    text.insert(broken + 1, "\n");
    ASSERT_TRUE(AtomicWriteFile(key_, text));
    EXPECT_EQ(reader.ReadSetting("lines"), "");
    EXPECT_EQ(reader.ReadSetting("Installer Language"), "1045");
    EXPECT_EQ(reader.ReadSetting("STOPKA_POCZATEK"), "Napisy dopasował | Łukasz");
}

TEST_F(KeyFileSettingsTest, CreateKeyNeverTouchesAnExistingKey)
{
    KeyFileSettings s(key_, host_);
    s.WriteSetting("LANGUAGE", "/opt/zentavo/languages/polish.lan");
    EXPECT_FALSE(KeyFileSettings::CreateKey(key_, {{"LANGUAGE", "english.lan"}, {"PATH", "/elsewhere"}}));
    EXPECT_EQ(s.ReadSetting("LANGUAGE"), "/opt/zentavo/languages/polish.lan");
    EXPECT_EQ(s.ReadSetting("PATH"), "/opt/zentavo");
}

using KeyFileSettingsDeathTest = KeyFileSettingsTest;

TEST_F(KeyFileSettingsDeathTest, MissingKeyEndsTheProgramWithTheReinstallMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string missing = dir_ + "/nowhere/Zentavo.reg";
    KeyFileSettings s(missing, host_);
    EXPECT_EXIT(s.ReadSetting("LANGUAGE"), ::testing::ExitedWithCode(0),
                "Can't run program.*registry is corrupted !.*for instalation package");
    EXPECT_EXIT(s.WriteSetting("LANGUAGE", "x"), ::testing::ExitedWithCode(0),
                "registry is corrupted !.*for installation package");
    EXPECT_EXIT(s.DeleteSetting("LDIR4"), ::testing::ExitedWithCode(0), "registry is corrupted");
    EXPECT_EXIT(s.RenameSetting("LDIR3", "LDIR4"), ::testing::ExitedWithCode(0), "registry is corrupted");
    EXPECT_FALSE(FileExists(missing)); // the program never creates the key itself

    // A key deleted while running ends the program at the next access.
    KeyFileSettings running(key_, host_);
    running.WriteSetting("_CNF_ASK_1", "1");
    RemoveFile(key_);
    EXPECT_EXIT(running.ReadSetting("_CNF_ASK_1"), ::testing::ExitedWithCode(0), "registry is corrupted");
}

TEST_F(KeyFileSettingsTest, TwoProgramsWritingAtOnceLoseNothing)
{
    constexpr int kValues = 120;
    {
        KeyFileSettings s(key_, host_);
        s.WriteSetting("VER", "2.4");
    }
    auto writer = [this](const char* prefix) {
        return [this, prefix] {
            StderrHost host(true);
            KeyFileSettings s(key_, host);
            for (int i = 0; i < kValues; ++i)
                s.WriteSetting(prefix + std::to_string(i), std::string(prefix) + " value " + std::to_string(i));
        };
    };
    // A third program only reads: the key must never look missing to it
    // while the others replace the file.
    auto reader = [this] {
        StderrHost host(true);
        KeyFileSettings s(key_, host);
        for (int i = 0; i < 400; ++i)
            if (s.ReadSetting("VER") != "2.4")
                std::_Exit(4);
    };
    EXPECT_EQ(RunTogether({writer("A_"), writer("B_"), reader}), (std::vector<int>{0, 0, 0}));

    KeyFileSettings s(key_, host_);
    int lost = 0;
    for (const char* prefix : {"A_", "B_"})
        for (int i = 0; i < kValues; ++i)
            if (s.ReadSetting(prefix + std::to_string(i)) != std::string(prefix) + " value " + std::to_string(i))
                ++lost;
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(s.ReadSetting("PATH"), "/opt/zentavo");
    EXPECT_EQ(s.ReadSetting("VER"), "2.4");
}

TEST(KeyText, PassesOverWhatIsNotAValue)
{
    // Comments, blank lines, CR LF line ends and junk lines are passed over.
    const auto parsed = ParseKey("; comment\r\n\r\n\"A\"=\"1\"\r\njunk\n\"B\"=\"2\n\"C\"=\"3\"\n");
    EXPECT_EQ(parsed, (std::map<std::string, std::string>{{"A", "1"}, {"C", "3"}}));
}

} // namespace
} // namespace zv::test
