// Language texts as the widgets show them.
#pragma once

#include "qt/text_codec.h"
#include "engine/context.h"

#include <QString>

namespace zv::app {

inline QString Tr(const Context& ctx, int number)
{
    return DecodeText(ctx.Text(number));
}

} // namespace zv::app
