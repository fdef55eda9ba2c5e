// zentavo-cli end to end: the real binary on small files written here, with a
// language file whose text n reads "T<n>" so every message is identifiable.
#include "engine/io/file_io.h"
#include "engine/io/workspace.h"
#include "support/avi_writer.h"
#include "support/engine_fixture.h"
#include "support/film_timings.h"

#include <dirent.h>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace zv::test {
namespace {

// What posix_spawn takes: the strings' own characters, ended by a null.
std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (auto& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

struct CliRun {
    int exit = -1;
    std::string out;
    std::string err;
};

class CliTest : public EngineTest {
protected:
    CliTest()
    {
        ::mkdir((dir + "/lang").c_str(), 0700);
        NumberedLanguageFile(dir + "/lang/english.lan");
        ::mkdir((dir + "/tmp").c_str(), 0700);
    }
    // The base removes the files of its folder, not folders inside it.
    ~CliTest() override
    {
        RemoveRunFolder(dir + "/lang");
        RemoveRunFolder(dir + "/tmp");
    }

    // moreEnv is added to the child's environment; stdinFd, when given, is its
    // standard input. A run that has not ended after 30 seconds is killed and fails.
    CliRun Cli(const std::vector<std::string>& args, const std::vector<std::string>& moreEnv = {},
               int stdinFd = -1)
    {
        std::vector<std::string> env = {"ZENTAVO_LANGUAGES=" + dir + "/lang", "TMPDIR=" + dir + "/tmp",
                                        "PATH=/usr/bin:/bin"};
        env.insert(env.end(), moreEnv.begin(), moreEnv.end());
        // The sanitizers' settings must reach the child as well.
        for (char** e = environ; *e; ++e)
            if (std::string(*e).starts_with("ASAN_") || std::string(*e).starts_with("UBSAN_"))
                env.emplace_back(*e);
        std::vector<std::string> argv = {ZENTAVO_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargv = Pointers(argv), cenv = Pointers(env);

        const std::string outPath = dir + "/stdout.txt", errPath = dir + "/stderr.txt";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (stdinFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
        pid_t pid = 0;
        CliRun run;
        if (posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data()) == 0) {
            int status = 0;
            for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
                if (waited == 3000) {
                    ADD_FAILURE() << "hangs";
                    ::kill(pid, SIGKILL);
                }
                ::usleep(10000);
            }
            run.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&actions);
        run.out = ReadFile(outPath);
        run.err = ReadFile(errPath);
        return run;
    }

    // Names in a folder, . and .. left out.
    static std::vector<std::string> Entries(const std::string& folder)
    {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.emplace_back(e->d_name);
            ::closedir(d);
        }
        return names;
    }

    static std::string Shown(const std::vector<std::string>& args)
    {
        std::string shown;
        for (const auto& a : args)
            shown += a + " ";
        return shown;
    }

    void TearDown() override
    {
        // Every run removes its private workspace, however it ended.
        EXPECT_TRUE(Entries(dir + "/tmp").empty());
    }

    const std::string kSubRip = "1\r\n00:00:01,000 --> 00:00:02,500\r\nHello\r\nWorld\r\n\r\n"
                                "2\r\n00:00:03,000 --> 00:00:04,000\r\nSecond\r\n\r\n"
                                "3\r\n00:00:05,000 --> 00:00:06,000\r\nThird\r\n\r\n";
    const std::string kMicroDvd = "{10}{20}a\r\n{30}{40}b\r\n{50}{60}c\r\n{70}{80}d\r\n";
};

// Each command on files written here: exit code, standard output and error output exactly.
TEST_F(CliTest, CommandsPrintTheirResultAndReportOnStandardError)
{
    const std::string srt = WriteFile("a.srt", kSubRip);
    const std::string sub = WriteFile("a.sub", kMicroDvd);
    const std::string mpl = WriteFile("a.txt", "[100][120]one\r\n[550][580]two\r\n[1000][1010]three\r\n");
    const std::string out = WriteFile("out.srt", "keep me");
    const std::string folder = Path("folder");
    ::mkdir(folder.c_str(), 0700);
    // A SubRip file counts its time lines; 2,048 bytes are 2.00 kb.
    std::string padded = kSubRip;
    padded.resize(2048 - 2, 'x');
    const std::string shortOne = WriteFile("s.txt", "[10][12]hello there\r\n[100][120]b\r\n");
    const std::string crowdedText = "[10][12]a\r\n[13][30]b\r\n[100][110]c\r\n";
    const std::string crowded = WriteFile("c.txt", crowdedText);
    const std::string first = WriteFile("f.sub", "{10}{20}a\r\n");
    const std::string second = WriteFile("g.sub", "{5}{8}b\r\n");
    // Lengthen always tells first what it is about to do.
    const std::string lengthenNotice = "T44: T347\n";
    const std::string synced = "[150][170]one\r\n[1050][1080]two\r\n[1950][1960]three\r\n";
    const struct {
        std::vector<std::string> args;
        std::string out;
        std::string err = "";
        int exit = 0;
    } cases[] = {
        {{"detect", srt}, "5 subrip\n"},
        {{"--version"}, "zentavo-cli " ZENTAVO_VERSION "\n"},
        {{"info", WriteFile("b.srt", padded + "\r\n")}, "2.00 kb\n3\nsubrip\n"},
        // One-line formats count lines; an empty line in the middle is passed over.
        {{"info", WriteFile("c.sub", "{1}{2}a\r\n{3}{4}b\r\n\r\n{5}{6}c\r\n")}, "0.03 kb\n3\nmicrodvd\n"},
        {{"detect", WriteFile("x.txt", "no subtitles here\r\n")}, "", "T44: T45\n", 1},
        {{"info", Path("missing.srt")}, "", "T44: T56\n", 1},
        {{"avi-info", WriteFile("clip.avi", AviFile({.scale = 1001, .rate = 30000, .audio = true}))},
         "max-bytes-per-second 1000000\nstreams 2\nwidth 320\nheight 240\nscale 1001\nrate 30000\n"
         "frames-per-second 29.970030\nlength 250\nfile-type AVI\n"},
        {{"avi-info", WriteFile("notes.avi", "{1}{2}a\r\n")}, "", "T52: T254\n", 1},
        {{"convert", srt, "--to", "microdvd"}, "{25}{62}Hello|World\r\n{75}{100}Second\r\n{125}{150}Third\r\n"},
        // Frame 250 at 25 frames per second is ten seconds.
        {{"convert", WriteFile("d.sub", "{250}{275}Hi|there\r\n"), "--to", "subrip"},
         "1\r\n00:00:10,000 --> 00:00:11,000\r\nHi\r\nthere\r\n\r\n"},
        // The rate checked is the rate used, however it is spelled.
        {{"convert", Path("d.sub"), "--to", "subrip", "--fps", "2.50000000000000000000000000000000000000e1"},
         "1\r\n00:00:10,000 --> 00:00:11,000\r\nHi\r\nthere\r\n\r\n"},
        // One frame per second is a rate like any other: one second is frame 1.
        {{"convert", WriteFile("one.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n"), "--to", "microdvd",
          "--fps", "1"},
         "{1}{2}A\r\n"},
        // Frame numbers beyond seven digits are left out, never written unreadable.
        {{"convert", srt, "--to", "microdvd", "--fps", "3.4e38"}, "", "subtitles left out: 3\n"},
        // A folder or a device is no subtitle file, and says so.
        {{"shift", folder, "--by", "1", "-o", out}, "", "T44: T398\n", 1},
        {{"repair-ends", "/dev/zero", "-o", out}, "", "T44: T399\n", 1},
        // Between two time formats the frame rate is not read at all.
        {{"convert", srt, "--to", "mpl2", "--fps", "nonsense"},
         "[10][25]Hello|World\r\n[30][40]Second\r\n[50][60]Third\r\n"},
        // Ten hours and more do not fit the one-digit hours of the short TmPlayer form.
        {{"convert", WriteFile("e.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n"
                                        "2\r\n10:00:00,000 --> 10:00:01,000\r\nB\r\n\r\n"), "--to", "tmplayer-short"},
         "0:00:01:A\r\n", "subtitles left out: 1\n"},
        {{"shift", srt, "--by", "-0:00:02"},
         "1\r\n00:00:01,000 --> 00:00:02,000\r\nSecond\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nThird\r\n\r\n",
         "subtitles left out: 1\n"},
        {{"shift", sub, "--by", "+15"}, "{25}{35}a\r\n{45}{55}b\r\n{65}{75}c\r\n{85}{95}d\r\n"},
        // A clock time in a frame file: trunc(90 s x 23.976) frames.
        {{"shift", first, "--by", "0:01:30", "--fps", "23.976"}, "{2167}{2177}a\r\n"},
        // The largest 32-bit amount is taken, and every record falls out of range.
        {{"shift", sub, "--by", "2147483647"}, "", "subtitles left out: 4\n"},
        // Points (100 -> 150) and (1000 -> 1950); clock times in a time-based
        // file are tenths, and either reference may come first.
        {{"sync", mpl, "--first", "1=150", "--second", "3=1950"}, synced},
        {{"sync", mpl, "--second", "1=0:00:15", "--first", "3=0:03:15"}, synced},
        // Points that stretch by 25 / 23.976 name the frame-rate change.
        {{"sync", mpl, "--first", "1=104", "--second", "3=1042"},
         "[104][124]one\r\n[573][603]two\r\n[1042][1052]three\r\n", "T396\n"},
        // --exact-ratio applies it as the Synchronize dialog's box does: the
        // second point moves to 104 + round(900 x 25 / 23.976).
        {{"sync", mpl, "--first", "1=104", "--second", "3=1044"},
         "[104][124]one\r\n[574][604]two\r\n[1044][1054]three\r\n", "T396\n"},
        {{"sync", mpl, "--first", "1=104", "--second", "3=1044", "--exact-ratio"},
         "[104][124]one\r\n[573][603]two\r\n[1042][1052]three\r\n", "T396\n"},
        // The dialog's own case gives its file.
        {{"sync", WriteFile("d.txt", "[100][120]one\r\n[550][580]two\r\n[10000][10010]three\r\n"), "--first",
          "1=104", "--second", "3=10428", "--exact-ratio"},
         "[104][124]one\r\n[573][603]two\r\n[10427][10437]three\r\n", "T396\n"},
        {{"repair-ends", WriteFile("lf.sub", "{1}{2}a\n{3}{4}b\r\n\n{5}{6}c")},
         "{1}{2}a\r\n{3}{4}b\r\n\r\n{5}{6}c\r\n"},
        {{"repair-ends", WriteFile("cr.sub", "{1}{2}a\r\r\n{3}{4}b\r{5}{6}c\r")},
         "{1}{2}a\r\n{3}{4}b\r\n{5}{6}c\r\n"},
        {{"sort", WriteFile("u.sub", "{30}{40}c\r\n{10}{20}a\r\n{20}{25}b\r\n")},
         "{10}{20}a\r\n{20}{25}b\r\n{30}{40}c\r\n"},
        // Defaults: 11 characters need 0.5 x 11 + 8 tenths -> 13 (truncated).
        {{"lengthen", shortOne}, "[10][23]hello there\r\n[100][120]b\r\n", lengthenNotice},
        {{"lengthen", shortOne, "--base", "20", "--per-char", "1"},
         "[10][41]hello there\r\n[100][120]b\r\n", lengthenNotice},
        // No room to lengthen: joined with the next one, unless joining is off.
        {{"lengthen", crowded}, "[10][30]a|b\r\n[100][110]c\r\n", lengthenNotice},
        {{"lengthen", crowded, "--no-join"}, crowdedText, lengthenNotice + "nothing to change\n"},
        {{"lengthen", crowded, "--max-rows", "1"}, crowdedText, lengthenNotice + "nothing to change\n"},
        {{"join", first, second, "--offset", "100"}, "{10}{20}a\r\n{105}{108}b\r\n"},
        {{"join", first, second}, "{10}{20}a\r\n{5}{8}b\r\n"},
        {{"join", first, srt, "-o", out}, "", "T52: T191\n", 1},
        {{"stamp", WriteFile("h.sub", "{100}{200}a\r\n"), "--begin", "Made by me", "--end", "The end"},
         "{0}{}Made by me\r\n{100}{200}a\r\n{225}{}The end\r\n"},
        // Failures leave the output alone.
        {{"convert", Path("missing.srt"), "--to", "mpl2", "-o", out}, "", "T44: T56\n", 1},
        {{"shift", WriteFile("y.txt", "plain text\r\n"), "--by", "10", "-o", out}, "", "T44: T45\n", 1},
        // A bad line: the reader's report, nothing written.
        {{"shift", WriteFile("bad.sub", "{1}{2}a\r\nnot a subtitle\r\n"), "--by", "10", "-o", out},
         "",
         "T52: T296 (2): \n\nnot a subtitle\n\nT297\n", 1},
        // A result that cannot be put in place: the save command's message.
        {{"shift", srt, "--by", "10", "-o", Path("no/such/folder/out.srt")},
         "",
         "T52: T53\n\nNo such file or directory\n" + Path("no/such/folder/out.srt") + "\n",
         1},
    };
    // These are the results of the tenths arithmetic, byte for byte.
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.emplace_back("--tenths");
        SCOPED_TRACE(Shown(args));
        const auto r = Cli(args);
        EXPECT_EQ(r.exit, c.exit);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(ReadFile(out), "keep me");
    ::rmdir(folder.c_str());
    // No temporary file is left beside the output.
    for (const auto& name : Entries(dir))
        EXPECT_FALSE(name.starts_with(".zv-")) << name;

    // The lossy question is answered without a word; Ssa gets the default style.
    const auto r = Cli({"convert", srt, "--to", "ssa"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.out.find("Times New Roman CE,28"), std::string::npos) << r.out;
}

TEST_F(CliTest, UsageErrorsExitTwoWithUsageAndWriteNothing)
{
    const std::string srt = WriteFile("a.srt", kSubRip);
    const std::string sub = WriteFile("a.sub", kMicroDvd);
    const std::string out = WriteFile("out.txt", "keep me");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", srt},
        {"detect"},
        {"detect", srt, srt},
        {"convert", srt, "--to", "subrip", "-o", out},           // its own format
        {"convert", srt, "--to", "klingon", "-o", out},
        {"convert", srt, "-o", out},                             // no target
        {"convert", srt, "--to", "microdvd", "--fps", "0", "-o", out},
        {"convert", srt, "--to", "microdvd", "--fps", "-25", "-o", out},
        {"convert", srt, "--to", "mpl2", "--bogus", "-o", out},
        {"shift", srt, "--by", "1", "--by", "2", "-o", out},     // given twice
        {"shift", srt, "--by"},                                  // value missing
        {"shift", srt, "-o", out},                               // --by missing
        {"shift", srt, "--by", "1:2:03", "-o", out},             // two-digit minutes
        {"shift", srt, "--by", "2147483648", "-o", out},         // beyond 32 bits
        {"shift", srt, "--by", "1.5", "-o", out},
        {"shift", srt, "--by", "-300000:00:00", "-o", out},      // tenths beyond 32 bits
        {"shift", sub, "--by", "0:00:10", "-o", out},            // frames need --fps
        {"sync", srt, "--first", "1=5", "--second", "4=70", "-o", out},   // no 4th subtitle
        {"sync", srt, "--first", "2=5", "--second", "2=70", "-o", out},   // same start
        {"sync", srt, "--first", "1=10", "--second", "3=50", "-o", out},  // nothing changes
        {"sync", srt, "--first", "1=60", "--second", "3=60", "-o", out},  // second not later
        {"sync", srt, "--first", "1=10", "-o", out},
        {"autosync", srt, "-o", out},                            // no reference
        {"autosync", srt, "--movie", srt, "--audio-track", "0", "-o", out},
        {"split", sub, "--after-line", "0", "-o", out, "-o", Path("p2")},
        {"split", sub, "--after-line", "2", "-o", out},
        {"split", sub, "--after-line", "2", "-o", out, "-o", out},
        {"stamp", sub, "-o", out},
        {"lengthen", sub, "--per-char", "-1", "-o", out},
        {"lengthen", sub, "--no-join=1", "-o", out},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(Shown(args));
        const auto r = Cli(args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(ReadFile(out), "keep me");
    }
    EXPECT_FALSE(FileExists(Path("p2")));
    // The sync checks show the dialog's own texts before the usage.
    EXPECT_NE(Cli({"sync", srt, "--first", "1=10", "--second", "3=50"}).err.find("T48: T47\n"), std::string::npos);
}

TEST_F(CliTest, OutputFilesAreWrittenWholeAndMayReplaceTheInput)
{
    const std::string sub = WriteFile("a.sub", kMicroDvd);
    // One second at 23.976 frames per second is nearest frame 24.
    const std::string srt1 = WriteFile("b.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n");
    auto r = Cli({"convert", srt1, "--to", "3", "--fps", "23.976", "-o", Path("b.sub")});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFile(Path("b.sub")), "{24}{48}Hi\r\n");

    // Nothing moves, but the result is still written.
    EXPECT_EQ(Cli({"shift", sub, "--by", "0", "-o", Path("same.sub")}).exit, 0);
    EXPECT_EQ(ReadFile(Path("same.sub")), kMicroDvd);

    r = Cli({"split", sub, "--after-line", "2", "--shift", "30", "-o", Path("p1.sub"), "-o", Path("p2.sub")});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFile(Path("p1.sub")), "{10}{20}a\r\n{30}{40}b\r\n");
    EXPECT_EQ(ReadFile(Path("p2.sub")), "{20}{30}c\r\n{40}{50}d\r\n");
    // In a SubRip file line 8 is the text line of the second block: two
    // subtitles go to the first part; the block's number line (line 6) gives one.
    const std::string srt = WriteFile("a.srt", kSubRip);
    Cli({"split", srt, "--after-line", "8", "-o", Path("q1.srt"), "-o", Path("q2.srt")});
    EXPECT_EQ(ReadFile(Path("q2.srt")), "1\r\n00:00:05,000 --> 00:00:06,000\r\nThird\r\n\r\n");
    Cli({"split", srt, "--after-line", "6", "-o", Path("q1.srt"), "-o", Path("q2.srt")});
    EXPECT_EQ(ReadFile(Path("q1.srt")), "1\r\n00:00:01,000 --> 00:00:02,500\r\nHello\r\nWorld\r\n\r\n");

    // A stamp already there: said so, and the result is written all the same.
    const std::string stamped = WriteFile("c.sub", "{0}{}Made by me\r\n{100}{200}a\r\n{225}{}The end\r\n");
    r = Cli({"stamp", stamped, "--end", "The end", "-o", Path("d.sub")});
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.err.find("T375"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(Path("d.sub")), ReadFile(stamped));

    // The output may be the input itself: it is replaced only at the end.
    EXPECT_EQ(Cli({"shift", sub, "--by", "-10", "-o", sub}).exit, 0);
    EXPECT_EQ(ReadFile(sub), "{0}{10}a\r\n{20}{30}b\r\n{40}{50}c\r\n{60}{70}d\r\n");
}

// A pipe, a FIFO or standard input is read once: detection sees the bytes
// the reader reads, so nothing is lost and nothing waits for a second read.
TEST_F(CliTest, StreamsAreReadOnceAndWhole)
{
    std::signal(SIGPIPE, SIG_IGN);
    std::string srt;
    std::string expected;
    for (int i = 1; i <= 200; ++i) {
        srt += std::to_string(i % 10) + "\r\n00:00:01,000 --> 00:00:02,000\r\nSubtitle number " + std::to_string(i) +
               "\r\n\r\n";
        expected += "{25}{50}Subtitle number " + std::to_string(i) + "\r\n";
    }
    // Bigger than any first read, smaller than what a pipe holds unread.
    ASSERT_GT(srt.size(), 8192u);
    ASSERT_LT(srt.size(), 65536u);
    const auto piped = [&](const std::vector<std::string>& args) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        EXPECT_EQ(::write(fds[1], srt.data(), srt.size()), static_cast<ssize_t>(srt.size()));
        ::close(fds[1]);
        const CliRun run = Cli(args, {}, fds[0]);
        ::close(fds[0]);
        return run;
    };
    for (const char* input : {"/dev/stdin", "-"}) {
        SCOPED_TRACE(input);
        const CliRun r = piped({"convert", input, "--to", "microdvd"});
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, expected);
    }
    EXPECT_EQ(piped({"info", "-"}).out, "11.03 kb\n200\nsubrip\n");

    const std::string fifo = Path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t written = ::write(fd, srt.data(), srt.size());
            ::close(fd);
        }
    });
    const CliRun r = Cli({"convert", fifo, "--to", "microdvd"});
    writer.join();
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, expected);
    ::unlink(fifo.c_str());
}

// LF line ends and a UTF-8 mark are the file's own style: set aside while the
// engines work, written back into every result, whatever the format.
TEST_F(CliTest, EveryFormatKeepsItsLineEndsAndMarkThroughShiftAndConvert)
{
    const auto styled = [](std::string text, bool mark, bool lineFeeds) {
        if (lineFeeds)
            for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
                text.erase(at, 1);
        return (mark ? "\xEF\xBB\xBF" : "") + text;
    };
    const char* samples[] = {"tmplayer.txt", "tmplayer_short.txt", "microdvd.sub", "mpl2.txt",
                             "subrip.srt",   "subviewer1.sub",     "ssa.ssa",      "subviewer2.sub"};
    for (const char* name : samples) {
        const std::string crlf = ReadFile(std::string(ZENTAVO_TEST_DATA) + "/formats/" + name);
        // The results of the CR LF file are the ones every style must give.
        const std::string in = WriteFile(name, crlf);
        const std::string target = std::string(name) == "subrip.srt" ? "mpl2" : "subrip";
        const auto shifted = Cli({"shift", in, "--by", "10"});
        const auto converted = Cli({"convert", in, "--to", target});
        ASSERT_EQ(shifted.exit, 0) << name << shifted.err;
        ASSERT_EQ(converted.exit, 0) << name << converted.err;
        ASSERT_NE(shifted.out, crlf) << name;
        for (const bool mark : {false, true}) {
            for (const bool lineFeeds : {false, true}) {
                SCOPED_TRACE(std::string(name) + (mark ? " mark" : "") + (lineFeeds ? " lf" : " crlf"));
                const std::string file = WriteFile(std::string("styled-") + name, styled(crlf, mark, lineFeeds));
                EXPECT_EQ(Cli({"detect", file}).exit, 0);
                auto r = Cli({"shift", file, "--by", "10", "-o", Path("out")});
                EXPECT_EQ(r.exit, 0);
                EXPECT_EQ(ReadFile(Path("out")), styled(shifted.out, mark, lineFeeds));
                r = Cli({"convert", file, "--to", target});
                EXPECT_EQ(r.out, styled(converted.out, mark, lineFeeds));
            }
        }
    }
}

TEST_F(CliTest, EncodingIsToldAndWideTextsGoBackInTheirOwn)
{
    const std::string polish = "{1}{2}Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1, w\xb3\xf3\x9f \xbf\xf3\xb3w\r\n";
    const std::string french = "{1}{2}Caf\xe9 cr\xe8me br\xfbl\xe9""e, tr\xe8s \xe9l\xe9gant\r\n";
    const struct {
        std::vector<std::string> args;
        std::string out;
        std::string err = "";
        int exit = 0;
    } cases[] = {
        {{"encoding", WriteFile("pl.sub", "{1}{2}Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1, w\xb3\xf3\x9f \xbf\xf3\xb3w\r\n")},
         "Windows-1250\n"},
        {{"encoding", WriteFile("u.sub", "\xEF\xBB\xBF{1}{2}Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87\r\n")}, "UTF-8\n"},
        // A wide text is read and written back in its own encoding and mark.
        {{"encoding", WriteFile("w.sub", std::string("\xFE\xFF\0{\0001\0}\0{\0002\0}\0a\0\n", 18))}, "UTF-16BE\n"},
        {{"shift", WriteFile("w2.sub", std::string("\xFF\xFE{\0001\0}\0{\0002\0}\0a\0\n\0", 18)), "--by", "1"},
         std::string("\xFF\xFE{\0002\0}\0{\0003\0}\0a\0\n\0", 18)},
        // A stamp (typed in UTF-8) goes in in the file's own encoding; what
        // the code page lacks becomes "?".
        {{"stamp", WriteFile("pl2.sub", polish), "--end", "Poprawi\xc5\x82 Zentavo"},
         polish + "{27}{}Poprawi\xb3 Zentavo\r\n"},
        {{"stamp", WriteFile("fr.sub", french), "--end", "Poprawi\xc5\x82 Zentavo"},
         french + "{27}{}Poprawi? Zentavo\r\n"},
        {{"stamp", WriteFile("u2.sub", "{1}{2}Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87\r\n"), "--end", "Poprawi\xc5\x82"},
         "{1}{2}Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87\r\n{27}{}Poprawi\xc5\x82\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.args));
        const auto r = Cli(c.args);
        EXPECT_EQ(r.exit, c.exit);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
}

// A MicroDvd file's frame-rate line {1}{1}23.976 is no subtitle: moves leave
// it on top, Join takes only the first file's, other formats leave it out.
TEST_F(CliTest, TheFrameRateLineStaysOnTop)
{
    const std::string film = WriteFile("f.sub", "{1}{1}23.976\r\n{100}{200}a\r\n{300}{400}b\r\n");
    const std::string part2 = WriteFile("g.sub", "{1}{1}23.976\r\n{10}{20}c\r\n");
    const struct {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"shift", film, "--by", "125"}, "{1}{1}23.976\r\n{225}{325}a\r\n{425}{525}b\r\n"},
        {{"shift", film, "--by", "-100"}, "{1}{1}23.976\r\n{0}{100}a\r\n{200}{300}b\r\n"},
        {{"sync", film, "--first", "1=200", "--second", "2=600"}, "{1}{1}23.976\r\n{200}{300}a\r\n{600}{700}b\r\n"},
        {{"join", film, part2, "--offset", "1000"},
         "{1}{1}23.976\r\n{100}{200}a\r\n{300}{400}b\r\n{1010}{1020}c\r\n"},
        {{"convert", film, "--to", "mpl2"}, "[40][80]a\r\n[120][160]b\r\n"},
        {{"info", film}, "0.04 kb\n2\nmicrodvd\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.args));
        const auto r = Cli(c.args);
        EXPECT_EQ(r.exit, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

// A MicroDvd file whose times run 25/23.976 too fast and 12 s late, lined up with a
// SubRip file of the same film; a SubRip file of another film is refused.
TEST_F(CliTest, AutosyncLinesAFileUpWithATimedOneOrRefuses)
{
    const auto subRip = [](const std::vector<FilmLine>& film) {
        std::string text;
        char clock[64];
        for (std::size_t i = 0; i < film.size(); ++i) {
            const auto ms = [](double t) { return std::lround(t * 1000); };
            const long s = ms(film[i].start), e = ms(film[i].end);
            std::snprintf(clock, sizeof clock, "%02ld:%02ld:%02ld,%03ld --> %02ld:%02ld:%02ld,%03ld", s / 3600000,
                          s / 60000 % 60, s / 1000 % 60, s % 1000, e / 3600000, e / 60000 % 60, e / 1000 % 60,
                          e % 1000);
            text += std::to_string(i + 1) + "\r\n" + clock + "\r\nWell, I never.\r\n\r\n";
        }
        return text;
    };
    const std::vector<FilmLine> film = FilmTimings(1, 300);
    const double ratio = 25.0 / (24000.0 / 1001.0);
    std::string frames = "{1}{1}23.976\r\n";
    for (const FilmLine& l : film)
        frames += "{" + std::to_string(std::lround((l.start + 12) / ratio * 25)) + "}{" +
                  std::to_string(std::lround((l.end + 12) / ratio * 25)) + "}Nie wiem.\r\n";
    const std::string target = WriteFile("film.sub", frames);
    const std::string reference = WriteFile("film.srt", subRip(film));
    const std::string out = Path("out.sub");

    auto r = Cli({"autosync", target, "--reference", reference, "--fps", "25", "-o", out});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.err.find("offset: -12.00 s\nratio: 1.0427"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\nT396\nscore: "), std::string::npos) << r.err;
    // The frame-rate line stays on top; every start within a frame of its time.
    const std::string result = ReadFile(out);
    ASSERT_TRUE(result.starts_with("{1}{1}23.976\r\n{")) << result;
    std::size_t at = result.find("\r\n") + 2;
    for (const FilmLine& l : film) {
        ASSERT_LT(at, result.size());
        EXPECT_NEAR(std::stod(result.substr(at + 1)), l.start * 25, 1.5);
        at = result.find("\r\n", at) + 2;
    }

    const std::string other = WriteFile("other.srt", subRip(FilmTimings(2, 300)));
    WriteFile("keep.srt", "keep me");
    r = Cli({"autosync", other, "--reference", reference, "-o", Path("keep.srt")});
    EXPECT_EQ(r.exit, 1);
    EXPECT_NE(r.err.find("T48: T406"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(Path("keep.srt")), "keep me");

    // A break of a minute in the reference's cut from the 151st line on: every
    // start after it moves a minute later, the ones before stay.
    std::vector<FilmLine> withBreak = film;
    for (std::size_t i = 150; i < withBreak.size(); ++i)
        withBreak[i] = {withBreak[i].start + 60, withBreak[i].end + 60};
    const std::string broken = WriteFile("break.srt", subRip(withBreak));
    const std::string plain = WriteFile("plain.srt", subRip(film));
    r = Cli({"autosync", plain, "--reference", broken, "-o", Path("moved.srt")});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.err.find("offset: +0.00 s\nratio: 1.000000\ncut at "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" (subtitle 151): offset +60.00 s\nscore: "), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(Path("moved.srt")), subRip(withBreak));
    r = Cli({"autosync", plain, "--reference", broken, "--no-cuts", "-o", Path("one.srt")});
    EXPECT_EQ(r.err.find("cut at"), std::string::npos) << r.err;
}

TEST_F(CliTest, OutputsFollowLinksAndWriteDevicesFifosAndStreamsDirectly)
{
    const std::string sub = WriteFile("a.sub", kMicroDvd);
    const std::string shifted = "{20}{30}a\r\n{40}{50}b\r\n{60}{70}c\r\n{80}{90}d\r\n";
    const auto shift = [&](const std::string& out) { return Cli({"shift", sub, "--by", "10", "-o", out}); };

    // A link stays a link; the file it names gets the result.
    WriteFile("real.sub", "old");
    ::symlink("real.sub", Path("link.sub").c_str());
    EXPECT_EQ(shift(Path("link.sub")).exit, 0);
    struct stat st {};
    ASSERT_EQ(::lstat(Path("link.sub").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(Path("real.sub")), shifted);

    for (const char* out : {"-", "/dev/stdout"}) {
        SCOPED_TRACE(out);
        const auto r = shift(out);
        EXPECT_EQ(r.exit, 0);
        EXPECT_EQ(r.out, shifted);
    }
    // A device is written into, never replaced by a file.
    auto r = shift("/dev/null");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(::lstat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    r = shift("/dev/full");
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "T52: T53\n\nNo space left on device\n/dev/full\n");

    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    std::string fromFifo;
    std::thread reader([&] { fromFifo = ReadFile(Path("fifo")); });
    EXPECT_EQ(shift(Path("fifo")).exit, 0);
    reader.join();
    EXPECT_EQ(fromFifo, shifted);
    ASSERT_EQ(::lstat(Path("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(CliTest, SplitWritesBothPartsOrNeitherAndKnowsOneFileByAnyName)
{
    const std::string sub = WriteFile("a.sub", kMicroDvd);
    const std::string kept = WriteFile("s1", "keep me");
    ::symlink("s1", Path("link").c_str());
    ::symlink("p1", Path("to-p1").c_str()); // p1 is not there yet
    ::mkdir(Path("folder").c_str(), 0700);
    const struct {
        std::string first, second;
        int exit;
        std::string err;
    } cases[] = {
        {Path("s1"), dir + "/./s1", 2, ""},
        {Path("s1"), Path("link"), 2, ""},
        {Path("p1"), Path("to-p1"), 2, ""},
        // A device is written before the file is put in place: when it fails, neither is there.
        {Path("p1"), "/dev/full", 1, "T52: T53\n\nNo space left on device\n/dev/full\n"},
        {Path("p1"), Path("folder"), 1, "T52: T53\n\nIs a directory\n" + Path("folder") + "\n"},
        {Path("folder"), Path("p2"), 1, "T52: T53\n\nIs a directory\n" + Path("folder") + "\n"},
        // The second part cannot be staged: the first is not written either.
        {Path("p1"), Path("no/such/p2"), 1, "T52: T53\n\nNo such file or directory\n" + Path("no/such/p2") + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first + " " + c.second);
        const auto r = Cli({"split", sub, "--after-line", "2", "-o", c.first, "-o", c.second});
        EXPECT_EQ(r.exit, c.exit);
        if (c.exit == 2) {
            EXPECT_NE(r.err.find("both parts would go to the same file"), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, c.err);
        }
        EXPECT_FALSE(FileExists(Path("p1")));
        EXPECT_FALSE(FileExists(Path("p2")));
        EXPECT_EQ(ReadFile(kept), "keep me");
    }
    EXPECT_TRUE(Entries(Path("folder")).empty());
}

// An output interrupted at any moment leaves neither its temporary beside the
// target nor anything in the run folder. Each run is stopped at the moment
// its row names: while the run folder holds a result being written, or while
// the temporary beside the target is.
TEST_F(CliTest, AnInterruptedRunLeavesNothingBehind)
{
    std::string big;
    std::string shifted;
    for (int i = 0; i < 100'000; ++i) {
        big += "{" + std::to_string(i * 10) + "}{" + std::to_string(i * 10 + 5) + "}a subtitle line\r\n";
        shifted += "{" + std::to_string(i * 10 + 10) + "}{" + std::to_string(i * 10 + 15) + "}a subtitle line\r\n";
    }
    const std::string sub = WriteFile("big.sub", big);
    ::mkdir(Path("out").c_str(), 0700);
    const std::string target = Path("out/target.sub");
    // The first file whose name has this ending, anywhere below folder.
    const std::function<bool(const std::string&, const std::string&)> holds = [&](const std::string& folder,
                                                                                 const std::string& ending) {
        for (const std::string& name : Entries(folder))
            if (name.ends_with(ending) || holds(folder + "/" + name, ending))
                return true;
        return false;
    };
    const struct {
        int signal;
        std::string folder, ending;
    } cases[] = {
        {SIGINT, Path("tmp"), ".zv-part"},
        {SIGTERM, Path("out"), ".tmp"},
        {SIGHUP, Path("out"), ".tmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.signal);
        std::vector<std::string> argv = {ZENTAVO_CLI_PATH, "shift", sub, "--by", "10", "-o", target};
        std::vector<std::string> env = {"ZENTAVO_LANGUAGES=" + dir + "/lang", "TMPDIR=" + dir + "/tmp"};
        std::vector<char*> cargv = Pointers(argv), cenv = Pointers(env);
        // Watched closely until the moment comes. A run that ends before it
        // (or before the signal lands) tells nothing: it is run again.
        bool interrupted = false;
        for (int attempt = 0; attempt < 5 && !interrupted; ++attempt) {
            WriteFile("out/target.sub", "old");
            pid_t pid = 0;
            ASSERT_EQ(posix_spawn(&pid, cargv[0], nullptr, nullptr, cargv.data(), cenv.data()), 0);
            int status = 0;
            for (int round = 0; round < 100'000 && ::waitpid(pid, &status, WNOHANG) == 0; ++round) {
                if (holds(c.folder, c.ending)) {
                    ::kill(pid, c.signal);
                    ::waitpid(pid, &status, 0);
                    break;
                }
                ::usleep(200); // the run needs the processor more than the watcher
            }
            interrupted = WIFSIGNALED(status);
            if (interrupted) {
                EXPECT_EQ(WTERMSIG(status), c.signal);
            }
            EXPECT_EQ(Entries(Path("out")), std::vector<std::string>{"target.sub"});
            const std::string now = ReadFile(target);
            EXPECT_TRUE(now == "old" || now == shifted) << now.substr(0, 100);
            EXPECT_TRUE(Entries(Path("tmp")).empty());
        }
        EXPECT_TRUE(interrupted);
    }
}

// avi-info reads headers where they stand: a regular file, standard input
// too when it is one; a stream or a FIFO is refused at once, never waited on.
TEST_F(CliTest, AviInformationNeedsAFile)
{
    const std::string avi = AviFile({.scale = 1001, .rate = 30000, .audio = true});
    const std::string file = WriteFile("clip.avi", avi);
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    const int regular = ::open(file.c_str(), O_RDONLY);
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    ASSERT_EQ(::write(pipe[1], avi.data(), avi.size()), static_cast<ssize_t>(avi.size()));
    ::close(pipe[1]);
    const struct {
        std::string path;
        int stdinFd;
        int exit;
        std::string err;
    } cases[] = {
        {"-", regular, 0, ""},
        {"-", pipe[0], 1, "zentavo-cli: avi-info needs a file, not a stream: standard input is not one\n"},
        {"/dev/stdin", pipe[0], 1, "zentavo-cli: avi-info needs a file, not a stream or a device: /dev/stdin\n"},
        {Path("fifo"), -1, 1, "zentavo-cli: avi-info needs a file, not a stream or a device: " + Path("fifo") + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto r = Cli({"avi-info", c.path}, {}, c.stdinFd);
        EXPECT_EQ(r.exit, c.exit);
        EXPECT_EQ(r.err, c.err);
        if (c.exit == 0) {
            EXPECT_TRUE(r.out.starts_with("max-bytes-per-second 1000000\nstreams 2\n")) << r.out;
        }
    }
    ::close(regular);
    ::close(pipe[0]);
    ::unlink(Path("fifo").c_str());
}

// TEMP holds a private folder of the run, never the workspace files
// themselves; a folder a killed run left behind goes at the next run.
TEST_F(CliTest, TheRunFolderIsPrivateAndOneLeftByAKilledRunIsRemoved)
{
    const std::string sub = WriteFile("a.sub", kMicroDvd);
    ::mkdir(Path("temp").c_str(), 0755);
    const pid_t gone = ::fork();
    if (gone == 0)
        std::_Exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string prefix = "zentavo-" + std::to_string(::getuid()) + "-";
    for (const std::string& base : {Path("temp"), Path("tmp")})
        ::mkdir((base + "/" + prefix + std::to_string(gone) + "-killed").c_str(), 0700);
    const auto r = Cli({"shift", sub, "--by", "10"}, {"TEMP=" + Path("temp")});
    EXPECT_EQ(r.exit, 0);
    EXPECT_TRUE(Entries(Path("temp")).empty());
    EXPECT_EQ(Entries(Path("tmp")).size(), 1u); // TMPDIR is not where this run worked
    RemoveRunFolder(Path("tmp/" + prefix + std::to_string(gone) + "-killed"));
    RemoveRunFolder(Path("temp"));
}

TEST_F(CliTest, NothingToMendHandsTheFileOnByteForByte)
{
    // Said so, exit 0, and OUT is the input even without its final line end.
    const std::vector<std::pair<std::string, std::string>> clean = {
        {"repair-ends", "{1}{2}a\r\n{3}{4}b"},
        {"sort", "{1}{2}a\r\n{3}{4}b"},
        {"lengthen", "{1}{200}a\r\n{300}{400}b"},
    };
    for (const auto& [command, text] : clean) {
        SCOPED_TRACE(command);
        const std::string in = WriteFile("clean.sub", text);
        auto r = Cli({command, in, "-o", Path("clean.out")});
        EXPECT_EQ(r.exit, 0);
        EXPECT_TRUE(r.err.ends_with("nothing to change\n")) << r.err;
        EXPECT_EQ(ReadFile(Path("clean.out")), text);
        EXPECT_EQ(Cli({command, in}).out, text);
    }
}

} // namespace
} // namespace zv::test
