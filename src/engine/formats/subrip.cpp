#include "engine/formats/formats.h"

namespace zv {

std::unique_ptr<FormatHandler> MakeSubRipHandler(Context& ctx)
{
    (void)ctx;
    return nullptr;
}

} // namespace zv
