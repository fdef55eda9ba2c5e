// The eight subtitle formats and how a file's format is recognised.
#pragma once

#include "engine/context.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <string>
#include <string_view>

namespace zv {

class FormatHandler;

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

// Everything the program knows about one format, defined in the format's own
// file (formats/<format>.cpp) and looked up through the table below.
struct FormatDescriptor {
    SubtitleFormat format;
    // As the command line spells it ("subrip").
    std::string_view name;
    // The label of its radio button in the dialogs.
    std::string_view label;
    // The extension its files usually have, without the dot.
    std::string_view extension;
    // 1 for one line per subtitle, 99 for subtitles over several lines.
    int linesPerSubtitle;
    // 1 when the StandardFile's numbers are frames.
    int isFrameBased;
    // What the lengthening repair may do to it.
    int mayLengthen;
    bool hasEndTimes;
    // What a subtitle's first line begins with ('d' stands for a digit);
    // nullptr for one-line formats, whose every line is a subtitle.
    const char* subtitleStart;
    // The test on the 50-byte detection area: the file's first 15 bytes over
    // a space and zeros.
    bool (*detect)(std::string_view area);
    // Reads source into standardFile; second is Join's second file, whose
    // header is not the one to keep. 0 or -1.
    int (*read)(FormatHandler& handler, const std::string& source, const std::string& standardFile, bool second);
    // Writes the StandardFile source as this format (FormatHandler::WriteSubtitleFile).
    Outcome (*write)(FormatHandler& handler, const std::string& source, const std::string& target, int deleteSource,
                     int convertMode, int firstEntryIndex, const WriteOptions& options);
};

// The descriptor of f; nullptr for None.
const FormatDescriptor* FindFormat(SubtitleFormat f);
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
