// The text encoding of a subtitle file. Files are bytes and stay bytes: the
// encoding only decides how their text is shown and how a text the user types
// is written into them.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zv {

// UTF-8 when the bytes are valid UTF-8 (plain ASCII included); otherwise the
// answer of the character-set detector, spelled as the encoding menu spells it
// ("Windows-1250"). A Latin-1 answer is given as Windows-1252, its superset
// that Windows files are written in, and so are Mac and DOS code pages and a
// text whose only bytes above 127 are Windows punctuation (quotes, dashes,
// the ellipsis), and bytes that failed the UTF-8 check yet look like UTF-8 to
// the detector.
std::string DetectEncoding(std::string_view bytes);
// The same for a file's first few megabytes; "" when it cannot be read.
std::string DetectFileEncoding(const std::string& path);
// Whether the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

// A text typed by the user (UTF-8) as bytes of the named encoding, for
// writing into a file in it; a character the encoding lacks, or a byte that
// is no UTF-8, becomes "?" (in the encoding's own bytes). An empty or unknown name gives UTF-8.
std::string EncodeUtf8Text(std::string_view utf8, const std::string& encoding);

// The text of a UTF-16 or UTF-32 encoding ("UTF-16LE", no mark) as UTF-8;
// false when the bytes are not a whole text of it.
bool DecodeToUtf8(std::string_view bytes, const std::string& encoding, std::string& utf8);

// The encodings the user may choose for an open file, most common first.
std::span<const std::string_view> ChoosableEncodings();

} // namespace zv
