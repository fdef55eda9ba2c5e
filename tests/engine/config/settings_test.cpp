// The settings key file: what reads back, what a missing key does, and that
// the desktop program and the update checker writing at once lose nothing.
#include "engine/io/file_io.h"
#include "engine/host/host.h"
#include "engine/config/settings.h"
#include "engine/io/workspace.h"

#include <gtest/gtest.h>

#include "support/scripted_host.h"

#include <fcntl.h>
#include <sys/file.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zv::test {
namespace {

// Prints every message on stderr; in a child process that must stay silent a
// message ends it with a failure code.
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
            // What exec would close: a folder that a given-up lock wait of
            // the parent still has open would hold the key's lock here.
            for (int fd = 3; fd < 1024; ++fd)
                if (const int flags = ::fcntl(fd, F_GETFD); flags >= 0 && (flags & FD_CLOEXEC) != 0)
                    ::close(fd);
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

// Root passes over permission bits; without these capabilities it is bound by
// them like any user.
bool BoundByPermissions()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    for (unsigned cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
        data[cap / 32].effective &= ~(1u << (cap % 32));
    return ::syscall(SYS_capset, &header, data) == 0;
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

// The user is told, the program's handler decides what follows, and the
// access fails instead of inventing a value; no lock file is left behind.
TEST_F(KeyFileSettingsTest, AKeyThatIsMissingOrNoKeyFileIsCorruptedAndTheProgramDecides)
{
    const std::string folder = dir_ + "/Pelmarik";
    ::mkdir((folder + "/folder.reg").c_str(), 0700);
    ::mkfifo((folder + "/fifo.reg").c_str(), 0600);
    ::symlink("/dev/zero", (folder + "/device.reg").c_str());
    ASSERT_TRUE(AtomicWriteFile(folder + "/huge.reg", "; " + std::string(kMaxKeyFileSize, 'x') + "\n"));
    const auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const auto before = entries();
    for (const std::string& key : {dir_ + "/nowhere/Zentavo.reg", folder + "/missing.reg", folder + "/folder.reg",
                                   folder + "/fifo.reg", folder + "/device.reg", folder + "/huge.reg"}) {
        SCOPED_TRACE(key);
        ScriptedHost host;
        int ended = 0;
        KeyFileSettings s(key, host, [&] { ++ended; });
        EXPECT_EQ(s.ReadSetting("LANGUAGE"), "");
        EXPECT_EQ(s.WriteSetting("LANGUAGE", "x"), -1);
        EXPECT_EQ(s.DeleteSetting("LDIR4"), -1);
        EXPECT_EQ(s.AddToNumber("NUMBER_OF_SAVED_FILES", -1), -1);
        EXPECT_EQ(ended, 4);
        ASSERT_EQ(host.messages.size(), 4u);
        EXPECT_EQ(host.messages[0].caption, "Can't run program.");
        EXPECT_TRUE(host.messages[0].text.ends_with("for instalation package.")) << host.messages[0].text;
        EXPECT_TRUE(host.messages[1].text.starts_with("Reinstall Zentavo - registry is corrupted !"));
        EXPECT_TRUE(host.messages[1].text.ends_with("for installation package.")) << host.messages[1].text;
    }
    EXPECT_EQ(entries(), before); // nothing created, no lock file either
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/nowhere"));
}

TEST_F(KeyFileSettingsTest, AFailedOrLockedWriteIsRefusedAndToldOnce)
{
    KeyFileSettings s(key_, host_);
    s.WriteSetting("LDIR1", "/films/");

    // Another program holds the lock longer than the wait: nothing is
    // written, and nothing is written unlocked either.
    {
        const int folder = ::open((dir_ + "/Pelmarik").c_str(), O_RDONLY | O_DIRECTORY);
        ASSERT_EQ(::flock(folder, LOCK_EX), 0);
        ScriptedHost host;
        KeyFileSettings locked(key_, host, {}, std::chrono::milliseconds(100));
        EXPECT_EQ(locked.WriteSetting("LDIR1", "/elsewhere/"), -1);
        EXPECT_EQ(locked.AddToNumber("NUMBER_OF_SAVED_FILES", -1), -1);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_NE(host.messages[0].text.find(key_), std::string::npos);
        ::close(folder);
        EXPECT_EQ(locked.WriteSetting("LDIR2", "/later/"), 0);
    }
    EXPECT_EQ(s.ReadSetting("LDIR1"), "/films/");
    EXPECT_EQ(s.ReadSetting("LDIR2"), "/later/");

    // A folder the user may not write to: the change is refused with the
    // system's reason, once however many values the command writes.
    ::chmod((dir_ + "/Pelmarik").c_str(), 0555);
    const auto codes = RunTogether({[this] {
        if (!BoundByPermissions())
            std::_Exit(5);
        ScriptedHost host;
        KeyFileSettings readOnly(key_, host);
        if (readOnly.ReadSetting("LDIR1") != "/films/")
            std::_Exit(2);
        if (readOnly.WriteSetting("LDIR1", "/lost/") != -1 || readOnly.AddToNumber("NUMBER_OF_SAVED_FILES", 1) != -1)
            std::_Exit(3);
        if (host.messages.size() != 1 || host.messages[0].text.find("Permission denied") == std::string::npos)
            std::_Exit(4);
        std::_Exit(0);
    }});
    ::chmod((dir_ + "/Pelmarik").c_str(), 0700);
    EXPECT_EQ(codes, std::vector<int>{0});
    EXPECT_EQ(s.ReadSetting("LDIR1"), "/films/");
}

TEST_F(KeyFileSettingsTest, LinesThatAreNoValueAreKeptAsTheyStand)
{
    const std::string text = "; Zentavo settings key\n"
                             "\"PATH\"=\"/opt/zentavo\"\n"
                             "# added by hand\r\n"
                             "\"LDIR1\"=\"/films/\"\n"
                             "\"BROKEN\"=\"never closed\n"
                             "\n"
                             "\"VER\"=\"2.4\"";
    ASSERT_TRUE(AtomicWriteFile(key_, text));
    KeyFileSettings s(key_, host_);
    EXPECT_EQ(s.WriteSetting("LDIR1", "/series/"), 0);
    EXPECT_EQ(s.WriteSetting("NEW", "1"), 0);
    EXPECT_EQ(s.DeleteSetting("VER"), 0);
    std::string now;
    ASSERT_TRUE(ReadWholeFile(key_, now));
    EXPECT_EQ(now, "; Zentavo settings key\n"
                   "\"PATH\"=\"/opt/zentavo\"\n"
                   "# added by hand\r\n"
                   "\"LDIR1\"=\"/series/\"\n"
                   "\"BROKEN\"=\"never closed\n"
                   "\n"
                   "\"NEW\"=\"1\"\n");
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

TEST_F(KeyFileSettingsTest, EightProgramsCountingAtOnceLoseNoCountAndNoneIsTurnedAway)
{
    // Each change holds the lock for a moment only: a program that waits its
    // turn gets it well within the wait, however busy the others are.
    auto counter = [this] {
        StderrHost host(true);
        KeyFileSettings s(key_, host);
        for (int i = 0; i < 100; ++i)
            if (s.AddToNumber("NUMBER_OF_SAVED_FILES", -1) != 0)
                std::_Exit(4);
    };
    EXPECT_EQ(RunTogether(std::vector<std::function<void()>>(8, counter)), std::vector<int>(8, 0));
    KeyFileSettings s(key_, host_);
    EXPECT_EQ(s.ReadNumber("NUMBER_OF_SAVED_FILES"), -800);
}

TEST_F(KeyFileSettingsTest, AWriteThatWouldOutgrowTheKeyIsRefusedAndTheKeyStaysUsable)
{
    ScriptedHost host;
    KeyFileSettings s(key_, host);
    ASSERT_EQ(s.WriteSetting("STOPKA_POCZATEK", "stamp"), 0);
    std::string before;
    ASSERT_TRUE(ReadWholeFile(key_, before));
    EXPECT_EQ(s.WriteSetting("STOPKA_POCZATEK", std::string(kMaxKeyFileSize, 'x')), -1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("at most 1 MiB"), std::string::npos) << host.messages[0].text;
    std::string after;
    ASSERT_TRUE(ReadWholeFile(key_, after));
    EXPECT_EQ(after, before);
    EXPECT_EQ(s.ReadSetting("STOPKA_POCZATEK"), "stamp");
    EXPECT_EQ(host.messages.size(), 1u); // no "registry is corrupted" after it
}

TEST(KeyText, PassesOverWhatIsNotAValue)
{
    // Comments, blank lines, CR LF line ends and junk lines are passed over.
    const auto parsed = ParseKey("; comment\r\n\r\n\"A\"=\"1\"\r\njunk\n\"B\"=\"2\n\"C\"=\"3\"\n");
    EXPECT_EQ(parsed, (std::map<std::string, std::string>{{"A", "1"}, {"C", "3"}}));
}

} // namespace
} // namespace zv::test

namespace zv {
namespace {

TEST(SettingNumbers, CountersSaturateAndTheTwoSharedRulesReadOneWay)
{
    MemorySettings s;
    s.WriteSetting("NUMBER_OF_SAVED_FILES", "-2147483647");
    s.AddToNumber("NUMBER_OF_SAVED_FILES", -1);
    s.AddToNumber("NUMBER_OF_SAVED_FILES", -1);
    EXPECT_EQ(s.ReadSetting("NUMBER_OF_SAVED_FILES"), "-2147483648");
    s.WriteSetting("NUMBER_OF_SAVED_FILES", "99999999999999999999");
    EXPECT_EQ(s.ReadNumber("NUMBER_OF_SAVED_FILES"), 2147483647);
    s.AddToNumber("NUMBER_OF_SAVED_FILES", 1);
    EXPECT_EQ(s.ReadSetting("NUMBER_OF_SAVED_FILES"), "2147483647");
    // Rectangles far out of range cannot overflow their difference.
    s.WriteSetting("WINDOW_LEFT", "-99999999999999999999");
    EXPECT_EQ(s.ReadNumber("WINDOW_LEFT"), -2147483648L);

    const std::pair<const char*, bool> stampAuto[] = {{"", false}, {"0", false}, {"1", true}, {"2", true},
                                                      {"-1", true}, {"x", false}};
    for (const auto& [value, on] : stampAuto) {
        s.WriteSetting("STOPKA_AUTO", value);
        EXPECT_EQ(StampLineAutomatic(s), on) << value;
    }
    const std::pair<const char*, bool> checks[] = {{"", true}, {"0", true}, {"1", false}, {"7", false}};
    for (const auto& [value, on] : checks) {
        s.WriteSetting("_CNF_ASK_11", value);
        EXPECT_EQ(UpdateChecksOn(s), on) << value;
    }
}

} // namespace
} // namespace zv
