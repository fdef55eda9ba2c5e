#include "engine/io/workspace.h"

#include "engine/io/file_io.h"
#include "engine/standard_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zv {
namespace {

// Sets an environment variable for one test and restores it afterwards.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~EnvScope() { old_.empty() ? ::unsetenv(name_) : ::setenv(name_, old_.c_str(), 1); }

private:
    const char* name_;
    std::string old_;
};

TEST(Workspace, EachRunHasAPrivateFolderAndTheNextRunRemovesThoseOfGoneRuns)
{
    const std::string base = MakeRunFolder();
    EnvScope tmpdir("TMPDIR", base.c_str());
    const std::string prefix = "zentavo-" + std::to_string(::getuid()) + "-";
    // A run that was killed: its process no longer exists.
    const pid_t gone = ::fork();
    if (gone == 0)
        std::_Exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string stale = base + "/" + prefix + std::to_string(gone) + "-abc123";
    const std::string running = base + "/" + prefix + std::to_string(::getppid()) + "-def456";
    for (const std::string& folder : {stale, running}) {
        std::filesystem::create_directories(folder + "/inner");
        std::filesystem::create_symlink(base, folder + "/link-out");
    }
    const std::string staleFile = base + "/" + prefix + std::to_string(gone) + "-file";
    std::fclose(std::fopen(staleFile.c_str(), "w"));

    // TEMP, when set, holds the run's own folder, never the files themselves.
    for (const char* temp : {base.c_str(), "C:", static_cast<const char*>(nullptr)}) {
        EnvScope scope("TEMP", temp);
        const std::string one = MakeRunFolder();
        const std::string two = MakeRunFolder();
        SCOPED_TRACE(one);
        EXPECT_NE(one, two);
        EXPECT_EQ(one.rfind(base + "/" + prefix + std::to_string(::getpid()) + "-", 0), 0u);
        struct stat st {};
        ASSERT_EQ(::lstat(one.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        RemoveRunFolder(one);
        RemoveRunFolder(two);
    }
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(running + "/inner"));
    EXPECT_TRUE(std::filesystem::exists(staleFile)); // only folders are runs
    EXPECT_TRUE(std::filesystem::exists(base));      // the link inside was not followed
    RemoveRunFolder(base);
}

TEST(Workspace, PathsAreBuiltFromScratchAndRunFoldersGoWhole)
{
    Workspace ws;
    InitWorkspacePaths(ws, "/w");
    InitWorkspacePaths(ws, "/w");
    EXPECT_EQ(ws.SourceStandardFile, "/w/_ZV_TMP_STANDATD_FILE_1.tmp");
    EXPECT_EQ(ws.HeaderFile, "/w/_ZV_TMP_STANDATD_FILE_1.tmpHEARDER");
    EXPECT_EQ(ws.WorkingCopy, "/w/_VZv1_0__TEMP_FILE.tmp");
    EXPECT_EQ(ws.BadEntersFile, "/w/_VZv1_0__TEMP2_FILE_BADENTERS.tmp");

    const std::string run = MakeRunFolder();
    std::filesystem::create_directories(run + "/a/b");
    RemoveRunFolder(run);
    EXPECT_FALSE(std::filesystem::exists(run));
}

// The workspace's files are replaced where they are, never written through a
// link someone put in their place.
TEST(Workspace, FilesAreNeverWrittenThroughALink)
{
    const std::string run = MakeRunFolder();
    Workspace ws;
    InitWorkspacePaths(ws, run);
    const std::string outside = run + "/outside";
    ASSERT_TRUE(AtomicWriteFile(outside, "keep"));
    ASSERT_TRUE(AtomicWriteFile(run + "/source", "content\n"));
    for (const std::string* path : {&ws.WorkingCopy, &ws.OutputStandardFile, &ws.HeaderFile})
        std::filesystem::create_symlink(outside, *path);

    EXPECT_TRUE(CopyFileOver(run + "/source", ws.WorkingCopy));
    OutputFile out;
    ASSERT_TRUE(out.Open(ws.OutputStandardFile));
    out.Write("written\n");
    EXPECT_TRUE(out.Close());
    EnsureFinalLineBreak(ws.HeaderFile);

    std::string text;
    ASSERT_TRUE(ReadWholeFile(outside, text));
    EXPECT_EQ(text, "keep");
    ASSERT_TRUE(ReadWholeFile(ws.WorkingCopy, text));
    EXPECT_EQ(text, "content\n");
    EXPECT_FALSE(std::filesystem::is_symlink(ws.OutputStandardFile));
    RemoveRunFolder(run);
}

} // namespace
} // namespace zv
