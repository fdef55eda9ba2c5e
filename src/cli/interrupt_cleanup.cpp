#include "cli/interrupt_cleanup.h"

#include <unistd.h>

#include <csignal>
#include <cstring>

namespace zv::cli {

namespace {

constexpr int kMaxPaths = 32;
constexpr std::size_t kMaxPath = 4096;

char paths[kMaxPaths][kMaxPath];
char folder[kMaxPath];
// Entries below this count are complete; the handler reads no further.
volatile std::sig_atomic_t pathCount = 0;
volatile std::sig_atomic_t haveFolder = 0;

bool Store(char* slot, const std::string& path)
{
    if (path.empty() || path.size() >= kMaxPath)
        return false;
    std::memcpy(slot, path.c_str(), path.size() + 1);
    return true;
}

extern "C" void OnInterrupt(int signal)
{
    for (std::sig_atomic_t i = 0; i < pathCount; ++i)
        ::unlink(paths[i]);
    if (haveFolder)
        ::rmdir(folder);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

void InstallInterruptCleanup()
{
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        std::signal(s, OnInterrupt);
}

void RemoveOnInterrupt(const std::string& path)
{
    if (pathCount < kMaxPaths && Store(paths[pathCount], path))
        pathCount = pathCount + 1;
}

void RemoveFolderOnInterrupt(const std::string& path)
{
    if (Store(folder, path))
        haveFolder = 1;
}

} // namespace zv::cli
