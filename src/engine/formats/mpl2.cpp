// Mpl2: [start][end]text, numbers are tenths of a second.
#include "engine/formats/bracket_format.h"
#include "engine/formats/formats.h"

namespace zv {

std::unique_ptr<FormatHandler> MakeMpl2Handler(Context& ctx)
{
    return std::make_unique<BracketFormatHandler>(ctx, SubtitleFormat::Mpl2, '[', ']');
}

} // namespace zv
