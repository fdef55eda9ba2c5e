// The AVI reader on arbitrary bytes: it must refuse or read them without
// reading outside the buffer, allocating from a size in the file or walking
// forever.
#include "engine/avi_info.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    zv::AviInfo info;
    if (zv::ParseAviInfo(data, size, info))
        (void)zv::AviFramesPerSecond(info);
    return 0;
}
