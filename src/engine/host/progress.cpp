#include "engine/host/progress.h"

namespace zv {

ProgressPass::ProgressPass(Context& ctx) : ctx_(ctx), window_(ctx.host.StartProgressWindow())
{
    if (window_) {
        window_->SetOkEnabled(false);
        window_->SetCaption(ctx_.Text(37));
    }
}

void ProgressPass::SetGroupText(const std::string& text)
{
    if (window_)
        window_->SetGroupText(text);
}

void ProgressPass::Percent(std::uint64_t done, std::uint64_t total)
{
    if (total == 0)
        return;
    SetPercent(static_cast<int>(done * 100 / total));
}

void ProgressPass::SetPercent(int percent)
{
    if (percent == lastPercent_ || !window_)
        return;
    lastPercent_ = percent;
    window_->SetPercent(percent);
}

void ProgressPass::Complete(const std::string& status)
{
    if (!window_)
        return;
    window_->SetStatusText(status);
    window_->SetOkEnabled(true);
    window_->SetCaption(ctx_.Text(24));
    window_.reset();
}

void ProgressPass::Cancel()
{
    if (!window_)
        return;
    window_->End();
    window_.reset();
}

} // namespace zv
