// The AVI reader on arbitrary bytes: it must refuse or read them without
// reading outside the buffer, allocating from a size in the file or walking
// forever.
#include "fuzz/fuzz_harness.h"

#include "engine/film/avi_info.h"

namespace zv::fuzz {

int FuzzAviInfo(const std::uint8_t* data, std::size_t size)
{
    AviInfo info;
    if (ParseAviInfo(data, size, info))
        (void)AviFramesPerSecond(info);
    return 0;
}

} // namespace zv::fuzz
