#include "engine/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

namespace zv {

namespace {
constexpr std::size_t kBlock = 1 << 16;
}

bool LineReader::Open(const std::string& path)
{
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    buffer_.clear();
    pos_ = 0;
    eof_ = false;
    consumed_ = 0;
    return file_ != nullptr;
}

void LineReader::Close()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool LineReader::Fill()
{
    if (eof_ || !file_)
        return false;
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kBlock);
    const std::size_t got = std::fread(buffer_.data() + old, 1, kBlock, file_);
    buffer_.resize(old + got);
    if (got == 0)
        eof_ = true;
    return got > 0;
}

bool LineReader::Next(std::string& line)
{
    if (!file_)
        return false;
    std::size_t searchFrom = pos_;
    for (;;) {
        const std::size_t lf = buffer_.find('\n', searchFrom);
        if (lf != std::string::npos) {
            line.assign(buffer_, pos_, lf + 1 - pos_);
            consumed_ += line.size();
            pos_ = lf + 1;
            return true;
        }
        const std::size_t scanned = buffer_.size() - pos_;
        if (!Fill())
            return false; // an unfinished last line is not a line
        searchFrom = pos_ + scanned;
    }
}

bool OutputFile::Open(const std::string& path, Mode mode)
{
    Close();
    failed_ = false;
    file_ = std::fopen(path.c_str(), mode == Mode::Create ? "wb" : "ab");
    if (file_)
        std::setvbuf(file_, nullptr, _IOFBF, kBlock);
    return file_ != nullptr;
}

void OutputFile::Write(std::string_view text)
{
    if (!file_ || text.empty())
        return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size())
        failed_ = true;
}

bool OutputFile::Close()
{
    if (!file_)
        return !failed_;
    if (std::fflush(file_) != 0)
        failed_ = true;
    if (std::fclose(file_) != 0)
        failed_ = true;
    file_ = nullptr;
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
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in)
        return false;
    // A read-only target is replaced all the same.
    ::chmod(target.c_str(), S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);
    std::FILE* out = std::fopen(target.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    bool ok = true;
    char block[kBlock];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) {
        if (std::fwrite(block, 1, got, out) != got) {
            ok = false;
            break;
        }
    }
    if (std::ferror(in))
        ok = false;
    std::fclose(in);
    if (std::fclose(out) != 0)
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
