#include "engine/io/workspace.h"

#include "engine/io/file_io.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace zv {

namespace {

std::string TempBase()
{
    if (const char* temp = std::getenv("TEMP"); temp && std::strlen(temp) >= 3) {
        std::string folder = temp;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    if (const char* t = std::getenv("TMPDIR"); t && *t)
        return t;
    return "/tmp";
}

std::string RunFolderPrefix()
{
    return "zentavo-" + std::to_string(::getuid()) + "-";
}

// A run killed without a chance to clean up (SIGKILL, a power cut) leaves its
// folder behind; the next run of the same user removes it once the process
// that made it is gone.
void RemoveStaleRunFolders(const std::string& base)
{
    DIR* dir = ::opendir(base.c_str());
    if (!dir)
        return;
    const std::string prefix = RunFolderPrefix();
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid <= 0 || pid == ::getpid() || *end != '-')
            continue;
        // EPERM: the process exists, it only belongs to someone else.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = base + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid())
            stale.push_back(path);
    }
    ::closedir(dir);
    for (const std::string& path : stale)
        RemoveRunFolder(path);
}

} // namespace

std::string MakeRunFolder()
{
    const std::string base = TempBase();
    RemoveStaleRunFolders(base);
    std::string pattern = base + "/" + RunFolderPrefix() + std::to_string(::getpid()) + "-XXXXXX";
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
    ws.BadEntersFile = folder + "/_VZv1_0__TEMP2_FILE_BADENTERS.tmp";
    ws.ShownResultAside = ws.WorkingCopy + ".shown";
}

void DeleteWorkspaceFiles(const Workspace& ws)
{
    for (const std::string* p : {&ws.SourceStandardFile, &ws.SecondStandardFile, &ws.OutputStandardFile,
                                 &ws.SecondOutputStandardFile, &ws.HeaderFile, &ws.WorkingCopy,
                                 &ws.SecondWorkingCopy, &ws.SourceInput, &ws.SecondSourceInput, &ws.BadEntersFile,
                                 &ws.ShownResultAside})
        RemoveFile(*p);
    RemoveFile(StyledCopyOf(ws.WorkingCopy));
    RemoveFile(StyledCopyOf(ws.SecondWorkingCopy));
}

std::string StyledCopyOf(const std::string& workspaceFile)
{
    return workspaceFile + ".styled";
}

} // namespace zv
