// Our own voice detector over FFTW spectra. Speech shows as energy in the
// speech band (300-3400 Hz) standing above a floor that follows the film's
// background, spread over many bands at once and coming and going at the
// pace of syllables; steady noise is flat and stays near the floor, held
// notes of music sink into it. A short hangover bridges the gaps between
// words.
#include "media/voice_detector.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <numbers>
#include <vector>

namespace zv::media {

std::unique_ptr<VoiceDetector> MakeWebRtcDetector();

namespace {

constexpr int kWindow = 256; // 32 ms at kDetectorRate: a pitch period or two of any voice
constexpr int kBins = kWindow / 2 + 1;
constexpr int kBands = 16;
constexpr double kLowHz = 300;
constexpr double kHighHz = 3400;

// FFTW's planner is not thread-safe; both halves of a film plan at once.
std::mutex& PlannerLock()
{
    static std::mutex lock;
    return lock;
}

class SpectralDetector final : public VoiceDetector {
public:
    SpectralDetector()
    {
        in_ = fftwf_alloc_real(kWindow);
        out_ = fftwf_alloc_complex(kBins);
        {
            const std::lock_guard guard(PlannerLock());
            plan_ = fftwf_plan_dft_r2c_1d(kWindow, in_, out_, FFTW_ESTIMATE);
        }
        for (int i = 0; i < kWindow; ++i)
            hann_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (kWindow - 1)));
        // Bands spaced evenly on a log scale, as hearing and formants are.
        for (int b = 0; b <= kBands; ++b) {
            const double hz = kLowHz * std::pow(kHighHz / kLowHz, static_cast<double>(b) / kBands);
            edges_[b] = static_cast<int>(std::lround(hz * kWindow / kDetectorRate));
        }
        for (int b = 0; b < kBands; ++b)
            edges_[b + 1] = std::max(edges_[b + 1], edges_[b] + 1);
    }

    ~SpectralDetector() override
    {
        {
            const std::lock_guard guard(PlannerLock());
            fftwf_destroy_plan(plan_);
        }
        fftwf_free(in_);
        fftwf_free(out_);
    }

    SpectralDetector(const SpectralDetector&) = delete;
    SpectralDetector& operator=(const SpectralDetector&) = delete;

    float Next(std::span<const float> frame) override
    {
        std::copy(history_.begin() + static_cast<long>(frame.size()), history_.end(), history_.begin());
        std::copy(frame.begin(), frame.end(), history_.end() - static_cast<long>(frame.size()));
        for (int i = 0; i < kWindow; ++i)
            in_[i] = history_[static_cast<std::size_t>(i)] * hann_[i];
        fftwf_execute(plan_);

        std::array<double, kBins> power{};
        for (int k = 0; k < kBins; ++k)
            power[k] = static_cast<double>(out_[k][0]) * out_[k][0] + static_cast<double>(out_[k][1]) * out_[k][1];

        // Level per band over the floor, and how peaky the speech band is.
        double excess = 0;
        double logSum = 0;
        double linSum = 0;
        int count = 0;
        for (int b = 0; b < kBands; ++b) {
            double sum = 0;
            for (int k = edges_[b]; k < edges_[b + 1]; ++k) {
                sum += power[k];
                logSum += std::log(power[k] + 1e-12);
                linSum += power[k];
                ++count;
            }
            const double level = 10 * std::log10(sum / (edges_[b + 1] - edges_[b]) + 1e-10);
            smooth_[b] = started_ ? 0.6 * smooth_[b] + 0.4 * level : level;
            if (!started_ || smooth_[b] < floor_[b])
                floor_[b] = smooth_[b];
            else
                floor_[b] += kFloorRise;
            excess += std::clamp(smooth_[b] - floor_[b] - kBandMargin, 0.0, 20.0);
        }
        started_ = true;
        excess /= kBands;
        // Spectral flatness: 1 for white noise, near 0 for the harmonics of
        // a voice.
        const double flatness = std::exp(logSum / count) / (linSum / count + 1e-12);
        const double loud = 10 * std::log10(linSum / count + 1e-10);

        double score = excess - kFlatWeight * flatness;
        if (loud < kSilence)
            score = 0;
        scoreAvg_ = 0.7 * scoreAvg_ + 0.3 * score;
        const double p = 1.0 / (1.0 + std::exp(-(scoreAvg_ - kThreshold) / kSlope));
        if (p >= 0.5)
            hang_ = kHangover;
        else if (hang_ > 0)
            --hang_;
        return static_cast<float>(hang_ > 0 ? std::max(p, 0.5) : p);
    }

private:
    static constexpr double kFloorRise = 0.04;  // dB per 10 ms: background may grow 4 dB a second
    static constexpr double kBandMargin = 3.0;  // dB of a band's own flicker over its floor
    static constexpr double kFlatWeight = 8.0;
    static constexpr double kSilence = -75.0;   // dB: digital near-silence is never speech
    static constexpr double kThreshold = 3.0;
    static constexpr double kSlope = 1.0;
    static constexpr int kHangover = 15;        // steps held after speech: the gap between words

    float* in_ = nullptr;
    fftwf_complex* out_ = nullptr;
    fftwf_plan plan_ = nullptr;
    std::array<float, kWindow> hann_{};
    std::array<float, kWindow> history_{};
    std::array<int, kBands + 1> edges_{};
    std::array<double, kBands> smooth_{};
    std::array<double, kBands> floor_{};
    bool started_ = false;
    double scoreAvg_ = 0;
    int hang_ = 0;
};

} // namespace

std::unique_ptr<VoiceDetector> MakeVoiceDetector(SpeechDetector kind)
{
    if (kind == SpeechDetector::WebRtc)
        return MakeWebRtcDetector();
    return std::make_unique<SpectralDetector>();
}

} // namespace zv::media
