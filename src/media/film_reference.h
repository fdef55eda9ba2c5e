// A film's speech as the reference the engine lines subtitles up with. Kept
// in a header of its own so the command line and the desktop convert alike;
// the media library itself never depends on the engine.
#pragma once

#include "engine/operations/piecewise_sync.h"
#include "media/speech_reader.h"
#include "media/speech_signal.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
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

// How much of a damaged film decoded, in whole percent.
inline int DecodedPercent(const SpeechReading& reading)
{
    if (reading.duration <= 0)
        return 0;
    return static_cast<int>(std::floor(std::clamp(reading.decoded / reading.duration, 0.0, 1.0) * 100));
}

using SpeechReaderFunction = std::function<SpeechReading(const std::string&, const SpeechOptions&)>;

struct MovieFinding {
    SpeechReading reading;                  // its signal already handed to the search
    std::optional<zv::PiecewiseFinding> found;  // none when the sound gave no result or was cancelled
};

// The one way both faces line subtitles up with a film: read its speech,
// then search the map with up to mostCuts cuts. The search reports its own
// progress in percent; the reading reports through options.
inline MovieFinding FindMovieTimeMap(const std::string& path, const zv::SubtitleSpeech& target, int mostCuts,
                                     const SpeechOptions& options,
                                     const std::function<void(int percent)>& searchProgress = {},
                                     const SpeechReaderFunction& reader = &ReadSpeech)
{
    MovieFinding out;
    out.reading = reader(path, options);
    if (!HasResult(out.reading.status) || (options.cancel && options.cancel->load()))
        return out;
    out.found = zv::FindPiecewiseTimeMap(target, EngineSignalOf(std::move(out.reading.signal)), mostCuts,
                                         searchProgress);
    return out;
}

} // namespace zv::media
