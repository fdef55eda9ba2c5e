// Buffered file access shared by every loop over a subtitle file or a
// StandardFile: one line reader, one output file and one atomic writer.
#pragma once

#include <cstdint>
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

// A file written through a large buffer: small pieces are gathered, large
// ones written straight through. Errors are remembered and reported by
// Close().
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

private:
    void WriteThrough(std::string_view text);
    int fd_ = -1;
    bool failed_ = false;
    std::string pending_;
};

bool FileExists(const std::string& path);
// Size in bytes, or -1 when the file cannot be examined.
std::int64_t FileSize(const std::string& path);
bool ReadWholeFile(const std::string& path, std::string& contents);
// Copies source over target, replacing it.
bool CopyFileOver(const std::string& source, const std::string& target);
void RemoveFile(const std::string& path);
// Writes the text to a temporary file beside the target, flushes it to disk
// and renames it over the target. The target is untouched on failure.
bool AtomicWriteFile(const std::string& target, std::string_view contents);
// Renames a finished temporary file over the target (same folder), keeping the
// target's permissions when it exists; on failure the temporary file is removed.
bool CommitTemporary(const std::string& temporary, const std::string& target);
// A temporary file name beside the target that nobody else uses.
std::string TemporaryBeside(const std::string& target);
// The file-name part of a path (after the last slash).
std::string FileNameOf(const std::string& path);

} // namespace zv
