// Our own voice detector's settings, apart so they can be tuned against the
// test films. Internal to the library.
#pragma once

#include "media/voice_detector.h"

namespace zv::media {

struct SpectralTuning {
    // The background a band is measured against: this share of its levels
    // over the last floorWindow steps.
    double floorShare = 0.3;
    int floorWindow = 1000;
    double bandMargin = 3.0; // dB of a band's own flicker over its background
    double flatWeight = 8.0; // how much a flat (noise-like) spectrum counts against speech
    double threshold = 4.0;  // mean dB over the background where speech is as likely as not
    double slope = 1.0;
    double smoothing = 0.3;  // weight of the newest step in the running score
    int hangover = 15;       // steps held after speech: the gaps between words
};

std::unique_ptr<VoiceDetector> MakeSpectralDetector(const SpectralTuning& tuning = {});

} // namespace zv::media
