// The eight subtitle formats and how a file's format is recognised.
#pragma once

#include "engine/context.h"

#include <string>
#include <string_view>

namespace zv {

enum class SubtitleFormat : int {
    None = 0,
    TmPlayer = 1,
    TmPlayerShort = 2,
    MicroDvd = 3,
    Mpl2 = 4,
    SubRip = 5,
    SubViewer1 = 6,
    Ssa = 7,
    SubViewer2 = 8,
};

inline int Code(SubtitleFormat f) { return static_cast<int>(f); }
// The format's name as the command line spells it ("subrip", ...); "" for None.
std::string_view FormatName(SubtitleFormat f);
// By name or by code ("5"); None when neither.
SubtitleFormat FormatFromName(std::string_view name);
// The label of the format's radio button in the dialogs.
std::string_view FormatLabel(SubtitleFormat f);
// The extension a file of the format usually has, without the dot ("srt"); "" for None.
std::string_view FormatExtension(SubtitleFormat f);
// Whether the format carries end times.
bool HasEndTimes(SubtitleFormat f);

// Recognises the format from the first 15 bytes; None after a message
// (owned by owner) when the file cannot be opened or is not recognised.
SubtitleFormat DetectFormat(Context& ctx, Owner owner, const std::string& path);
// The pure test on the first bytes of a file.
SubtitleFormat DetectFormatOfBytes(std::string_view firstBytes);

// 0 when the file's line ends are consistent (all CR LF, all LF, or none at
// all); -1 when they are damaged (mixed, CR CR LF, a lone CR), or when the
// file cannot be opened (after the message).
int CheckLineEnds(Context& ctx, const std::string& path);
// Lines after the first that begin with a printable character; -1 after the
// open-failure message.
long CountSubtitleLines(Context& ctx, const std::string& path);

} // namespace zv
