#include "cli/interrupt_cleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstring>

namespace zv::cli {

namespace {

constexpr int kMaxPaths = 64;
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

// The kernel's folder entry as getdents64 hands it out.
struct FolderEntry {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

// Removes every entry of the folder by reading it with the system call
// itself: opendir and readdir may allocate, which a signal handler must not.
// A folder read while its entries go may skip some, so it is read again
// until a pass finds nothing.
void EmptyFolder(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    alignas(8) static char buffer[8192];
    for (int pass = 0; pass < 16; ++pass) {
        bool found = false;
        ::lseek(fd, 0, SEEK_SET);
        for (;;) {
            const long got = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
            if (got <= 0)
                break;
            for (long at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const FolderEntry*>(buffer + at);
                at += entry->length;
                const char* name = entry->name;
                if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                    continue;
                found = true;
                if (::unlinkat(fd, name, 0) != 0)
                    ::unlinkat(fd, name, AT_REMOVEDIR);
            }
        }
        if (!found)
            break;
    }
    ::close(fd);
}

extern "C" void OnInterrupt(int signal)
{
    for (std::sig_atomic_t i = 0; i < pathCount; ++i)
        ::unlink(paths[i]);
    if (haveFolder) {
        EmptyFolder(folder);
        ::rmdir(folder);
    }
    std::signal(signal, SIG_DFL);
    ::sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, signal);
    ::sigprocmask(SIG_UNBLOCK, &mask, nullptr);
    std::raise(signal);
}

} // namespace

void InstallInterruptCleanup()
{
    // One clean-up at a time: the others wait while it runs.
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, s);
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(s, &action, nullptr);
}

void RemoveOnInterrupt(const std::string& path)
{
    for (std::sig_atomic_t i = 0; i < pathCount; ++i)
        if (path == paths[i])
            return;
    if (pathCount < kMaxPaths && Store(paths[pathCount], path))
        pathCount = pathCount + 1;
}

void RemoveFolderOnInterrupt(const std::string& path)
{
    if (Store(folder, path))
        haveFolder = 1;
}

} // namespace zv::cli
