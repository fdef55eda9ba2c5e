#include "app/copy_over.h"

#include "engine/io/save_result.h"

namespace zv::app {

bool SaveWithRetry(zv::Context& ctx, const std::string& result, const zv::TextStyle& style,
                   const std::string& target)
{
    for (;;) {
        const zv::SaveOutcome saved = zv::SaveResult(ctx, result, style, target);
        if (saved.saved)
            return true;
        if (!saved.styled) {
            ctx.host.Message(saved.errorText, ctx.Text(52), zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::Frame);
            return false;
        }
        std::string text = saved.errorText;
        if (text.size() > 1024)
            text.resize(1024);
        if (ctx.host.Message(text, ctx.Text(52), zv::Buttons::RetryCancel, zv::Icon::Stop, zv::Owner::None) !=
            zv::Answer::Retry)
            return false;
    }
}

} // namespace zv::app
