// The libFuzzer entry of one target; ZENTAVO_FUZZ_FUNCTION names it.
#include "fuzz/fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return zv::fuzz::ZENTAVO_FUZZ_FUNCTION(data, size);
}
