// A subtitle file as the user gave it: read once, whatever it is (a file, a
// pipe, standard input), into a working copy in the workspace that every
// engine reads from. Text in, text out: the working copy has CR LF line ends,
// no byte-order mark and a UTF-16 or UTF-32 text as UTF-8, and the file's own
// style is written back.
#pragma once

#include "engine/context.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

// How a file carries its text.
struct TextStyle {
    bool byteOrderMark = false; // a byte-order mark before the first line
    bool lineFeeds = false;     // consistent LF line ends (CR LF in the working copy)
    std::string wideEncoding{}; // "UTF-16LE", ... for a wide text (UTF-8 in the working copy)

    bool operator==(const TextStyle&) const = default;
};

// The line ends of a whole file.
struct LineEndCounts {
    std::uint64_t crlf = 0;   // CR LF
    std::uint64_t lf = 0;     // LF without a CR before it
    std::uint64_t cr = 0;     // CR not followed by LF (nor by CR LF)
    std::uint64_t crcrlf = 0; // CR CR LF, the trace of a text-mode transfer

    void Add(std::string_view bytes); // bytes in order, across calls
    // Mixed, doubled or lone: what the line-end repair exists for.
    bool Damaged() const { return cr > 0 || crcrlf > 0 || (crlf > 0 && lf > 0); }
    bool LineFeedsOnly() const { return lf > 0 && !Damaged() && crlf == 0; }

private:
    int pending_ = 0; // trailing CRs of the last piece
};

// The largest input read: no subtitle file comes near it, and a stream without
// an end (a device, a pipe fed forever) must not fill the disk.
inline constexpr std::uint64_t kMaxInputSize = std::uint64_t{1} << 30;

enum class InputMode {
    Text, // byte-order mark set aside, a wide text made UTF-8, consistent LF line ends made CR LF
    Raw,  // every byte as it is (the line-end repair looks at the damage itself)
};

struct InputFile {
    std::string path;        // as the user named it ("-" is standard input)
    std::string copy;        // the working copy every engine reads
    std::uint64_t size = 0;  // bytes read from the user's file
    TextStyle style;
    LineEndCounts lineEnds;
};

// Reads path ("-": standard input) once into copy. Refused with a message
// owned by owner, and false: a folder, a device, more than limit bytes, a
// UTF-16 or UTF-32 text that is not whole (text mode), or a file that cannot
// be read. Nothing is left in
// copy then.
bool TakeInput(Context& ctx, const std::string& path, const std::string& copy, InputMode mode, InputFile& input,
               Owner owner, std::uint64_t limit = kMaxInputSize);

// The encoding of a UTF-16 or UTF-32 text ("UTF-16LE", ...), "" for any other.
std::string_view WideEncodingOf(std::string_view firstBytes);

// Writes a working-copy text (CR LF, no mark) in the given style into target,
// replacing it; false when a file failed.
bool WriteInStyle(const std::string& source, const std::string& target, const TextStyle& style);
// The file holding source written in style: source itself when the style is
// the working copy's own, else styled (written anew). "" when writing failed.
std::string StyledFile(const std::string& source, const std::string& styled, const TextStyle& style);

} // namespace zv
