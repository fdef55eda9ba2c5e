// Where people speak, at 10 ms steps.
#pragma once

#include <cstddef>
#include <vector>

namespace zv::media {

struct SpeechRun {
    double start = 0; // seconds
    double end = 0;
};

struct SpeechSignal {
    static constexpr double kStep = 0.01; // seconds per value
    double step = kStep;
    // One value per step from the film's start: how sure the detector is
    // that someone speaks there, 0 to 1; 0.5 and above counts as speech. 0
    // also where nothing decoded.
    std::vector<float> values;

    double Duration() const { return step * static_cast<double>(values.size()); }
};

// Runs of speech where the signal reaches threshold. Gaps shorter than
// bridge seconds are joined, then runs shorter than shortest dropped.
std::vector<SpeechRun> SpeechRuns(const SpeechSignal& signal, float threshold = 0.5f, double bridge = 0.2,
                                  double shortest = 0.1);

} // namespace zv::media
