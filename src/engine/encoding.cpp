#include "engine/encoding.h"

#include <uchardet.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace zv {

namespace {

constexpr std::string_view kChoosable[] = {
    "UTF-8",      "Windows-1250", "Windows-1252", "Windows-1251", "ISO-8859-2", "ISO-8859-1",
    "ISO-8859-15", "ISO-8859-5",  "KOI8-R",       "Windows-1253", "Windows-1254", "Windows-1257",
};

// Enough text to tell any subtitle file's encoding.
constexpr std::size_t kSampleSize = 4 << 20;

// Bytes 0x80-0x9F that Windows code pages use for punctuation.
bool IsWindowsPunctuation(unsigned char c)
{
    switch (c) {
    case 0x80: case 0x82: case 0x84: case 0x85: case 0x86: case 0x87: case 0x89: case 0x8B:
    case 0x91: case 0x92: case 0x93: case 0x94: case 0x95: case 0x96: case 0x97: case 0x99: case 0x9B:
        return true;
    default:
        return false;
    }
}

std::string Spelled(std::string name)
{
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
    if (upper == "ASCII")
        return "UTF-8";
    // Latin-1 is a subset of Windows-1252; Mac and DOS code pages are what the
    // detector guesses for a few Windows accents and quotes in English text,
    // not what subtitle files are written in.
    if (upper == "ISO-8859-1" || upper.starts_with("MAC-") || upper.starts_with("IBM"))
        return "Windows-1252";
    if (upper.starts_with("WINDOWS-"))
        return "Windows-" + upper.substr(8);
    return upper;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t more = 0;
        unsigned long code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            if (i + k >= n)
                return false;
            const auto d = static_cast<unsigned char>(bytes[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if ((more == 2 && code < 0x800) || (more == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

std::string DetectEncoding(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return "UTF-8";
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) {
            const auto b = static_cast<unsigned char>(c);
            return b < 0x80 || IsWindowsPunctuation(b);
        }))
        return "Windows-1252";
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(uchardet_new(),
                                                                                          uchardet_delete);
    if (!detector)
        return {};
    uchardet_handle_data(detector.get(), bytes.data(), bytes.size());
    uchardet_data_end(detector.get());
    const char* name = uchardet_get_charset(detector.get());
    return name && *name ? Spelled(name) : std::string();
}

std::string DetectFileEncoding(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return {};
    // Read as far as the file goes: a small file costs no zeroed megabytes.
    std::string sample;
    char block[65536];
    for (std::size_t got; sample.size() < kSampleSize &&
                          (got = std::fread(block, 1, std::min(sizeof block, kSampleSize - sample.size()), f)) > 0;)
        sample.append(block, got);
    std::fclose(f);
    // A sample cut inside a character must not count against UTF-8.
    if (sample.size() == kSampleSize)
        for (int k = 0; k < 3 && !sample.empty() && (static_cast<unsigned char>(sample.back()) & 0x80); ++k)
            sample.pop_back();
    return DetectEncoding(sample);
}

std::span<const std::string_view> ChoosableEncodings()
{
    return kChoosable;
}

} // namespace zv
