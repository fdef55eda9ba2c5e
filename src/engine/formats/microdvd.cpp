// MicroDvd: {start}{end}text, numbers are frames, "|" separates the rows.
#include "engine/formats/bracket_format.h"
#include "engine/formats/formats.h"

namespace zv {

namespace {

constexpr Brackets kBrackets{'{', '}', true};

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

const FormatDescriptor kMicroDvdFormat = {
    .format = SubtitleFormat::MicroDvd,
    .name = "microdvd",
    .label = "{xxx}{xxx}    (mDVD)",
    .extension = "sub",
    .linesPerSubtitle = 1,
    .isFrameBased = 1,
    .mayLengthen = 1,
    .hasEndTimes = true,
    .subtitleStart = nullptr,
    .detect = Detect,
    .read = Read,
    .write = Write,
};

} // namespace zv
