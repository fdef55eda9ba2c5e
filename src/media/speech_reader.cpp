#include "media/speech_reader.h"

#include "media/media_input.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace zv::media {

namespace {

constexpr std::int64_t kNoEnd = std::numeric_limits<std::int64_t>::max();
// A film shorter than this is read by one worker: a second would spend more
// on opening and warming up than it saves.
constexpr double kShortestSplit = 60.0;
// The second half's detector listens this long before its first step
// counts, so its background has settled by the seam (the spectral
// detector's window).
constexpr std::int64_t kWarmUpSteps = 1000;
// A far shorter resampling filter than FFmpeg's default: the detector looks
// at band energies, and a little aliasing from above 4 kHz costs it nothing
// measurable, while the default filter costs a fifth of the run.
constexpr int kResampleTaps = 4;

struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrCloser {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FrameCloser {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketCloser {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

// One demuxer and decoder reading the steps [begin, end) of one track.
class HalfReader {
public:
    // expected: the steps the film should give, so the signal is sized once.
    HalfReader(SpeechDetector kind, std::int64_t begin, std::int64_t end, std::int64_t expected)
        : detector_(MakeVoiceDetector(kind)), begin_(begin), end_(end), position_(begin)
    {
        pending_.reserve(kFrameSamples);
        const std::int64_t steps = std::min(end, expected + 100) - begin;
        if (steps > 0 && steps < 100'000'000)
            values_.reserve(static_cast<std::size_t>(steps));
    }
    ~HalfReader()
    {
        av_channel_layout_uninit(&inLayout_);
        av_channel_layout_uninit(&frameLayout_);
    }
    HalfReader(const HalfReader&) = delete;
    HalfReader& operator=(const HalfReader&) = delete;

    // Readies the decoder for the stream; false with message otherwise.
    bool Open(FormatPtr ic, int streamIndex, double startTime, std::string& message)
    {
        ic_ = std::move(ic);
        index_ = streamIndex;
        startTime_ = startTime;
        // Nobody needs the picture or the other tracks: the demuxer skips
        // their packets instead of handing them out.
        for (unsigned i = 0; i < ic_->nb_streams; ++i)
            ic_->streams[i]->discard = static_cast<int>(i) == index_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        const AVStream* st = ic_->streams[index_];
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        if (!codec) {
            message = std::string("no decoder for the sound track's codec ") + avcodec_get_name(st->codecpar->codec_id);
            return false;
        }
        codec_.reset(avcodec_alloc_context3(codec));
        if (!codec_ || avcodec_parameters_to_context(codec_.get(), st->codecpar) < 0) {
            message = "cannot set up the sound track's decoder";
            return false;
        }
        codec_->pkt_timebase = st->time_base;
        codec_->thread_count = 1;
        AVDictionary* opts = nullptr;
        // Decoders that can mix many channels down themselves (AC-3, DTS)
        // spare the work of decoding every one of them.
        av_dict_set(&opts, "downmix", "stereo", 0);
        const int r = avcodec_open2(codec_.get(), codec, &opts);
        av_dict_free(&opts);
        if (r < 0) {
            message = "cannot open the sound track's decoder: " + AvErrorText(r);
            return false;
        }
        frame_.reset(av_frame_alloc());
        packet_.reset(av_packet_alloc());
        if (!frame_ || !packet_) {
            message = "out of memory";
            return false;
        }
        return true;
    }

    // Moves to a little before begin, for the detector to warm up. The
    // demuxer lands on a key frame of the picture at or before that, which
    // in a film of one still picture may be its start: packets before the
    // warm-up are then read past without being decoded.
    bool Seek()
    {
        warmFrom_ = std::max(0.0, static_cast<double>(begin_ - kWarmUpSteps) * SpeechSignal::kStep);
        const auto ts = static_cast<std::int64_t>((warmFrom_ + startTime_) * AV_TIME_BASE);
        return avformat_seek_file(ic_.get(), -1, std::numeric_limits<std::int64_t>::min(), ts, ts, 0) >= 0;
    }

    void Run(const std::atomic<bool>& stop)
    {
        try {
            Read(stop);
        } catch (const std::bad_alloc&) {
            outOfMemory_ = true;
        }
    }

    std::int64_t Position() const { return position_.load(std::memory_order_relaxed); }
    std::int64_t Begin() const { return begin_; }
    std::vector<float>& Values() { return values_; }
    std::int64_t Produced() const { return produced_; }
    bool Faulty() const { return decodeErrors_ > 0 || readError_; }
    bool OutOfMemory() const { return outOfMemory_; }

private:
    void Read(const std::atomic<bool>& stop)
    {
        while (!done_) {
            if (stop.load(std::memory_order_relaxed))
                return;
            const int r = av_read_frame(ic_.get(), packet_.get());
            if (r == AVERROR(EAGAIN))
                continue;
            if (r < 0) {
                readError_ = r != AVERROR_EOF;
                break;
            }
            if (packet_->stream_index == index_ && !Early(*packet_))
                Decode(packet_.get());
            av_packet_unref(packet_.get());
        }
        if (!done_)
            Decode(nullptr);
        if (swr_ && !done_) {
            // What the resampler still holds.
            std::vector<float> tail(static_cast<std::size_t>(swr_get_out_samples(swr_.get(), 0)) + 1);
            float* out = tail.data();
            const int n = swr_convert(swr_.get(), reinterpret_cast<std::uint8_t**>(&out), static_cast<int>(tail.size()),
                                      nullptr, 0);
            if (n > 0)
                Push(tail.data(), n);
        }
    }

    // A packet well before the warm-up (a second of margin, for the
    // decoder's own preroll).
    bool Early(const AVPacket& packet) const
    {
        if (warmFrom_ <= 0 || packet.pts == AV_NOPTS_VALUE)
            return false;
        const double t = static_cast<double>(packet.pts) * av_q2d(ic_->streams[index_]->time_base) - startTime_;
        return t < warmFrom_ - 1.0;
    }

    void Decode(const AVPacket* packet)
    {
        int r = avcodec_send_packet(codec_.get(), packet);
        if (r < 0 && r != AVERROR_EOF && packet)
            ++decodeErrors_;
        while ((r = avcodec_receive_frame(codec_.get(), frame_.get())) >= 0) {
            Take(*frame_);
            av_frame_unref(frame_.get());
            if (done_)
                return;
        }
        if (r != AVERROR(EAGAIN) && r != AVERROR_EOF)
            ++decodeErrors_;
    }

    void Take(const AVFrame& frame)
    {
        const AVStream* st = ic_->streams[index_];
        if (frame.best_effort_timestamp != AV_NOPTS_VALUE) {
            const double t = static_cast<double>(frame.best_effort_timestamp) * av_q2d(st->time_base) - startTime_;
            const auto at = static_cast<std::int64_t>(std::llround(t * kDetectorRate));
            // A jump in the timestamps (a gap in a damaged file, a seek)
            // moves the steps with it; small jitter does not.
            if (!aligned_ || std::llabs(at - samplePos_) > kDetectorRate / 20)
                Realign(at);
        } else if (!aligned_) {
            Realign(begin_ * kFrameSamples);
        }
        if (!Resampler(frame))
            return;
        // Room for all the resampler can give: what it leaves behind for
        // want of room comes out later, each frame a little later than the
        // last, and the steps would drift from the film's clock.
        const auto room = static_cast<int>(
            av_rescale_rnd(swr_get_delay(swr_.get(), inRate_) + frame.nb_samples, kDetectorRate, inRate_, AV_ROUND_UP) +
            kFrameSamples);
        buffer_.resize(static_cast<std::size_t>(room));
        float* out = buffer_.data();
        const int n = swr_convert(swr_.get(), reinterpret_cast<std::uint8_t**>(&out), room,
                                  const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
        if (n < 0) {
            ++decodeErrors_;
            return;
        }
        Push(buffer_.data(), n);
    }

    // A resampler to mono at the detector's rate for the frame's layout.
    bool Resampler(const AVFrame& frame)
    {
        if (swr_ && frame.format == inFormat_ && frame.sample_rate == inRate_ &&
            av_channel_layout_compare(&frame.ch_layout, &frameLayout_) == 0)
            return true;
        swr_.reset();
        av_channel_layout_uninit(&frameLayout_);
        av_channel_layout_uninit(&inLayout_);
        if (av_channel_layout_copy(&frameLayout_, &frame.ch_layout) < 0)
            return false;
        // A file that does not say which channel is which (WAV without a
        // mask) gets the usual layout for its count.
        if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&inLayout_, frame.ch_layout.nb_channels);
        else if (av_channel_layout_copy(&inLayout_, &frame.ch_layout) < 0)
            return false;
        inFormat_ = frame.format;
        inRate_ = frame.sample_rate;
        SwrContext* s = nullptr;
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        if (swr_alloc_set_opts2(&s, &mono, AV_SAMPLE_FMT_FLT, kDetectorRate, &inLayout_,
                                static_cast<AVSampleFormat>(inFormat_), inRate_, 0, nullptr) < 0 ||
            av_opt_set_int(s, "filter_size", kResampleTaps, 0) < 0 || swr_init(s) < 0) {
            swr_free(&s);
            ++decodeErrors_;
            return false;
        }
        swr_.reset(s);
        return true;
    }

    void Realign(std::int64_t sample)
    {
        aligned_ = true;
        pending_.clear();
        // The step that starts at or after the sample; what comes before it
        // is skipped.
        step_ = sample >= 0 ? (sample + kFrameSamples - 1) / kFrameSamples : -((-sample) / kFrameSamples);
        skip_ = step_ * kFrameSamples - sample;
        samplePos_ = sample;
    }

    void Push(const float* samples, int count)
    {
        const std::int64_t skipped = std::min<std::int64_t>(skip_, count);
        skip_ -= skipped;
        samplePos_ += skipped;
        auto i = static_cast<std::size_t>(skipped);
        const auto end = static_cast<std::size_t>(count);
        while (i < end && !done_) {
            const std::size_t take = std::min(end - i, static_cast<std::size_t>(kFrameSamples) - pending_.size());
            pending_.insert(pending_.end(), samples + i, samples + i + take);
            i += take;
            samplePos_ += static_cast<std::int64_t>(take);
            if (pending_.size() == static_cast<std::size_t>(kFrameSamples)) {
                Emit();
                pending_.clear();
                ++step_;
            }
        }
    }

    void Emit()
    {
        const float value = detector_->Next(pending_);
        if (step_ >= end_) {
            done_ = true;
            return;
        }
        if (step_ < begin_)
            return;
        const auto slot = static_cast<std::size_t>(step_ - begin_);
        if (slot >= values_.size())
            values_.resize(slot + 1, 0.0f);
        values_[slot] = value;
        ++produced_;
        position_.store(step_, std::memory_order_relaxed);
    }

    std::unique_ptr<VoiceDetector> detector_;
    FormatPtr ic_;
    int index_ = -1;
    double startTime_ = 0;
    double warmFrom_ = 0; // seconds: where a seeking reader's detector starts listening
    std::unique_ptr<AVCodecContext, CodecCloser> codec_;
    std::unique_ptr<SwrContext, SwrCloser> swr_;
    std::unique_ptr<AVFrame, FrameCloser> frame_;
    std::unique_ptr<AVPacket, PacketCloser> packet_;
    AVChannelLayout frameLayout_{}; // as the decoder gives it
    AVChannelLayout inLayout_{};    // as the resampler takes it
    int inFormat_ = -1;
    int inRate_ = 0;

    const std::int64_t begin_;
    const std::int64_t end_;
    std::atomic<std::int64_t> position_;
    std::vector<float> buffer_;
    std::vector<float> pending_;
    std::vector<float> values_;
    bool aligned_ = false;
    std::int64_t samplePos_ = 0;
    std::int64_t step_ = 0;
    std::int64_t skip_ = 0;
    std::int64_t produced_ = 0;
    int decodeErrors_ = 0;
    bool readError_ = false;
    bool outOfMemory_ = false;
    bool done_ = false;
};

SpeechReading Failed(MediaStatus status, std::string message)
{
    SpeechReading r;
    r.status = status;
    r.message = std::move(message);
    return r;
}

// Runs the readers side by side; the caller's thread reports progress and
// watches for cancellation. False when cancelled.
bool RunReaders(std::vector<std::unique_ptr<HalfReader>>& readers, std::int64_t totalSteps,
                const SpeechOptions& options)
{
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::condition_variable finished;
    std::size_t done = 0;
    std::vector<std::thread> threads;
    threads.reserve(readers.size());
    for (auto& reader : readers)
        threads.emplace_back([&, r = reader.get()] {
            r->Run(stop);
            const std::lock_guard guard(lock);
            ++done;
            finished.notify_one();
        });

    // The first word comes at once, so a caller can stop even a run that
    // ends before the first tick.
    int shown = 0;
    if (options.progress && !options.progress(0))
        stop = true;
    for (;;) {
        std::unique_lock wait(lock);
        finished.wait_for(wait, std::chrono::milliseconds(50), [&] { return done == readers.size(); });
        const bool all = done == readers.size();
        wait.unlock();
        if (all)
            break;
        if (options.cancel && options.cancel->load())
            stop = true;
        if (options.progress && !stop && totalSteps > 0) {
            std::int64_t covered = 0;
            for (const auto& r : readers)
                covered += std::max<std::int64_t>(0, r->Position() - r->Begin());
            const int percent = static_cast<int>(std::min<std::int64_t>(99, covered * 100 / totalSteps));
            if (percent != shown) {
                shown = percent;
                if (!options.progress(percent))
                    stop = true;
            }
        }
    }
    for (std::thread& t : threads)
        t.join();
    if (stop || (options.cancel && options.cancel->load()))
        return false;
    if (options.progress)
        options.progress(100);
    return true;
}

SpeechReading Read(const std::string& path, const SpeechOptions& options)
{
    OpenedMedia first = OpenMedia(path);
    if (first.status != MediaStatus::Ok)
        return Failed(first.status, first.message);
    const std::size_t count = first.tracks.size();
    if (options.track < 0 || static_cast<std::size_t>(options.track) > count)
        return Failed(MediaStatus::NoSuchTrack, "there is no sound track " + std::to_string(options.track) +
                                                    "; the film has " + std::to_string(count));
    const AudioTrack track = first.tracks[options.track == 0 ? 0 : static_cast<std::size_t>(options.track - 1)];
    const double duration = track.duration > 0 ? track.duration : first.duration;
    const double startTime = first.startTime;

    std::vector<std::unique_ptr<HalfReader>> readers;
    std::string message;
    // On a single core a second decoder would only take turns with the first.
    const bool split = options.workers > 1 && std::thread::hardware_concurrency() != 1 && duration >= kShortestSplit;
    const auto middle = static_cast<std::int64_t>(duration / 2 / SpeechSignal::kStep);
    const auto totalSteps = static_cast<std::int64_t>(duration / SpeechSignal::kStep);
    auto whole = std::make_unique<HalfReader>(options.detector, 0, split ? middle : kNoEnd, totalSteps);
    if (!whole->Open(std::move(first.ic), track.streamIndex, startTime, message))
        return Failed(MediaStatus::CannotDecode, message);
    readers.push_back(std::move(whole));
    if (split) {
        // The second half gets its own demuxer; when it cannot seek there,
        // the first reader goes on to the end alone.
        OpenedMedia second = OpenMedia(path);
        auto half = std::make_unique<HalfReader>(options.detector, middle, kNoEnd, totalSteps);
        std::string ignored;
        if (second.status == MediaStatus::Ok && half->Open(std::move(second.ic), track.streamIndex, startTime, ignored) &&
            half->Seek()) {
            readers.push_back(std::move(half));
        } else {
            readers.front() = std::make_unique<HalfReader>(options.detector, 0, kNoEnd, totalSteps);
            OpenedMedia again = OpenMedia(path);
            if (again.status != MediaStatus::Ok ||
                !readers.front()->Open(std::move(again.ic), track.streamIndex, startTime, message))
                return Failed(MediaStatus::CannotDecode, message);
        }
    }

    if (!RunReaders(readers, totalSteps, options))
        return Failed(MediaStatus::Cancelled, "cancelled");

    SpeechReading result;
    result.track = track.number;
    result.duration = duration;
    std::int64_t produced = 0;
    bool faulty = false;
    for (const auto& r : readers) {
        if (r->OutOfMemory())
            return Failed(MediaStatus::CannotDecode, "out of memory");
        produced += r->Produced();
        faulty = faulty || r->Faulty();
    }
    if (produced == 0)
        return Failed(MediaStatus::CannotDecode, "nothing of the sound track decoded");
    std::vector<float>& values = result.signal.values;
    values = std::move(readers.front()->Values());
    if (readers.size() > 1) {
        const std::vector<float>& rest = readers.back()->Values();
        values.reserve(static_cast<std::size_t>(middle) + rest.size());
        values.resize(static_cast<std::size_t>(middle), 0.0f);
        values.insert(values.end(), rest.begin(), rest.end());
    }
    result.decoded = static_cast<double>(produced) * SpeechSignal::kStep;
    const bool shortened = duration > 0 && result.decoded < duration - std::max(1.0, duration * 0.01);
    if (faulty || shortened) {
        result.status = MediaStatus::Damaged;
        result.message = "the sound track is damaged: " + std::to_string(static_cast<long>(result.decoded)) +
                         " of " + std::to_string(static_cast<long>(duration)) + " seconds decoded";
    }
    return result;
}

} // namespace

SpeechReading ReadSpeech(const std::string& path, const SpeechOptions& options)
{
    try {
        return Read(path, options);
    } catch (const std::bad_alloc&) {
        return Failed(MediaStatus::CannotDecode, "out of memory");
    } catch (const std::exception& e) {
        return Failed(MediaStatus::CannotDecode, e.what());
    }
}

} // namespace zv::media
