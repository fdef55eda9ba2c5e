// WebRTC's voice detection (the audio-processing module's VAD), fed the same
// frames as our own detector so the two can be compared.
#include "media/voice_detector.h"

#include <webrtc/modules/audio_processing/include/audio_processing.h>
#include <webrtc/modules/interface/module_common_types.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zv::media {

namespace {

class WebRtcDetector final : public VoiceDetector {
public:
    WebRtcDetector() : apm_(webrtc::AudioProcessing::Create())
    {
        apm_->voice_detection()->Enable(true);
        apm_->voice_detection()->set_likelihood(webrtc::VoiceDetection::kLowLikelihood);
        apm_->voice_detection()->set_frame_size_ms(10);
    }

    float Next(std::span<const float> frame) override
    {
        frame_.samples_per_channel_ = frame.size();
        frame_.sample_rate_hz_ = kDetectorRate;
        frame_.num_channels_ = 1;
        for (std::size_t i = 0; i < frame.size(); ++i)
            frame_.data_[i] = static_cast<std::int16_t>(std::lround(std::clamp(frame[i], -1.0f, 1.0f) * 32767.0f));
        if (apm_->ProcessStream(&frame_) != webrtc::AudioProcessing::kNoError)
            return 0.0f;
        return apm_->voice_detection()->stream_has_voice() ? 1.0f : 0.0f;
    }

private:
    std::unique_ptr<webrtc::AudioProcessing> apm_;
    webrtc::AudioFrame frame_;
};

} // namespace

std::unique_ptr<VoiceDetector> MakeWebRtcDetector()
{
    return std::make_unique<WebRtcDetector>();
}

} // namespace zv::media
