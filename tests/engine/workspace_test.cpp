#include "engine/workspace.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

TEST(Workspace, TempWhenLongEnoughElseAPrivateFolderNeverTheCurrentOne)
{
    const std::string base = MakeRunFolder();
    EnvScope tmpdir("TMPDIR", base.c_str());
    {
        EnvScope temp("TEMP", base.c_str());
        EXPECT_EQ(WorkspaceFolder(), base);
    }
    for (const char* shortTemp : {"C:", static_cast<const char*>(nullptr)}) {
        EnvScope temp("TEMP", shortTemp);
        const std::string folder = WorkspaceFolder();
        EXPECT_EQ(folder.rfind(base + "/", 0), 0u) << folder;
        struct stat st {};
        ASSERT_EQ(::stat(folder.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    // A folder of that name that others may enter is not used as it is.
    const std::string shared = base + "/zentavo-" + std::to_string(::getuid());
    ::chmod(shared.c_str(), 0777);
    EnvScope temp("TEMP", "");
    const std::string folder = WorkspaceFolder();
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
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

    const std::string run = MakeRunFolder();
    std::filesystem::create_directories(run + "/a/b");
    RemoveRunFolder(run);
    EXPECT_FALSE(std::filesystem::exists(run));
}

} // namespace
} // namespace zv
