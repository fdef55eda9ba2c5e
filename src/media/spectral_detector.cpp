// A voice detector over FFTW spectra. Speech shows as energy in the
// speech band (300-3400 Hz) standing above the film's background in many
// bands at once, harmonic rather than flat. The background of each band is
// a low share of its recent levels, so music and noise that go on sink into
// it, while speech, which pauses between lines, stands out. A short
// hangover bridges the gaps between words.
#include "media/spectral_detector.h"

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
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
constexpr double kSilence = -75.0; // dB: digital near-silence is never speech
constexpr int kFloorEvery = 10;    // steps between updates of the background
constexpr double kLowestDb = -120; // the histogram of band levels, in half decibels from here
constexpr int kLevels = 300;

// FFTW's planner is not thread-safe; both halves of a film plan at once.
std::mutex& PlannerLock()
{
    static std::mutex lock;
    return lock;
}

class SpectralDetector final : public VoiceDetector {
public:
    explicit SpectralDetector(const SpectralTuning& tuning) : t_(tuning)
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
        t_.floorWindow = std::max(t_.floorWindow, kFloorEvery);
        for (auto& h : history_)
            h.assign(static_cast<std::size_t>(t_.floorWindow), 0);
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
        std::copy(samples_.begin() + static_cast<long>(frame.size()), samples_.end(), samples_.begin());
        std::copy(frame.begin(), frame.end(), samples_.end() - static_cast<long>(frame.size()));
        for (int i = 0; i < kWindow; ++i)
            in_[i] = samples_[static_cast<std::size_t>(i)] * hann_[i];
        fftwf_execute(plan_);

        std::array<double, kBins> power{};
        for (int k = 0; k < kBins; ++k)
            power[k] = static_cast<double>(out_[k][0]) * out_[k][0] + static_cast<double>(out_[k][1]) * out_[k][1];

        double logSum = 0;
        double linSum = 0;
        int count = 0;
        std::array<double, kBands> level{};
        for (int b = 0; b < kBands; ++b) {
            double sum = 0;
            for (int k = edges_[b]; k < edges_[b + 1]; ++k) {
                sum += power[k];
                // Single precision is plenty for a flatness and is much the
                // cheaper: this is the detector's hottest line.
                logSum += static_cast<double>(std::log(static_cast<float>(power[k]) + 1e-12f));
                ++count;
            }
            linSum += sum;
            level[b] = 10 * std::log10(sum / (edges_[b + 1] - edges_[b]) + 1e-10);
        }
        UpdateBackground(level);
        double excess = 0;
        for (int b = 0; b < kBands; ++b)
            excess += std::clamp(level[b] - floor_[b] - t_.bandMargin, 0.0, 20.0);
        excess /= kBands;
        // Spectral flatness: 1 for white noise, near 0 for the harmonics of
        // a voice.
        const double flatness = std::exp(logSum / count) / (linSum / count + 1e-12);
        const double loud = 10 * std::log10(linSum / count + 1e-10);

        double score = excess - t_.flatWeight * flatness;
        if (loud < kSilence)
            score = 0;
        score_ = (1 - t_.smoothing) * score_ + t_.smoothing * score;
        const double p = 1.0 / (1.0 + std::exp(-(score_ - t_.threshold) / t_.slope));
        if (p >= 0.5)
            hang_ = t_.hangover;
        else if (hang_ > 0)
            --hang_;
        return static_cast<float>(hang_ > 0 ? std::max(p, 0.5) : p);
    }

private:
    // Keeps each band's recent levels, counted in a histogram of half
    // decibels, and every few steps takes the low share of them as its
    // background. Until the window has filled, the levels seen so far serve.
    void UpdateBackground(const std::array<double, kBands>& level)
    {
        const auto window = static_cast<std::size_t>(t_.floorWindow);
        const bool full = seen_ == window;
        for (int b = 0; b < kBands; ++b) {
            const int bin = std::clamp(static_cast<int>(std::lround((level[b] - kLowestDb) * 2)), 0, kLevels - 1);
            if (full)
                --counts_[b][static_cast<std::size_t>(history_[b][next_])];
            history_[b][next_] = static_cast<std::uint16_t>(bin);
            ++counts_[b][static_cast<std::size_t>(bin)];
        }
        next_ = (next_ + 1) % window;
        seen_ = std::min(seen_ + 1, window);
        if (++sinceFloor_ < kFloorEvery && seen_ > kFloorEvery)
            return;
        sinceFloor_ = 0;
        const auto rank = static_cast<std::size_t>(t_.floorShare * static_cast<double>(seen_ - 1));
        for (int b = 0; b < kBands; ++b) {
            std::size_t below = 0;
            int bin = 0;
            while (bin < kLevels - 1 && below + counts_[b][static_cast<std::size_t>(bin)] <= rank)
                below += counts_[b][static_cast<std::size_t>(bin++)];
            floor_[b] = kLowestDb + bin * 0.5;
        }
    }

    SpectralTuning t_;
    float* in_ = nullptr;
    fftwf_complex* out_ = nullptr;
    fftwf_plan plan_ = nullptr;
    std::array<float, kWindow> hann_{};
    std::array<float, kWindow> samples_{};
    std::array<int, kBands + 1> edges_{};
    std::array<std::vector<std::uint16_t>, kBands> history_;
    std::array<std::array<std::uint32_t, kLevels>, kBands> counts_{};
    std::size_t next_ = 0;
    std::size_t seen_ = 0;
    int sinceFloor_ = 0;
    std::array<double, kBands> floor_{};
    double score_ = 0;
    int hang_ = 0;
};

} // namespace

std::unique_ptr<VoiceDetector> MakeSpectralDetector(const SpectralTuning& tuning)
{
    return std::make_unique<SpectralDetector>(tuning);
}

std::unique_ptr<VoiceDetector> MakeVoiceDetector(SpeechDetector kind)
{
    if (kind == SpeechDetector::WebRtc)
        return MakeWebRtcDetector();
    return MakeSpectralDetector();
}

} // namespace zv::media
