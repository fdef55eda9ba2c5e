// MicroDvd: {start}{end}text, numbers are frames, "|" separates the rows.
#include "engine/formats/bracket_format.h"
#include "engine/formats/formats.h"

namespace zv {

namespace {
constexpr Brackets kBrackets{'{', '}', true};
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
    .detect = DetectWithBrackets<kBrackets>,
    .read = ReadWithBrackets<kBrackets>,
    .write = WriteWithBrackets<kBrackets>,
};

} // namespace zv
