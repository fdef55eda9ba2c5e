#include "engine/io/file_io.h"
#include "engine/standard_file.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <string_view>

namespace zv::test {
namespace {

using FileIoTest = EngineTest;

TEST_F(FileIoTest, LinesLongerThanTheReadBlockComeWholeAndInOrder)
{
    // Longer than the reader's block, so the line has to grow the buffer
    // across several reads, with short lines on both sides of it.
    const std::string huge(700'000, 'h');
    const auto path = WriteFile("lines", "a\r\n" + huge + "\n" + "b\r\n" + std::string(300'000, 'c') + "\nd");
    LineReader reader(path);
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "a\r\n");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, huge + "\n");
    std::string copy;
    ASSERT_TRUE(reader.Next(copy));
    EXPECT_EQ(copy, "b\r\n");
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, std::string(300'000, 'c') + "\n");
    EXPECT_FALSE(reader.Next(line)); // "d" has no line feed
    EXPECT_EQ(reader.BytesRead(), 3 + huge.size() + 1 + 3 + 300'001);
    EXPECT_EQ(reader.Size(), reader.BytesRead() + 1);

    // Lines are counted from 0; past the end reads as empty.
    std::string at;
    ASSERT_TRUE(ReadLineAt(*ctx, 2, path, at));
    EXPECT_EQ(at, "b\r\n");
    ASSERT_TRUE(ReadLineAt(*ctx, 7, path, at));
    EXPECT_EQ(at, "");
}

TEST_F(FileIoTest, SmallAndLargeWritesKeepTheirOrder)
{
    std::string expected;
    OutputFile out;
    ASSERT_TRUE(out.Open(Path("out")));
    for (int i = 0; i < 3000; ++i) {
        // Small pieces are gathered; every 500th piece is large enough to go
        // straight through and must not overtake what is gathered.
        const std::string piece = i % 500 == 0 ? std::string(100'000, static_cast<char>('A' + i / 500))
                                               : std::to_string(i) + "\r\n";
        out.Write(piece);
        expected += piece;
    }
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(ReadFile(Path("out")), expected);

    ASSERT_TRUE(out.Open(Path("out"), OutputFile::Mode::Append));
    out.Write("tail");
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(ReadFile(Path("out")), expected + "tail");

    EXPECT_FALSE(out.Open(Path("no/such/folder/out")));
    out.Write("lost");
    EXPECT_TRUE(out.Close()); // nothing was open, nothing failed
}

TEST_F(FileIoTest, CopyReplacesALongerReadOnlyTarget)
{
    std::string contents;
    for (int i = 0; i < 40'000; ++i)
        contents += "line " + std::to_string(i) + "\r\n";
    const auto source = WriteFile("source", contents);
    const auto target = WriteFile("target", contents + contents);
    ::chmod(target.c_str(), 0444);
    ASSERT_TRUE(CopyFileOver(source, target));
    EXPECT_EQ(ReadFile(target), contents);
    EXPECT_FALSE(CopyFileOver(Path("missing"), target));
    EXPECT_EQ(ReadFile(target), contents);
}

// What a save or an output does to the file it replaces.
TEST_F(FileIoTest, AReplacementFollowsLinksKeepsModeAndOwnerAndNeverReplacesADevice)
{
    const auto source = WriteFile("source", "new content\r\n");

    // A link stays a link; the file it names gets the content.
    const auto file = WriteFile("real.srt", "old");
    ::symlink("real.srt", Path("link.srt").c_str());
    ::symlink(Path("link.srt").c_str(), Path("link2.srt").c_str());
    ASSERT_TRUE(ReplaceFile(Path("link2.srt"), source));
    struct stat st {};
    ASSERT_EQ(::lstat(Path("link.srt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(file), "new content\r\n");

    // The temporary has the target's mode (and owner) before the content is
    // in it, and its short name works beside a name at the system's limit.
    const auto secret = WriteFile(std::string(250, 's'), "old");
    ::chmod(secret.c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(secret.c_str(), 65534, 65534), 0);
    }
    {
        FileReplacement replacement;
        ASSERT_TRUE(replacement.StageText(secret, "private")) << std::strerror(errno);
        ASSERT_EQ(::stat(replacement.temporary().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(ReadFile(secret), "old"); // nothing happens before Commit
        ASSERT_TRUE(replacement.Commit());
    }
    ASSERT_EQ(::stat(secret.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
    EXPECT_EQ(ReadFile(secret), "private");
    {
        FileReplacement dropped;
        ASSERT_TRUE(dropped.StageFile(secret, source));
    } // never committed: the temporary goes, the file stays
    EXPECT_EQ(ReadFile(secret), "private");

    // A FIFO is written into, and stays a FIFO.
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    std::string fromFifo;
    std::thread reader([&] { fromFifo = ReadFile(Path("fifo")); });
    EXPECT_TRUE(ReplaceFile(Path("fifo"), source));
    reader.join();
    EXPECT_EQ(fromFifo, "new content\r\n");
    ASSERT_EQ(::lstat(Path("fifo").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // Devices are written into, with the system's reason when that fails.
    EXPECT_TRUE(ReplaceFile("/dev/null", source));
    ASSERT_EQ(::lstat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    errno = 0;
    EXPECT_FALSE(ReplaceFile("/dev/full", source));
    EXPECT_EQ(errno, ENOSPC);
    ::mkdir(Path("folder").c_str(), 0700);
    EXPECT_FALSE(ReplaceFile(Path("folder"), source));
    EXPECT_EQ(errno, EISDIR);

    // Nothing is left beside the targets.
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".zv-")) << entry.path();
}

// A write that runs out of room says why in the system's words, not that a
// file cannot be opened. A file size limit stands in for a full disk.
TEST_F(FileIoTest, AWriterThatRunsOutOfRoomGivesTheSystemsReason)
{
    auto handler = Load(SubtitleFormat::MicroDvd, "{1}{2}a\r\n");
    std::string records;
    for (int i = 0; i < 2000; ++i)
        records += Rec(i * 10, i * 10 + 5, "a subtitle long enough to fill the limit");
    const std::string input = WriteFile("records.std", records);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool done = handler->WriteSubtitleFile(input, Path("written"), 0, 0, 0, WriteOptions{}).done;
        std::_Exit(!done && Messages() == "T44: T53\n\n" + std::string(std::strerror(EFBIG)) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(FileIoTest, SameFileComparesFilesNotSpellings)
{
    WriteFile("s1", "x");
    ::symlink("s1", Path("link").c_str());
    ::link(Path("s1").c_str(), Path("hard").c_str());
    const std::string here = dir + "/./";
    EXPECT_TRUE(SameFile(Path("s1"), here + "s1"));
    EXPECT_TRUE(SameFile(Path("s1"), Path("link")));
    EXPECT_TRUE(SameFile(Path("s1"), Path("hard")));
    EXPECT_TRUE(SameFile(Path("new"), here + "new")); // neither exists yet
    EXPECT_FALSE(SameFile(Path("s1"), Path("new")));
    EXPECT_FALSE(SameFile(Path("new"), Path("other")));
    // A link to a file not made yet is written through: one file with it.
    ::symlink("new", Path("to-new").c_str());
    ::symlink("other", Path("to-other").c_str());
    EXPECT_TRUE(SameFile(Path("new"), Path("to-new")));
    EXPECT_TRUE(SameFile(Path("to-new"), here + "new"));
    EXPECT_FALSE(SameFile(Path("to-new"), Path("to-other")));
}

// The user's own read-only file is replaced, and stays read-only. Root is let
// past permissions, so a root run gives up that power for the test.
TEST_F(FileIoTest, TheUsersOwnReadOnlyFileIsReplacedAndKeepsItsMode)
{
    const std::string target = WriteFile("mine.srt", "old");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[2] {};
        if (::syscall(SYS_capget, &header, caps) == 0) {
            for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
                caps[0].effective &= ~(1u << cap);
            ::syscall(SYS_capset, &header, caps);
        }
        // Without the power, the file cannot be opened for writing.
        if (::open(target.c_str(), O_WRONLY) >= 0)
            std::_Exit(2);
        std::_Exit(AtomicWriteFile(target, "new") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

// A temporary left by a run that was killed goes at the next write beside it;
// one of a live process stays, and so does any other name.
TEST_F(FileIoTest, TemporariesOfGoneWritersAreRemovedByTheNextWrite)
{
    const pid_t gone = ::fork();
    if (gone == 0)
        std::_Exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string stale = WriteFile(TemporaryPrefix(gone) + "abc.tmp", "half");
    const std::string live = WriteFile(TemporaryPrefix(::getppid()) + "abc.tmp", "busy");
    const std::string other = WriteFile(".zv-mine.tmp", "the user's");
    ASSERT_TRUE(AtomicWriteFile(Path("target.srt"), "new"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_EQ(ReadFile(live), "busy");
    EXPECT_EQ(ReadFile(other), "the user's");
    EXPECT_EQ(ReadFile(Path("target.srt")), "new");
}

TEST(StandardNumbers, SevenDigitFieldsTheClockAndValuesBeyondTheField)
{
    EXPECT_EQ(WriteStandardNumber(123), "0000123|");
    // No sound pass writes these, but a value is never cut or wrapped.
    EXPECT_EQ(WriteStandardNumber(-5), "-000005|");
    // A millisecond time past seven digits takes nine, and reads back.
    EXPECT_EQ(FormatRecord(10'000'000, 42, "x\r\n"), "010000000|0000042|x\r\n");
    EXPECT_EQ(ParseRecordLine("010000000|359999999|x\r\n").end, 359'999'999);
    EXPECT_EQ(ParseRecordLine("0000001|359999999|x|y\r\n").text, "x|y\r\n");
    EXPECT_EQ(FormatRecord(1'000'000'000, 42, "x\r\n"), "1000000000|0000042|x\r\n");

    long h, m, s;
    EXPECT_EQ(HmsFromTenths(37'234, h, m, s), 4);
    EXPECT_EQ(h * 10000 + m * 100 + s, 10203);
    HmsFromTenths(3'600'000, h, m, s);
    EXPECT_EQ(h, 100); // hours have no upper bound
    EXPECT_EQ(TenthsFromHms(1, 2, 3), 37'230);

    RecordFields f = ParseRecordLine("0000125|0000213|Hello|World\r\n");
    EXPECT_EQ(f.start, 125);
    EXPECT_EQ(f.end, 213);
    EXPECT_EQ(f.text, "Hello|World\r\n");
    EXPECT_EQ(ParseRecordLine("").text, "");
    // Fields that are not seven plain digits are read like atol reads them.
    f = ParseRecordLine("  00012|-000005|t\r\n");
    EXPECT_EQ(f.start, 12);
    EXPECT_EQ(f.end, -5);
}

TEST_F(FileIoTest, StandardFilesLoadAndGetTheirFinalLineBreak)
{
    StandardRecordList list;
    const auto path = WriteFile("s.tmp", "0000010|0000020|Hi\r\n\r\n0000030|0000000|A|B\r\n");
    ASSERT_EQ(LoadStandardRecords(*ctx, list, path), 2); // the short line is skipped
    EXPECT_EQ(list[0]->start, 10);
    EXPECT_EQ(list[0]->end, 20);
    EXPECT_EQ(list[0]->text, "Hi");
    EXPECT_EQ(list[1]->text, "A|B");
    EXPECT_EQ(LoadStandardRecords(*ctx, list, Path("missing")), -1);
    EXPECT_EQ(Captions(), "T44");

    // Only a missing line break is added.
    const auto a = WriteFile("a", "x\r\ny");
    const auto b = WriteFile("b", "x\n");
    EnsureFinalLineBreak(a);
    EnsureFinalLineBreak(b);
    EXPECT_EQ(ReadFile(a), "x\r\ny\r\n");
    EXPECT_EQ(ReadFile(b), "x\n");
}

} // namespace
} // namespace zv::test
