// Mpl2: [start][end]text, numbers are tenths of a second.
#include "engine/formats/bracket_format.h"
#include "engine/formats/formats.h"

namespace zv {

namespace {
constexpr Brackets kBrackets{'[', ']', false};
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
    .detect = DetectWithBrackets<kBrackets>,
    .read = ReadWithBrackets<kBrackets>,
    .write = WriteWithBrackets<kBrackets>,
};

} // namespace zv
