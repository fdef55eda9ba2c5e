#include "engine/io/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace zv {

namespace {

constexpr std::size_t kBlock = 1 << 16;
// Reads and writes of the line reader and the output file go in blocks this
// large: few system calls, and still a small, fixed amount of memory.
constexpr std::size_t kIoBlock = 1 << 18;
constexpr std::size_t kSmallBlock = 1 << 12;

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

// Copies what is left of in into out: by the kernel where it can, block by
// block where it cannot (a device, a stream, an appending file).
bool CopyInto(int in, int out)
{
    for (;;) {
        const ssize_t done = ::copy_file_range(in, nullptr, out, nullptr, kIoBlock, 0);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0 && errno == ENOSPC)
            return false;
        if (done <= 0)
            break;
    }
    char block[kBlock];
    for (;;) {
        const ssize_t got = ::read(in, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!WriteAll(out, block, static_cast<std::size_t>(got)))
            return false;
    }
}

} // namespace

bool LineReader::Open(const std::string& path)
{
    Close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    pos_ = end_ = 0;
    eof_ = false;
    consumed_ = 0;
    return fd_ >= 0;
}

void LineReader::Close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::uint64_t LineReader::Size() const
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size < 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

bool LineReader::Fill()
{
    if (eof_ || fd_ < 0)
        return false;
    if (pos_ > 0) {
        // Only the unfinished line moves to the front.
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    // A small file gets a buffer of its own size: the many short files of a
    // command (and of a fuzzer's runs) are not worth a large zeroed block.
    struct stat st {};
    const bool regular = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0;
    const std::size_t wanted =
        regular ? static_cast<std::size_t>(std::clamp<std::uint64_t>(static_cast<std::uint64_t>(st.st_size) + 1,
                                                                     kSmallBlock, kIoBlock))
                : kIoBlock;
    if (buffer_.size() < wanted)
        buffer_.resize(wanted);
    else if (end_ == buffer_.size())
        buffer_.resize(buffer_.size() * 2); // one line longer than the buffer
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            eof_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(got);
        return true;
    }
}

bool LineReader::Next(std::string_view& line)
{
    if (fd_ < 0)
        return false;
    std::size_t searchFrom = pos_;
    for (;;) {
        const void* lf = std::memchr(buffer_.data() + searchFrom, '\n', end_ - searchFrom);
        if (lf) {
            const std::size_t next = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data()) + 1;
            line = std::string_view(buffer_.data() + pos_, next - pos_);
            consumed_ += line.size();
            pos_ = next;
            return true;
        }
        const std::size_t scanned = end_ - pos_;
        if (!Fill())
            return false; // an unfinished last line is not a line
        searchFrom = pos_ + scanned;
    }
}

bool LineReader::Unfinished(std::string_view& line)
{
    if (fd_ < 0 || !eof_ || pos_ == end_)
        return false;
    line = std::string_view(buffer_.data() + pos_, end_ - pos_);
    consumed_ += line.size();
    pos_ = end_;
    return true;
}

bool LineReader::Next(std::string& line)
{
    std::string_view view;
    if (!Next(view))
        return false;
    line.assign(view);
    return true;
}

bool OutputFile::Open(const std::string& path, Mode mode)
{
    Close();
    failed_ = false;
    error_ = 0;
    pending_.clear();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (mode == Mode::Create ? O_TRUNC : O_APPEND);
    fd_ = ::open(path.c_str(), flags, 0666);
    if (fd_ < 0 && errno == ELOOP && mode == Mode::Create) {
        // A link in the workspace is replaced, never written through.
        ::unlink(path.c_str());
        fd_ = ::open(path.c_str(), flags | O_EXCL, 0666);
    }
    if (fd_ < 0)
        error_ = errno;
    return fd_ >= 0;
}

void OutputFile::WriteThrough(std::string_view text)
{
    if (!failed_ && !WriteAll(fd_, text.data(), text.size())) {
        failed_ = true;
        error_ = errno;
    }
}

void OutputFile::Write(std::string_view text)
{
    if (fd_ < 0 || text.empty())
        return;
    // A block the caller gathered itself is not copied once more.
    const bool large = text.size() >= kBlock;
    if (large || pending_.size() + text.size() > kIoBlock) {
        WriteThrough(pending_);
        pending_.clear();
    }
    if (large) {
        WriteThrough(text);
        return;
    }
    if (pending_.capacity() < kIoBlock)
        pending_.reserve(kIoBlock);
    pending_ += text;
}

bool OutputFile::Close()
{
    if (fd_ < 0)
        return !failed_;
    WriteThrough(pending_);
    pending_.clear();
    if (::close(fd_) != 0 && !failed_) {
        failed_ = true;
        error_ = errno;
    }
    fd_ = -1;
    return !failed_;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsStreamOrDevice(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

std::int64_t FileSize(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_size);
}

bool ReadWholeFile(const std::string& path, std::string& contents)
{
    contents.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char block[kBlock];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0)
        contents.append(block, got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool CopyFileOver(const std::string& source, const std::string& target)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (out < 0 && (errno == EACCES || errno == ELOOP)) {
        // A read-only file (or a link) in the workspace is replaced all the same.
        ::unlink(target.c_str());
        out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    }
    if (out < 0) {
        const int error = errno;
        ::close(in);
        errno = error;
        return false;
    }
    bool ok = CopyInto(in, out);
    int error = errno;
    ::close(in);
    if (::close(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    errno = error;
    return ok;
}

void RemoveFile(const std::string& path)
{
    if (!path.empty())
        ::unlink(path.c_str());
}

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPartOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

namespace {

// The descriptor a path names when it is one of this process's own streams
// (/dev/stdout, /dev/fd/N, /proc/self/fd/N); -1 otherwise. Such a stream is
// the caller's open file, written where it stands.
int StreamNumber(const std::string& path)
{
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    const std::string own = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"), own}) {
        if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
            continue;
        int n = 0;
        for (std::size_t i = prefix.size(); i < path.size(); ++i) {
            if (path[i] < '0' || path[i] > '9' || n > 100'000)
                return -1;
            n = n * 10 + (path[i] - '0');
        }
        return n;
    }
    return -1;
}

constexpr char kNameDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kNameBase = sizeof kNameDigits - 1;
// A temporary's name is ".zv-", five characters that spell the writing
// process's id, three random ones and ".tmp": short whatever the target's
// name (a name near the file system's limit must still leave room), and a
// later run can tell whether its writer is gone.
constexpr std::size_t kPidCharacters = 5;
constexpr std::size_t kRandomCharacters = 3;
constexpr std::string_view kTemporaryStart = ".zv-";
constexpr std::string_view kTemporaryEnd = ".tmp";

std::string TemporaryName(const std::string& folder)
{
    static thread_local std::mt19937 generator(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
    std::string name = folder + "/" + TemporaryPrefix(::getpid());
    for (std::size_t i = 0; i < kRandomCharacters; ++i)
        name += kNameDigits[generator() % kNameBase];
    return name + std::string(kTemporaryEnd);
}

// The process that wrote a temporary of this name, 0 when it is no such name.
long WriterOfTemporary(std::string_view name)
{
    if (name.size() != kTemporaryStart.size() + kPidCharacters + kRandomCharacters + kTemporaryEnd.size() ||
        !name.starts_with(kTemporaryStart) || !name.ends_with(kTemporaryEnd))
        return 0;
    long pid = 0;
    for (std::size_t i = 0; i < kPidCharacters + kRandomCharacters; ++i) {
        const char c = name[kTemporaryStart.size() + i];
        const char* digit = c == '\0' ? nullptr : std::strchr(kNameDigits, c);
        if (!digit)
            return 0;
        if (i < kPidCharacters)
            pid = pid * static_cast<long>(kNameBase) + (digit - kNameDigits);
    }
    return pid;
}

// A run killed before it could clean up (SIGKILL, a power cut) leaves its
// temporary beside the target; the next write there removes it once the
// process that wrote it is gone. A live writer's file is never touched, nor a
// name of any other shape.
void RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = WriterOfTemporary(entry->d_name);
        if (pid <= 0 || pid == ::getpid())
            continue;
        // EPERM: the process exists, it only belongs to someone else.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            (st.st_uid == ::geteuid() || ::geteuid() == 0))
            stale.push_back(path);
    }
    ::closedir(dir);
    for (const std::string& path : stale)
        ::unlink(path.c_str());
}

// Follows target's links, dangling ones too, to the name the content goes
// to; exists tells whether something is there (st describes it). False, with
// errno, when a link cannot be read or the chain does not end.
bool FollowLinks(const std::string& target, std::string& path, struct stat& st, bool& exists)
{
    path = target;
    exists = false;
    for (int hop = 0;; ++hop) {
        if (StreamNumber(path) >= 0)
            return true; // the caller's own stream, written where it stands
        if (::lstat(path.c_str(), &st) != 0)
            return errno == ENOENT; // a new file
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return true;
        }
        if (hop == 40) {
            errno = ELOOP;
            return false;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t size = ::readlink(path.c_str(), link.data(), link.size());
        if (size < 0)
            return false;
        link.resize(static_cast<std::size_t>(size));
        path = link.starts_with('/') ? link : FolderPartOf(path) + "/" + link;
    }
}

} // namespace

bool FileReplacement::Prepare(const std::string& target)
{
    Discard();
    std::string path;
    struct stat st {};
    bool exists = false;
    if (!FollowLinks(target, path, st, exists))
        return false;
    if (const int stream = StreamNumber(path); stream >= 0) {
        stream_ = stream;
        path_ = path;
        return true;
    }
    path_ = path;
    if (exists && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        direct_ = true;
        return true;
    }
    // The new content is never readable by more people than the old: the
    // temporary is its owner's alone, and has the file's owner, before a byte
    // is written. It stays open for writing, so the user's own read-only file
    // is replaced too; the file's mode comes once the content is in.
    const std::string folder = FolderPartOf(path);
    RemoveStaleTemporaries(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryName(folder);
        // Told before the file exists, so an interrupt at any moment can remove it.
        if (notice_)
            notice_(name);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, exists ? 0600 : 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        temporary_ = std::move(name);
        fd_ = fd;
        if (exists) {
            if (::fchown(fd, st.st_uid, st.st_gid) != 0)
                (void)!::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
            mode_ = st.st_mode & 07777;
        }
        return true;
    }
    errno = EEXIST;
    return false;
}

bool FileReplacement::Finish()
{
    // The file's mode once the content is in (a write by its owner would
    // clear a set-user-ID bit given before), and the content on the disk
    // before the rename makes it the file.
    bool ok = (mode_ == kNoMode || ::fchmod(fd_, mode_) == 0) && ::fsync(fd_) == 0;
    int error = errno;
    if (::close(fd_) != 0 && ok) {
        ok = false;
        error = errno;
    }
    fd_ = -1;
    if (!ok) {
        Discard();
        errno = error;
        return false;
    }
    staged_ = true;
    return true;
}

bool FileReplacement::StageText(const std::string& target, std::string_view text)
{
    if (!Prepare(target))
        return false;
    if (stream_ >= 0 || direct_) {
        text_.assign(text);
        fromText_ = true;
        staged_ = true;
        return true;
    }
    if (!WriteAll(fd_, text.data(), text.size())) {
        const int error = errno;
        Discard();
        errno = error;
        return false;
    }
    return Finish();
}

bool FileReplacement::StageFile(const std::string& target, const std::string& source)
{
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    if (!Prepare(target)) {
        const int error = errno;
        ::close(in);
        errno = error;
        return false;
    }
    if (stream_ >= 0 || direct_) {
        ::close(in);
        source_ = source;
        staged_ = true;
        return true;
    }
    if (!CopyInto(in, fd_)) {
        const int error = errno;
        ::close(in);
        Discard();
        errno = error;
        return false;
    }
    ::close(in);
    return Finish();
}

bool FileReplacement::WriteDirect()
{
    const int out = stream_ >= 0 ? stream_ : ::open(path_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (out < 0)
        return false;
    bool ok = true;
    if (fromText_) {
        ok = WriteAll(out, text_.data(), text_.size());
    } else {
        const int in = ::open(source_.c_str(), O_RDONLY | O_CLOEXEC);
        ok = in >= 0 && CopyInto(in, out);
        const int error = errno;
        if (in >= 0)
            ::close(in);
        errno = error;
    }
    int error = errno;
    if (out != stream_ && ::close(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    errno = error;
    return ok;
}

bool FileReplacement::Commit()
{
    if (!staged_) {
        errno = EINVAL;
        return false;
    }
    staged_ = false;
    if (stream_ >= 0 || direct_) {
        const bool ok = WriteDirect();
        const int error = errno;
        Discard();
        errno = error;
        return ok;
    }
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        Discard();
        errno = error;
        return false;
    }
    temporary_.clear();
    // The rename itself is kept on the disk too.
    const int folder = ::open(FolderPartOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    Discard();
    return true;
}

void FileReplacement::Discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    mode_ = kNoMode;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    path_.clear();
    stream_ = -1;
    direct_ = false;
    source_.clear();
    text_.clear();
    fromText_ = false;
    staged_ = false;
}

bool ReplaceFile(const std::string& target, const std::string& source)
{
    FileReplacement replacement;
    return replacement.StageFile(target, source) && replacement.Commit();
}

bool AtomicWriteFile(const std::string& target, std::string_view contents)
{
    FileReplacement replacement;
    return replacement.StageText(target, contents) && replacement.Commit();
}

std::string TemporaryPrefix(long pid)
{
    std::string digits(kPidCharacters, kNameDigits[0]);
    for (std::size_t i = kPidCharacters; i-- > 0 && pid > 0; pid /= static_cast<long>(kNameBase))
        digits[i] = kNameDigits[pid % static_cast<long>(kNameBase)];
    return std::string(kTemporaryStart) + digits;
}

bool SameFile(const std::string& a, const std::string& b)
{
    // One path however spelled ("x", "./x", "sub/../x"), even when it cannot be reached.
    std::error_code ec;
    const auto na = std::filesystem::absolute(a, ec).lexically_normal();
    const auto nb = std::filesystem::absolute(b, ec).lexically_normal();
    if (!ec && na == nb)
        return true;
    struct stat sa {}, sb {};
    const bool haveA = ::stat(a.c_str(), &sa) == 0;
    const bool haveB = ::stat(b.c_str(), &sb) == 0;
    if (haveA || haveB)
        return haveA && haveB && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // Neither exists yet. A link to a file not yet made is written through
    // like any other: compare where the links lead.
    std::string ta, tb;
    bool existsA = false, existsB = false;
    if (FollowLinks(a, ta, sa, existsA) && FollowLinks(b, tb, sb, existsB) && (ta != a || tb != b))
        return SameFile(ta, tb);
    // The same name in the same folder.
    return FileNameOf(a) == FileNameOf(b) && SameFile(FolderPartOf(a), FolderPartOf(b));
}

} // namespace zv
