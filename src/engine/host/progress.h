// The progress protocol every long pass follows: window up with its OK
// disabled, percentages while working, then the summary and an enabled OK (or
// the window ended by the pass on a cancel).
#pragma once

#include "engine/context.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zv {

class ProgressPass {
public:
    explicit ProgressPass(Context& ctx);
    ProgressPass(const ProgressPass&) = delete;
    ProgressPass& operator=(const ProgressPass&) = delete;

    void SetGroupText(const std::string& text);
    // Sends done*100/total, only when the value changes (a pass over a large
    // file would otherwise repaint the bar for every record).
    void Percent(std::uint64_t done, std::uint64_t total);
    void SetPercent(int percent);
    // Summary in the status field, OK enabled, caption text 24.
    void Complete(const std::string& status);
    // The pass ends the window itself (the user cancelled at a question).
    void Cancel();

private:
    Context& ctx_;
    std::shared_ptr<ProgressWindow> window_;
    int lastPercent_ = -1;
};

} // namespace zv
