// An interrupted run (Ctrl+C, a closed terminal, kill) still removes its
// workspace and any half-made output beside the user's file.
#pragma once

#include <string>

namespace zv::cli {

// Handles SIGINT, SIGTERM and SIGHUP: the files named so far are removed,
// then everything in the run folder and the folder itself, then the signal
// ends the process as it would have.
void InstallInterruptCleanup();
// A file to remove on an interrupt, named before it is created (only
// async-signal-safe calls happen then, so the paths are kept in a fixed
// table; a path that does not fit is left).
void RemoveOnInterrupt(const std::string& path);
// The run folder, emptied whatever its files are called, then removed.
void RemoveFolderOnInterrupt(const std::string& folder);

} // namespace zv::cli
