// Buffered file access shared by every loop over a subtitle file or a
// StandardFile: one line reader, one output file and one atomic writer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zv {

// The line end a line carries: 2 for CR LF, 1 for a lone LF, 0 for none.
inline std::size_t LineEndLength(std::string_view line)
{
    if (line.empty() || line.back() != '\n')
        return 0;
    return line.size() >= 2 && line[line.size() - 2] == '\r' ? 2 : 1;
}
// The line end a line carries ("\r\n", "\n" or nothing) and the line without it.
inline std::string_view LineEndOf(std::string_view line) { return line.substr(line.size() - LineEndLength(line)); }
inline std::string_view WithoutLineEnd(std::string_view line)
{
    return line.substr(0, line.size() - LineEndLength(line));
}

// Reads a file line by line. A line is returned whole, with its line feed,
// whatever its length; a final fragment without a line feed ends the file and
// is not returned (callers that need it add the line end first).
class LineReader {
public:
    LineReader() = default;
    explicit LineReader(const std::string& path) { Open(path); }
    ~LineReader() { Close(); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    void Close();
    bool Next(std::string& line);
    // The same without a copy: line views the reader's buffer and stays valid
    // until the next call.
    bool Next(std::string_view& line);
    // Once Next has run out: the last line when the file ends without a line
    // end, which Next never hands out. Valid as Next's view is.
    bool Unfinished(std::string_view& line);
    // Bytes handed out so far (for progress percentages).
    std::uint64_t BytesRead() const { return consumed_; }
    // The size of the open file, 0 when it cannot be told.
    std::uint64_t Size() const;

private:
    bool Fill();
    int fd_ = -1;
    std::string buffer_;
    std::size_t pos_ = 0; // the unread bytes are [pos_, end_)
    std::size_t end_ = 0;
    bool eof_ = false;
    std::uint64_t consumed_ = 0;
};

// A file of the workspace written through a large buffer: small pieces are
// gathered, large ones written straight through. Errors are remembered and
// reported by Close(). A link is never followed.
class OutputFile {
public:
    enum class Mode { Create, Append };
    OutputFile() = default;
    ~OutputFile() { Close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool Open(const std::string& path, Mode mode = Mode::Create);
    bool IsOpen() const { return fd_ >= 0; }
    void Write(std::string_view text);
    // Writes what is gathered and closes; false when anything failed on the way.
    bool Close();
    // Whether a write failed already (it is reported again by Close).
    bool failed() const { return failed_; }
    // The system's reason of the first failure, 0 when none.
    int error() const { return error_; }

private:
    void WriteThrough(std::string_view text);
    int fd_ = -1;
    bool failed_ = false;
    int error_ = 0;
    std::string pending_;
};

bool FileExists(const std::string& path);
// A pipe, socket or device: there, but neither a file nor a folder. Reading
// one may wait for ever or never end, so the programs refuse it.
bool IsStreamOrDevice(const std::string& path);
// Size in bytes, or -1 when the file cannot be examined.
std::int64_t FileSize(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string& contents);
// Copies source over a file of the workspace, replacing it (a link there is
// replaced, not followed).
bool CopyFileOver(const std::string& source, const std::string& target);
void RemoveFile(const std::string& path);
// The file-name part of a path (after the last slash).
std::string FileNameOf(const std::string& path);
// The folder part of a path, "." when it has none.
std::string FolderPartOf(const std::string& path);

// Puts new content in place of a file the user keeps; the one way every save
// and every output is written. A link is followed and the file it names is
// replaced. A regular file (or a new one) gets a temporary beside it, its
// owner's alone and, where allowed, with the file's owner before a byte is
// written, and the file's mode once written (so the user's own read-only file
// is replaced too); it is flushed and renamed over the file only by Commit, so
// the file is the old one or the new one, never half of each. A device, a FIFO
// or a standard stream (/dev/stdout) is written into directly at Commit, never
// replaced; a folder is refused. On failure errno tells why; what was staged
// is removed unless committed.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement() { Discard(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    bool StageText(const std::string& target, std::string_view text);
    // A copy of the file source; source must stay until Commit.
    bool StageFile(const std::string& target, const std::string& source);
    bool Commit();
    void Discard();
    // The staged temporary, empty when there is none (a device).
    const std::string& temporary() const { return temporary_; }
    // Whether Commit writes into the target itself (a device, a FIFO, a
    // stream), where nothing can be undone once it started.
    bool direct() const { return stream_ >= 0 || direct_; }
    // notice gets the name of every temporary before it is created, so an
    // interrupt at any moment can remove it.
    void NoticeTemporaries(std::function<void(const std::string&)> notice) { notice_ = std::move(notice); }

private:
    static constexpr unsigned kNoMode = ~0u;
    bool Prepare(const std::string& target);
    bool Finish();
    bool WriteDirect();
    std::function<void(const std::string&)> notice_;
    int fd_ = -1;             // the temporary, open while it is written
    unsigned mode_ = kNoMode; // the replaced file's mode, given once written
    std::string path_;      // the file replaced or written into, links followed
    std::string temporary_; // beside path_
    int stream_ = -1;       // a standard stream named by the target
    bool direct_ = false;   // a device or a FIFO
    std::string source_;    // what a direct write copies
    std::string text_;
    bool fromText_ = false;
    bool staged_ = false;
};

// StageFile and Commit in one: source's content replaces target.
bool ReplaceFile(const std::string& target, const std::string& source);
// StageText and Commit in one.
bool AtomicWriteFile(const std::string& target, std::string_view contents);
// The start of the name of every temporary the process pid writes beside a
// target (".zv-" and its id); a later write there removes those of a process
// that is gone.
std::string TemporaryPrefix(long pid);
// Whether two paths name one file however they are spelled: links followed
// (dangling ones too), a missing file known by its folder and name.
bool SameFile(const std::string& a, const std::string& b);

} // namespace zv
