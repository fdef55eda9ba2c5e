// The workspace: the StandardFiles every command passes along and the result
// files the document windows show.
#pragma once

#include <string>

namespace zv {

struct Workspace {
    std::string folder;
    std::string SourceStandardFile;
    std::string SecondStandardFile;
    std::string OutputStandardFile;
    std::string SecondOutputStandardFile;
    std::string HeaderFile;
    std::string WorkingCopy;
    std::string SecondWorkingCopy;
    // The user's files as read once (text in): the open file and Join's second.
    std::string SourceInput;
    std::string SecondSourceInput;
    // The line-end repair's text with its line ends mended, before it
    // replaces the working copy.
    std::string BadEntersFile;
    // Where a shown result waits while the open file is read again.
    std::string ShownResultAside;
};

// A fresh private folder (mode 0700, random name) for one run of a program,
// inside TEMP when it has 3 characters or more, else inside TMPDIR or /tmp;
// empty when it cannot be made (errno tells why). The workspace files have
// fixed names, so they never lie in a folder others can write to. Folders of
// earlier runs of this user whose process is gone are removed first.
std::string MakeRunFolder();
void RemoveRunFolder(const std::string& folder);

// Makes the folder again (mode 0700) when something removed it while the
// program runs; every command's files live there.
void RemakeWorkspaceFolder(const std::string& folder);

// Builds every path of the workspace inside folder.
void InitWorkspacePaths(Workspace& ws, const std::string& folder);
// Deletes every workspace file that may exist.
void DeleteWorkspaceFiles(const Workspace& ws);

// Where a workspace file (a result, the open file's copy) is written again in
// the style of the user's file on its way out.
std::string StyledCopyOf(const std::string& workspaceFile);

} // namespace zv
