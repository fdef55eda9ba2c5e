#include "engine/io/input_file.h"

#include "engine/io/encoding.h"
#include "engine/io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace zv {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Enough of the start to tell a UTF-16 text without a mark by its zero bytes.
constexpr std::size_t kHeadSize = 512;
constexpr std::size_t kBlock = 1 << 18;

// Text numbers of the refusals.
constexpr int kIsFolder = 398;
constexpr int kIsDevice = 399;
constexpr int kTooLarge = 400;
constexpr int kWideText = 401;

// The byte-order mark of a wide encoding: U+FEFF in its bytes.
std::string_view WideMark(const std::string& encoding)
{
    if (encoding == "UTF-32LE")
        return std::string_view("\xFF\xFE\0\0", 4);
    if (encoding == "UTF-32BE")
        return std::string_view("\0\0\xFE\xFF", 4);
    return encoding == "UTF-16BE" ? "\xFE\xFF" : "\xFF\xFE";
}

bool IsDevice(const struct stat& st) { return S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode); }

// A regular file says its size: one larger than the limit is refused before
// a byte of it is copied.
bool TooLarge(const struct stat& st, std::uint64_t limit)
{
    return S_ISREG(st.st_mode) && st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > limit;
}

// Reads up to size bytes, retrying after signals; -1 on an error.
ssize_t ReadSome(int fd, char* into, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::read(fd, into, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

// Rewrites the working copy's consistent LF line ends as CR LF.
bool LineFeedsToCrLf(const std::string& copy)
{
    const std::string widened = copy + "~";
    LineReader in;
    OutputFile out;
    if (!in.Open(copy) || !out.Open(widened))
        return false;
    std::string_view line;
    while (in.Next(line)) {
        out.Write(line.substr(0, line.size() - 1));
        out.Write("\r\n");
    }
    // The last line may have no line end at all; it stays without one.
    if (in.Unfinished(line))
        out.Write(line);
    in.Close();
    if (!out.Close() || std::rename(widened.c_str(), copy.c_str()) != 0) {
        const int error = out.error() != 0 ? out.error() : errno;
        RemoveFile(widened);
        errno = error;
        return false;
    }
    return true;
}

} // namespace

void LineEndCounts::Add(std::string_view bytes)
{
    for (const char c : bytes) {
        if (c == '\r') {
            ++pending_;
            continue;
        }
        if (c == '\n') {
            if (pending_ == 0) {
                ++lf;
            } else if (pending_ == 1) {
                ++crlf;
            } else {
                ++crcrlf;
                cr += static_cast<std::uint64_t>(pending_ - 2);
            }
        } else {
            cr += static_cast<std::uint64_t>(pending_);
        }
        pending_ = 0;
    }
}

std::string_view WideEncodingOf(std::string_view b)
{
    if (b.starts_with(std::string_view("\xFF\xFE\0\0", 4)))
        return "UTF-32LE";
    if (b.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return "UTF-32BE";
    if (b.starts_with("\xFF\xFE"))
        return "UTF-16LE";
    if (b.starts_with("\xFE\xFF"))
        return "UTF-16BE";
    // Without a mark: Latin letters in UTF-16 have a zero byte beside every
    // one of them, which no single-byte text or UTF-8 has.
    const std::size_t pairs = std::min(b.size(), kHeadSize) / 2;
    if (pairs < 2)
        return {};
    std::size_t zeroFirst = 0;
    std::size_t zeroSecond = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        zeroFirst += b[2 * i] == '\0';
        zeroSecond += b[2 * i + 1] == '\0';
    }
    if (zeroSecond * 2 >= pairs && zeroFirst * 8 < pairs)
        return "UTF-16LE";
    if (zeroFirst * 2 >= pairs && zeroSecond * 8 < pairs)
        return "UTF-16BE";
    return {};
}

bool TakeInput(Context& ctx, const std::string& path, const std::string& copy, InputMode mode, InputFile& input,
               Owner owner, std::uint64_t limit)
{
    input = InputFile{};
    input.path = path;
    input.copy = copy;
    RemoveFile(copy);
    const auto refuse = [&](int text) {
        ctx.Tell(text, 44, Buttons::Ok, Icon::Stop, owner);
        return false;
    };

    // Looked at before opening: opening a device may already do something.
    struct stat st {};
    const bool standardInput = path == "-";
    if (!standardInput) {
        if (::stat(path.c_str(), &st) != 0)
            return refuse(56);
        if (S_ISDIR(st.st_mode))
            return refuse(kIsFolder);
        if (IsDevice(st))
            return refuse(kIsDevice);
        if (TooLarge(st, limit))
            return refuse(kTooLarge);
    }
    const int fd = standardInput ? 0 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return refuse(56);
    struct Closer {
        int fd;
        bool own;
        ~Closer()
        {
            if (own)
                ::close(fd);
        }
    } closer{fd, !standardInput};
    if (::fstat(fd, &st) != 0)
        return refuse(56);
    if (S_ISDIR(st.st_mode))
        return refuse(kIsFolder);
    if (IsDevice(st))
        return refuse(kIsDevice);
    if (TooLarge(st, limit))
        return refuse(kTooLarge);

    // The working copy cannot be written (a full TEMP): the message gives the
    // system's reason, and the reading stops there.
    const auto cannotCopy = [&](int error) {
        RemoveFile(copy);
        std::string text = ctx.Text(46);
        if (error != 0)
            text += "\n\n" + std::string(std::strerror(error));
        ctx.host.Message(text, ctx.Text(44), Buttons::Ok, Icon::Stop, owner);
        return false;
    };
    OutputFile out;
    if (!out.Open(copy)) {
        ctx.CannotOpen(owner);
        return false;
    }
    const auto fail = [&](int text) {
        out.Close();
        RemoveFile(copy);
        return refuse(text);
    };

    // A small file is read in one block of its own size.
    const bool known = S_ISREG(st.st_mode) && st.st_size >= 0 && static_cast<std::uint64_t>(st.st_size) < kBlock;
    std::vector<char> block(known ? static_cast<std::size_t>(st.st_size) + 1 : kBlock);
    std::string head; // the start, held back until it tells what the text is
    std::string wide; // a wide text, held until it is all read
    const auto refuseWide = [&] {
        out.Close();
        RemoveFile(copy);
        const std::string text = ctx.Text(kWideText) + "\n\n" + input.style.wideEncoding;
        ctx.host.Message(text, ctx.Text(44), Buttons::Ok, Icon::Stop, owner);
        return false;
    };
    bool headDone = false;
    bool tooLarge = false;
    for (;;) {
        const ssize_t got = ReadSome(fd, block.data(), block.size());
        if (got < 0)
            return fail(56);
        input.size += static_cast<std::uint64_t>(got);
        if (input.size > limit) {
            tooLarge = true;
            break;
        }
        std::string_view piece(block.data(), static_cast<std::size_t>(got));
        if (!headDone) {
            head.append(piece);
            if (got > 0 && head.size() < kHeadSize)
                continue;
            headDone = true;
            input.style.wideEncoding = WideEncodingOf(head);
            // The line-end repair works on bytes: a wide text's line ends are
            // no bytes it knows.
            if (!input.style.wideEncoding.empty() && mode == InputMode::Raw)
                return refuseWide();
            piece = head;
            const std::string_view mark =
                input.style.wideEncoding.empty() ? kUtf8Mark : WideMark(input.style.wideEncoding);
            if (mode == InputMode::Text && piece.starts_with(mark)) {
                input.style.byteOrderMark = true;
                piece.remove_prefix(mark.size());
            }
        }
        // A wide text is made UTF-8 whole, once it is all read: a block may
        // end inside a character.
        if (!input.style.wideEncoding.empty()) {
            wide.append(piece);
            if (got == 0)
                break;
            continue;
        }
        input.lineEnds.Add(piece);
        out.Write(piece);
        if (out.failed()) {
            out.Close();
            return cannotCopy(out.error());
        }
        if (got == 0)
            break;
    }
    if (tooLarge)
        return fail(kTooLarge);
    if (!input.style.wideEncoding.empty()) {
        std::string utf8;
        if (!DecodeToUtf8(wide, input.style.wideEncoding, utf8))
            return refuseWide();
        input.lineEnds.Add(utf8);
        out.Write(utf8);
    }
    if (!out.Close())
        return cannotCopy(out.error());
    if (mode == InputMode::Text && input.lineEnds.LineFeedsOnly()) {
        errno = 0;
        if (!LineFeedsToCrLf(copy))
            return cannotCopy(errno);
        input.style.lineFeeds = true;
    }
    ctx.inputOrigins[copy] = path;
    return true;
}

// A wide text is written whole: its UTF-8 is made the encoding's own bytes
// in one piece, so no character is cut between blocks.
bool WriteWideInStyle(const std::string& source, const std::string& target, const TextStyle& style)
{
    std::string text;
    if (!ReadWholeFile(source, text))
        return false;
    if (style.lineFeeds) {
        std::string bare;
        bare.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
                bare += text[i];
        text.swap(bare);
    }
    OutputFile out;
    if (!out.Open(target))
        return false;
    if (style.byteOrderMark)
        out.Write(WideMark(style.wideEncoding));
    out.Write(EncodeUtf8Text(text, style.wideEncoding));
    return out.Close();
}

bool WriteInStyle(const std::string& source, const std::string& target, const TextStyle& style)
{
    if (!style.wideEncoding.empty())
        return WriteWideInStyle(source, target, style);
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (!in)
        return false;
    OutputFile out;
    if (!out.Open(target)) {
        std::fclose(in);
        return false;
    }
    if (style.byteOrderMark)
        out.Write(kUtf8Mark);
    std::vector<char> block(kBlock);
    bool heldCr = false; // a CR at the end of the last block
    std::string piece;
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) {
        if (!style.lineFeeds) {
            out.Write(std::string_view(block.data(), got));
            continue;
        }
        piece.clear();
        for (std::size_t i = 0; i < got; ++i) {
            const char c = block[i];
            if (heldCr && c != '\n')
                piece += '\r';
            heldCr = c == '\r';
            if (!heldCr)
                piece += c;
        }
        out.Write(piece);
    }
    if (heldCr)
        out.Write("\r");
    const bool readOk = !std::ferror(in);
    std::fclose(in);
    return out.Close() && readOk;
}

std::string StyledFile(const std::string& source, const std::string& styled, const TextStyle& style)
{
    if (style == TextStyle{})
        return source;
    return WriteInStyle(source, styled, style) ? styled : std::string();
}

} // namespace zv
