// MicroDvd: {start}{end}text, numbers are frames, "|" separates the rows.
#include "engine/formats/bracket_format.h"
#include "engine/formats/formats.h"

namespace zv {

std::unique_ptr<FormatHandler> MakeMicroDvdHandler(Context& ctx)
{
    return std::make_unique<BracketFormatHandler>(ctx, SubtitleFormat::MicroDvd, '{', '}');
}

} // namespace zv
