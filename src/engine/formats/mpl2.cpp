// Mpl2: [start][end]text, numbers are tenths of a second.
#include "engine/formats/bracket_format.h"
#include "engine/formats/formats.h"

namespace zv {

namespace {

constexpr Brackets kBrackets{'[', ']', false};

int Read(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second)
{
    return ReadBracketFile(handler, source, standardFile, second, kBrackets);
}

Outcome Write(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
              int convertMode, int firstEntryIndex, const WriteOptions& options)
{
    (void)firstEntryIndex;
    return WriteBracketFile(handler, source, target, deleteSource, convertMode, kBrackets, options);
}

bool Detect(std::string_view area)
{
    return DetectBrackets(area, kBrackets);
}

} // namespace

const FormatDescriptor kMpl2Format = {
    .format = SubtitleFormat::Mpl2,
    .name = "mpl2",
    .label = "[xxx][xxx]    (MPL2)",
    .extension = "txt",
    .linesPerSubtitle = 1,
    .isFrameBased = 0,
    .mayLengthen = 1,
    .hasEndTimes = true,
    .subtitleStart = nullptr,
    .detect = Detect,
    .read = Read,
    .write = Write,
};

} // namespace zv
