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
// the ellipsis).
std::string DetectEncoding(std::string_view bytes);
// The same for a file's first few megabytes; "" when it cannot be read.
std::string DetectFileEncoding(const std::string& path);
// Whether the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

// The encodings the user may choose for an open file, most common first.
std::span<const std::string_view> ChoosableEncodings();

} // namespace zv
