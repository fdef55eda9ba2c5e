// The handler of each format, made bare (the factory in format_handler.cpp).
#pragma once

#include "engine/format_handler.h"

#include <memory>

namespace zv {

std::unique_ptr<FormatHandler> MakeTmPlayerHandler(Context& ctx);
std::unique_ptr<FormatHandler> MakeTmPlayerShortHandler(Context& ctx);
std::unique_ptr<FormatHandler> MakeMicroDvdHandler(Context& ctx);
std::unique_ptr<FormatHandler> MakeMpl2Handler(Context& ctx);
std::unique_ptr<FormatHandler> MakeSubRipHandler(Context& ctx);
std::unique_ptr<FormatHandler> MakeSubViewer1Handler(Context& ctx);
std::unique_ptr<FormatHandler> MakeSsaHandler(Context& ctx);
std::unique_ptr<FormatHandler> MakeSubViewer2Handler(Context& ctx);

} // namespace zv
