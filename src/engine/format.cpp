#include "engine/format.h"

#include "engine/file_io.h"
#include "engine/input_file.h"

#include <cstdio>
#include <cstring>

namespace zv {

namespace {

struct FormatInfo {
    SubtitleFormat format;
    const char* name;
    const char* label;
    const char* extension;
};

constexpr FormatInfo kFormats[] = {
    {SubtitleFormat::TmPlayer, "tmplayer", "00:00:00", "txt"},
    {SubtitleFormat::TmPlayerShort, "tmplayer-short", "0:00:00", "txt"},
    {SubtitleFormat::MicroDvd, "microdvd", "{xxx}{xxx}    (mDVD)", "sub"},
    {SubtitleFormat::Mpl2, "mpl2", "[xxx][xxx]    (MPL2)", "txt"},
    {SubtitleFormat::SubRip, "subrip", "00:00:00 --> 00:00:00", "srt"},
    {SubtitleFormat::SubViewer1, "subviewer1", "[00:00:00]  (SUB)", "sub"},
    {SubtitleFormat::Ssa, "ssa", "Dialogue:   (SSA)", "ssa"},
    {SubtitleFormat::SubViewer2, "subviewer2", "hh:mm:ss.xx,hh ...", "sub"},
};

bool Digit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string_view FormatName(SubtitleFormat f)
{
    for (const auto& info : kFormats)
        if (info.format == f)
            return info.name;
    return {};
}

std::string_view FormatLabel(SubtitleFormat f)
{
    for (const auto& info : kFormats)
        if (info.format == f)
            return info.label;
    return {};
}

std::string_view FormatExtension(SubtitleFormat f)
{
    for (const auto& info : kFormats)
        if (info.format == f)
            return info.extension;
    return {};
}

SubtitleFormat FormatFromName(std::string_view name)
{
    for (const auto& info : kFormats) {
        if (name == info.name)
            return info.format;
        if (name.size() == 1 && name[0] - '0' == Code(info.format))
            return info.format;
    }
    return SubtitleFormat::None;
}

bool HasEndTimes(SubtitleFormat f)
{
    switch (f) {
    case SubtitleFormat::MicroDvd:
    case SubtitleFormat::Mpl2:
    case SubtitleFormat::SubRip:
    case SubtitleFormat::Ssa:
    case SubtitleFormat::SubViewer2:
        return true;
    default:
        return false;
    }
}

SubtitleFormat DetectFormatOfBytes(std::string_view bytes)
{
    // A 50-byte area that starts with a space and is otherwise zero, with the
    // file's first 15 bytes over its start.
    char b[50] = {' '};
    std::memcpy(b, bytes.data(), bytes.size() < 15 ? bytes.size() : 15);

    if (Digit(b[0]) && Digit(b[1]) && b[2] == ':' && Digit(b[3]) && Digit(b[4]) && b[5] == ':' &&
        Digit(b[6]) && Digit(b[7]) && b[8] == ':')
        return SubtitleFormat::TmPlayer;
    if (Digit(b[0]) && b[1] == ':' && Digit(b[2]) && Digit(b[3]) && b[4] == ':' && Digit(b[5]) &&
        Digit(b[6]) && b[7] == ':')
        return SubtitleFormat::TmPlayerShort;
    if (b[0] == '{' || b[0] == '[') {
        const char close = b[0] == '{' ? '}' : ']';
        for (int i = 1; i <= 17; ++i)
            if (b[i] == close && b[i + 1] == b[0])
                return b[0] == '{' ? SubtitleFormat::MicroDvd : SubtitleFormat::Mpl2;
    }
    if (Digit(b[0]) && b[1] == '\r' && b[2] == '\n' && Digit(b[3]))
        return SubtitleFormat::SubRip;
    if (b[0] == '[') {
        if (std::memcmp(b + 1, "TITLE]", 6) == 0)
            return SubtitleFormat::SubViewer1;
        if (std::memcmp(b + 1, "Script", 6) == 0 && b[12] == ']')
            return SubtitleFormat::Ssa;
        if (std::memcmp(b + 1, "INFORMA", 7) == 0)
            return SubtitleFormat::SubViewer2;
    }
    return SubtitleFormat::None;
}

SubtitleFormat DetectFormat(Context& ctx, Owner owner, const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        ctx.Tell(56, 44, Buttons::Ok, Icon::Stop, owner);
        return SubtitleFormat::None;
    }
    char head[15];
    const std::size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    const SubtitleFormat format = DetectFormatOfBytes(std::string_view(head, got));
    if (format == SubtitleFormat::None)
        ctx.Tell(45, 44, Buttons::Ok, Icon::Stop, owner);
    return format;
}

int CheckLineEnds(Context& ctx, const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        ctx.CannotOpen();
        return -1;
    }
    LineEndCounts ends;
    char block[1 << 16];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, f)) > 0)
        ends.Add(std::string_view(block, got));
    std::fclose(f);
    return ends.Damaged() ? -1 : 0;
}

long CountSubtitleLines(Context& ctx, const std::string& path)
{
    std::string contents;
    if (!ReadWholeFile(path, contents)) {
        ctx.CannotOpen();
        return -1;
    }
    long count = 0;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t lf = contents.find('\n', pos);
        if (lf == std::string::npos || lf + 1 >= contents.size())
            break;
        const unsigned char c = static_cast<unsigned char>(contents[lf + 1]);
        if (c >= ' ' && c <= '~')
            ++count;
        else if (c != '\r')
            break;
        pos = lf + 1;
    }
    return count;
}

} // namespace zv
