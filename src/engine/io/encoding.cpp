#include "engine/io/encoding.h"

#include <iconv.h>
#include <uchardet.h>

#include <algorithm>
#include <cerrno>
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

// The length of the UTF-8 character the bytes begin with; 0 when they begin
// with none (overlong forms, surrogates and values beyond Unicode included).
std::size_t Utf8SequenceLength(std::string_view bytes)
{
    const auto c = static_cast<unsigned char>(bytes[0]);
    if (c < 0x80)
        return 1;
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
        return 0;
    }
    if (bytes.size() <= more)
        return 0;
    for (std::size_t k = 1; k <= more; ++k) {
        const auto d = static_cast<unsigned char>(bytes[k]);
        if ((d & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (d & 0x3F);
    }
    if ((more == 2 && code < 0x800) || (more == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return more + 1;
}

// "?" in the bytes of the encoding.
std::string QuestionMark(const std::string& encoding)
{
    if (encoding.starts_with("UTF-16"))
        return encoding.ends_with("BE") ? std::string("\0?", 2) : std::string("?\0", 2);
    if (encoding.starts_with("UTF-32"))
        return encoding.ends_with("BE") ? std::string("\0\0\0?", 4) : std::string("?\0\0\0", 4);
    return "?";
}

} // namespace

bool DecodeToUtf8(std::string_view bytes, const std::string& encoding, std::string& utf8)
{
    utf8.clear();
    iconv_t converter = iconv_open("UTF-8", encoding.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    // UTF-8 never takes more than four bytes for the two bytes of a UTF-16 unit.
    utf8.resize(bytes.size() * 2 + 4);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = utf8.data();
    std::size_t outLeft = utf8.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    utf8.resize(utf8.size() - outLeft);
    // A byte the encoding cannot read, or a character cut off by the end.
    return result != static_cast<std::size_t>(-1) && inLeft == 0;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0, length = 0; i < bytes.size(); i += length)
        if ((length = Utf8SequenceLength(bytes.substr(i))) == 0)
            return false;
    return true;
}

std::string EncodeUtf8Text(std::string_view utf8, const std::string& encoding)
{
    iconv_t converter = iconv_open(encoding.empty() ? "UTF-8" : encoding.c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        converter = iconv_open("UTF-8", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string(utf8);
    std::string encoded;
    char block[256];
    std::size_t done = 0;
    for (bool flushed = false; !flushed;) {
        char* out = block;
        std::size_t outLeft = sizeof block;
        std::size_t result = 0;
        if (done < utf8.size()) {
            // iconv takes its input through a non-const pointer but only reads it.
            char* in = const_cast<char*>(utf8.data()) + done;
            std::size_t inLeft = utf8.size() - done;
            result = iconv(converter, &in, &inLeft, &out, &outLeft);
            done = utf8.size() - inLeft;
        } else {
            // Back to the initial shift state, for encodings that have one.
            result = iconv(converter, nullptr, nullptr, &out, &outLeft);
            flushed = true;
        }
        const int error = errno;
        encoded.append(block, static_cast<std::size_t>(out - block));
        if (result != static_cast<std::size_t>(-1))
            continue;
        if (error == E2BIG) {
            flushed = false;
            continue;
        }
        if (done >= utf8.size())
            break;
        // A character the encoding lacks, or a byte that is no character:
        // a question mark stands for it and the rest goes on. In a wide
        // encoding the mark takes its full width, or every later character
        // would be read out of step.
        encoded += QuestionMark(encoding);
        done += std::max<std::size_t>(1, Utf8SequenceLength(utf8.substr(done)));
    }
    iconv_close(converter);
    return encoded;
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
    if (!name || !*name)
        return {};
    // Mostly UTF-8 with a few stray bytes is what the detector calls UTF-8;
    // those bytes are no UTF-8, so the file is read in a single-byte code page.
    const std::string spelled = Spelled(name);
    return spelled == "UTF-8" ? "Windows-1252" : spelled;
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
