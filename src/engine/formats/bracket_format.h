// MicroDvd ({start}{end}text) and Mpl2 ([start][end]text) differ only in their
// brackets and units, so both read and write through this shared code.
#pragma once

#include "engine/formats/format_handler.h"

#include <string>
#include <string_view>

namespace zv {

// A MicroDvd frame-rate line, {1}{1}23.976: a number and nothing else as the
// text of the file's first line, shown by no player.
bool IsFrameRateLine(std::string_view line);

// The brackets of one of the two formats; frames for MicroDvd, whose numbers
// count frames and whose first line may give the frame rate.
struct Brackets {
    char open;
    char close;
    bool frames;
};

// The reader; Join's second file (second) leaves its own frame-rate line out.
int ReadBracketFile(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second,
                    Brackets brackets);
Outcome WriteBracketFile(FormatHandler& handler, const std::string& source, const std::string& target,
                         int deleteSource, int convertMode, Brackets brackets, const WriteOptions& options);
// The open bracket, then within the 15 bytes read a close bracket directly
// followed by an open one.
bool DetectBrackets(std::string_view area, Brackets brackets);

// The three entries of a format descriptor for the given brackets.
template <Brackets B>
int ReadWithBrackets(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second)
{
    return ReadBracketFile(handler, source, standardFile, second, B);
}
template <Brackets B>
Outcome WriteWithBrackets(FormatHandler& handler, const std::string& source, const std::string& target,
                          int deleteSource, int convertMode, int /*firstEntryIndex*/, const WriteOptions& options)
{
    return WriteBracketFile(handler, source, target, deleteSource, convertMode, B, options);
}
template <Brackets B>
bool DetectWithBrackets(std::string_view area)
{
    return DetectBrackets(area, B);
}

} // namespace zv
