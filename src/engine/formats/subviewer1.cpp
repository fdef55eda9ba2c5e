#include "engine/formats/formats.h"

namespace zv {

std::unique_ptr<FormatHandler> MakeSubViewer1Handler(Context& ctx)
{
    (void)ctx;
    return nullptr;
}

} // namespace zv
