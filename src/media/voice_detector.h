// Telling speech from music and noise, one 10 ms frame at a time, over mono
// sound at kDetectorRate.
#pragma once

#include <memory>
#include <span>

namespace zv::media {

inline constexpr int kDetectorRate = 8000;                    // Hz: the speech band fits under half of it
inline constexpr int kFrameSamples = kDetectorRate / 100;     // one 10 ms step

enum class SpeechDetector {
    Spectral, // speech-band energy over each band's background, flatness, hangover (the default)
    WebRtc,   // WebRTC's voice detection as Debian ships it
};

class VoiceDetector {
public:
    virtual ~VoiceDetector() = default;
    // The next kFrameSamples samples (-1..1); how sure it is that they hold
    // speech, 0 to 1.
    virtual float Next(std::span<const float> frame) = 0;
};

std::unique_ptr<VoiceDetector> MakeVoiceDetector(SpeechDetector kind);

} // namespace zv::media
