#include "engine/formats/formats.h"

namespace zv {

std::unique_ptr<FormatHandler> MakeSsaHandler(Context& ctx)
{
    (void)ctx;
    return nullptr;
}

} // namespace zv
