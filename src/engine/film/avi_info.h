// AVI information: what the AVI dialog and `zentavo-cli avi-info` show of a
// video, read from its RIFF headers without touching the movie data.
#pragma once

#include "engine/context.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zv {

struct AviInfo {
    std::uint32_t maxBytesPerSecond = 0; // main header
    std::uint32_t streams = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t scale = 0; // first video stream header
    std::uint32_t rate = 0;
    std::uint32_t length = 0; // frames of that stream
    std::string fileType;     // the RIFF form type, trailing blanks dropped ("AVI")
};

// Random access to the bytes of a video. Read fills exactly n bytes at offset
// or fails.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    virtual bool Read(std::uint64_t offset, unsigned char* to, std::size_t n) = 0;
};

// Walks the RIFF "AVI " tree for the main header and the first video stream
// header. False for anything that is not such a file or is cut short.
bool ParseAviInfo(ByteSource& source, AviInfo& info);
bool ParseAviInfo(const unsigned char* data, std::size_t size, AviInfo& info);

// rate / scale with six decimals, empty when either is 0 (no frame rate).
std::string AviFramesPerSecond(const AviInfo& info);

// Reads the file's information; a file it cannot read is reported with text
// 254 (caption 52) to the owner and gives false.
bool LoadAviInfo(Context& ctx, const std::string& path, AviInfo& info, Owner owner = Owner::Dialog);

} // namespace zv
