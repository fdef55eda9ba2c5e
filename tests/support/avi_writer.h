// A small RIFF writer for tests: AVI headers with the fields the AVI reader
// shows, and the means to break them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

inline std::string Le32(std::uint32_t v)
{
    return {static_cast<char>(v & 0xff), static_cast<char>(v >> 8 & 0xff), static_cast<char>(v >> 16 & 0xff),
            static_cast<char>(v >> 24 & 0xff)};
}

inline std::string Chunk(const std::string& id, const std::string& body)
{
    std::string c = id + Le32(static_cast<std::uint32_t>(body.size())) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

inline std::string List(const std::string& type, const std::string& body)
{
    return Chunk("LIST", type + body);
}

struct AviFields {
    std::uint32_t maxBytesPerSecond = 1000000;
    std::uint32_t width = 320;
    std::uint32_t height = 240;
    std::uint32_t scale = 1;
    std::uint32_t rate = 25;
    std::uint32_t length = 250;
    bool audio = false;      // an audio stream list before the video one
    std::size_t mainSize = 56;
    std::size_t streamSize = 56;
};

inline std::string MainHeader(const AviFields& f)
{
    std::string h = Le32(40000) + Le32(f.maxBytesPerSecond) + Le32(0) + Le32(0x10) + Le32(f.length) + Le32(0) +
                    Le32(f.audio ? 2 : 1) + Le32(0) + Le32(f.width) + Le32(f.height) + std::string(16, '\0');
    h.resize(f.mainSize, '\0');
    return Chunk("avih", h);
}

inline std::string StreamHeader(const std::string& type, std::uint32_t scale, std::uint32_t rate,
                                std::uint32_t length, std::size_t size)
{
    std::string h = type + std::string(4, '\0') + Le32(0) + Le32(0) + Le32(0) + Le32(scale) + Le32(rate) + Le32(0) +
                    Le32(length) + Le32(0) + Le32(0xffffffff) + Le32(0) + std::string(8, '\0');
    h.resize(size, '\0');
    return Chunk("strh", h);
}

inline std::string AviFile(const AviFields& f = {})
{
    std::string header = MainHeader(f);
    if (f.audio)
        header += List("strl", StreamHeader("auds", 1, 44100, 441000, 56) + Chunk("strf", std::string(18, '\0')));
    header += List("strl", StreamHeader("vids", f.scale, f.rate, f.length, f.streamSize) +
                               Chunk("strf", std::string(40, '\0')));
    const std::string body = "AVI " + List("hdrl", header) + List("movi", Chunk("00dc", "frame")) +
                             Chunk("idx1", std::string(16, '\0'));
    return "RIFF" + Le32(static_cast<std::uint32_t>(body.size())) + body;
}

} // namespace zv::test
