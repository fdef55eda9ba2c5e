#include "engine/formats/format.h"

#include "engine/io/file_io.h"
#include "engine/formats/formats.h"
#include "engine/io/input_file.h"

#include <cstdio>
#include <cstring>

namespace zv {

namespace {

// Detection tries them in this order and takes the first that matches.
constexpr const FormatDescriptor* kFormats[] = {
    &kTmPlayerFormat, &kTmPlayerShortFormat, &kMicroDvdFormat, &kMpl2Format,
    &kSubRipFormat,   &kSubViewer1Format,    &kSsaFormat,      &kSubViewer2Format,
};

} // namespace

const FormatDescriptor* FindFormat(SubtitleFormat f)
{
    for (const FormatDescriptor* d : kFormats)
        if (d->format == f)
            return d;
    return nullptr;
}

std::string_view FormatName(SubtitleFormat f)
{
    const FormatDescriptor* d = FindFormat(f);
    return d ? d->name : std::string_view();
}

std::string_view FormatLabel(SubtitleFormat f)
{
    const FormatDescriptor* d = FindFormat(f);
    return d ? d->label : std::string_view();
}

std::string_view FormatExtension(SubtitleFormat f)
{
    const FormatDescriptor* d = FindFormat(f);
    return d ? d->extension : std::string_view();
}

SubtitleFormat FormatFromName(std::string_view name)
{
    for (const FormatDescriptor* d : kFormats) {
        if (name == d->name)
            return d->format;
        if (name.size() == 1 && name[0] - '0' == Code(d->format))
            return d->format;
    }
    return SubtitleFormat::None;
}

bool HasEndTimes(SubtitleFormat f)
{
    const FormatDescriptor* d = FindFormat(f);
    return d && d->hasEndTimes;
}

SubtitleFormat DetectFormatOfBytes(std::string_view bytes)
{
    // A 50-byte area that starts with a space and is otherwise zero, with the
    // file's first 15 bytes over its start.
    char b[50] = {' '};
    std::memcpy(b, bytes.data(), bytes.size() < 15 ? bytes.size() : 15);
    const std::string_view area(b, sizeof b);
    for (const FormatDescriptor* d : kFormats)
        if (d->detect(area))
            return d->format;
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
