#include "engine/formats/formats.h"

namespace zv {

std::unique_ptr<FormatHandler> MakeTmPlayerHandler(Context& ctx)
{
    (void)ctx;
    return nullptr;
}

std::unique_ptr<FormatHandler> MakeTmPlayerShortHandler(Context& ctx)
{
    (void)ctx;
    return nullptr;
}

} // namespace zv
