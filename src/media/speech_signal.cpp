#include "media/speech_signal.h"

namespace zv::media {

std::vector<SpeechRun> SpeechRuns(const SpeechSignal& signal, float threshold, double bridge, double shortest)
{
    std::vector<SpeechRun> runs;
    const std::vector<float>& v = signal.values;
    std::size_t i = 0;
    while (i < v.size()) {
        if (v[i] < threshold) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < v.size() && v[j] >= threshold)
            ++j;
        const SpeechRun run{signal.step * static_cast<double>(i), signal.step * static_cast<double>(j)};
        if (!runs.empty() && run.start - runs.back().end < bridge)
            runs.back().end = run.end;
        else
            runs.push_back(run);
        i = j;
    }
    std::erase_if(runs, [&](const SpeechRun& r) { return r.end - r.start < shortest; });
    return runs;
}

} // namespace zv::media
