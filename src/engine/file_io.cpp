#include "engine/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace zv {

namespace {

constexpr std::size_t kBlock = 1 << 16;
// Reads and writes of the line reader and the output file go in blocks this
// large: few system calls, and still a small, fixed amount of memory.
constexpr std::size_t kIoBlock = 1 << 18;

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
    if (buffer_.size() < kIoBlock)
        buffer_.resize(kIoBlock);
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
    pending_.clear();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (mode == Mode::Create ? O_TRUNC : O_APPEND);
    fd_ = ::open(path.c_str(), flags, 0666);
    return fd_ >= 0;
}

void OutputFile::WriteThrough(std::string_view text)
{
    if (!failed_ && !WriteAll(fd_, text.data(), text.size()))
        failed_ = true;
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
    if (::close(fd_) != 0)
        failed_ = true;
    fd_ = -1;
    return !failed_;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
    // A read-only target is replaced all the same.
    ::chmod(target.c_str(), S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        ::close(in);
        return false;
    }
    // A regular file is copied by the kernel, without passing every byte
    // through this program; what that does not manage goes block by block.
    struct stat st {};
    if (::fstat(in, &st) == 0 && S_ISREG(st.st_mode)) {
        for (off_t left = st.st_size; left > 0;) {
            const ssize_t done = ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(left), 0);
            if (done <= 0)
                break;
            left -= done;
        }
    }
    bool ok = true;
    char block[kBlock];
    for (;;) {
        const ssize_t got = ::read(in, block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ok = false;
        if (got <= 0)
            break;
        if (!WriteAll(out, block, static_cast<std::size_t>(got))) {
            ok = false;
            break;
        }
    }
    ::close(in);
    if (::close(out) != 0)
        ok = false;
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

std::string TemporaryBeside(const std::string& target)
{
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    const unsigned salt = rd() ^ (static_cast<unsigned>(::getpid()) << 8) ^ counter++;
    const auto slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    char name[64];
    std::snprintf(name, sizeof name, ".%x-%x.zv-part", static_cast<unsigned>(::getpid()), salt);
    return folder + "." + FileNameOf(target) + name;
}

bool CommitTemporary(const std::string& temporary, const std::string& target)
{
    struct stat st {};
    const bool existed = ::stat(target.c_str(), &st) == 0;
    int fd = ::open(temporary.c_str(), O_RDONLY);
    if (fd < 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    if (existed)
        ::chmod(target.c_str(), st.st_mode & 07777);
    return true;
}

bool AtomicWriteFile(const std::string& target, std::string_view contents)
{
    const std::string temporary = TemporaryBeside(target);
    OutputFile out;
    if (!out.Open(temporary))
        return false;
    out.Write(contents);
    if (!out.Close()) {
        ::unlink(temporary.c_str());
        return false;
    }
    return CommitTemporary(temporary, target);
}

} // namespace zv
