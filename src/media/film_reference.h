// A film's speech as the reference the engine lines subtitles up with. Kept
// in a header of its own so the command line and the desktop convert alike;
// the media library itself never depends on the engine.
#pragma once

#include "engine/operations/piecewise_sync.h"
#include "media/speech_signal.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace zv::media {

// The detector's values at the engine's step: copied when the steps agree,
// else each engine step takes the value nearest its time.
inline zv::SpeechSignal EngineSignalOf(const SpeechSignal& signal)
{
    zv::SpeechSignal out;
    if (signal.step <= 0 || signal.values.empty())
        return out;
    if (std::abs(signal.step - zv::SpeechSignal::kStepSeconds) < 1e-9) {
        out.level = signal.values;
        return out;
    }
    const auto steps = static_cast<std::size_t>(signal.Duration() / zv::SpeechSignal::kStepSeconds);
    out.level.resize(steps);
    for (std::size_t i = 0; i < steps; ++i) {
        const double t = (static_cast<double>(i) + 0.5) * zv::SpeechSignal::kStepSeconds;
        const auto k = static_cast<std::size_t>(t / signal.step);
        out.level[i] = signal.values[std::min(k, signal.values.size() - 1)];
    }
    return out;
}

inline zv::SpeechSignal EngineSignalOf(SpeechSignal&& signal)
{
    if (std::abs(signal.step - zv::SpeechSignal::kStepSeconds) < 1e-9) {
        zv::SpeechSignal out;
        out.level = std::move(signal.values);
        return out;
    }
    return EngineSignalOf(static_cast<const SpeechSignal&>(signal));
}

} // namespace zv::media
