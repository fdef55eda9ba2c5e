#include "engine/workspace.h"

#include "engine/file_io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace zv {

namespace {

// A folder is private when it is a real folder (no symlink) owned by this user
// and nobody else may enter it.
bool IsPrivateFolder(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (st.st_uid != ::getuid())
        return false;
    if ((st.st_mode & 077) != 0)
        return ::chmod(path.c_str(), 0700) == 0;
    return true;
}

std::string TempBase()
{
    if (const char* t = std::getenv("TMPDIR"); t && *t)
        return t;
    return "/tmp";
}

} // namespace

std::string WorkspaceFolder()
{
    if (const char* temp = std::getenv("TEMP"); temp && std::strlen(temp) >= 3) {
        std::string folder = temp;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    const std::string folder = TempBase() + "/zentavo-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    if (IsPrivateFolder(folder))
        return folder;
    // Someone else holds that name: take a folder of our own.
    return MakeRunFolder();
}

std::string MakeRunFolder()
{
    std::string pattern = TempBase() + "/zentavo-run-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    return pattern;
}

void RemoveRunFolder(const std::string& folder)
{
    if (folder.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void RemakeWorkspaceFolder(const std::string& folder)
{
    struct stat st {};
    if (!folder.empty() && ::lstat(folder.c_str(), &st) != 0 && errno == ENOENT)
        ::mkdir(folder.c_str(), 0700);
}

void InitWorkspacePaths(Workspace& ws, const std::string& folder)
{
    ws.folder = folder;
    ws.SourceStandardFile = folder + "/_ZV_TMP_STANDATD_FILE_1.tmp";
    ws.SecondStandardFile = folder + "/_ZV_TMP_STANDATD_FILE_2.tmp";
    ws.OutputStandardFile = folder + "/_ZV_TMP_STANDATD_OUTPUT_FILE_1.tmp";
    ws.SecondOutputStandardFile = folder + "/_ZV_TMP_STANDATD_OUTPUT_FILE_2.tmp";
    ws.HeaderFile = ws.SourceStandardFile + "HEARDER";
    ws.WorkingCopy = folder + "/_VZv1_0__TEMP_FILE.tmp";
    ws.SecondWorkingCopy = folder + "/_VZv1_0__TEMP2_FILE.tmp";
    ws.SourceInput = folder + "/_ZV_INPUT_1.tmp";
    ws.SecondSourceInput = folder + "/_ZV_INPUT_2.tmp";
}

void DeleteWorkspaceFiles(const Workspace& ws)
{
    for (const std::string* p : {&ws.SourceStandardFile, &ws.SecondStandardFile, &ws.OutputStandardFile,
                                 &ws.SecondOutputStandardFile, &ws.HeaderFile, &ws.WorkingCopy,
                                 &ws.SecondWorkingCopy, &ws.SourceInput, &ws.SecondSourceInput})
        RemoveFile(*p);
    // A result written in the open file's style on its way to the user's file.
    RemoveFile(ws.WorkingCopy + ".styled");
    RemoveFile(ws.SecondWorkingCopy + ".styled");
}

} // namespace zv
