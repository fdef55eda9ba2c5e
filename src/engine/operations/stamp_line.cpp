#include "engine/operations/stamp_line.h"

namespace zv {

// Placeholder until the stamp-line engines land: the automatic step adds nothing.
void AutoStampLine(Context& ctx, const std::string& path, int isFrameBased)
{
    (void)ctx;
    (void)path;
    (void)isFrameBased;
}

} // namespace zv
