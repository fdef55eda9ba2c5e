#include "engine/operations/autosync.h"

#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "engine/operations/frame_rate_change.h"
#include "engine/operations/operation_common.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <mutex>

namespace zv {

namespace {

// The speech signals' step: finer than any subtitle timing people notice.
constexpr double kStep = 0.01;
// A film longer than this is cut for the signals (a stray subtitle at ten
// hours must not make the transform gigantic); the map still covers it.
constexpr double kLongestSignal = 6 * 3600;
// A moved target start this near a reference start has found its partner.
constexpr double kPartnerDistance = 0.5;
// Starts that meet this closely after the first fit take part in the second.
constexpr double kFitDistance = 0.25;
// A subtitle without an end time stays up until the next, at most this long.
constexpr double kDefaultDuration = 3;
// Trust: the moved target covers at least this share of the reference's
// speech, and at least this share of what chance leaves uncovered. Two files
// of different films cover about chance; one film with missing lines,
// different splitting and loose timing still covers most of the rest.
constexpr double kTrustedScore = 0.5;
constexpr double kTrustedLift = 0.4;

// The signals are transformed in single precision: the correlation's peak
// only has to be found to within a step or two, and the fine search then
// measures the overlap exactly.

// FFTW's planner keeps global state: plans are made and destroyed one at a
// time, while running a finished plan needs no lock.
std::mutex& PlannerLock()
{
    static std::mutex lock;
    return lock;
}

struct FftwFree {
    void operator()(void* p) const { fftwf_free(p); }
};
template <class T>
using FftwArray = std::unique_ptr<T[], FftwFree>;

template <class T>
FftwArray<T> FftwAllocate(std::size_t count)
{
    return FftwArray<T>(static_cast<T*>(fftwf_malloc(sizeof(T) * count)));
}

class FftwPlan {
public:
    FftwPlan() = default;
    FftwPlan(const FftwPlan&) = delete;
    FftwPlan& operator=(const FftwPlan&) = delete;
    ~FftwPlan()
    {
        if (plan_) {
            const std::lock_guard lock(PlannerLock());
            fftwf_destroy_plan(plan_);
        }
    }
    // Real signal to its half spectrum, and back (the way back scales by n).
    // std::complex<float> is laid out as FFTW's own complex type.
    bool Forward(int n, float* in, std::complex<float>* out)
    {
        const std::lock_guard lock(PlannerLock());
        plan_ = fftwf_plan_dft_r2c_1d(n, in, reinterpret_cast<fftwf_complex*>(out), FFTW_ESTIMATE);
        return plan_ != nullptr;
    }
    bool Backward(int n, std::complex<float>* in, float* out)
    {
        const std::lock_guard lock(PlannerLock());
        plan_ = fftwf_plan_dft_c2r_1d(n, reinterpret_cast<fftwf_complex*>(in), out, FFTW_ESTIMATE);
        return plan_ != nullptr;
    }
    void Execute() const { fftwf_execute(plan_); }

private:
    fftwf_plan plan_ = nullptr;
};

// The smallest length of at least n made of the factors 2, 3 and 5, where
// FFTW is at its fastest.
std::size_t TransformLength(std::size_t n)
{
    std::size_t best = std::size_t{1} << 40;
    for (std::size_t p2 = 1; p2 < best; p2 *= 2)
        for (std::size_t p3 = p2; p3 < best; p3 *= 3)
            for (std::size_t p5 = p3; p5 < best; p5 *= 5)
                if (p5 >= n)
                    best = p5;
    return best;
}

// Sorted, non-overlapping intervals: the time someone is speaking.
using Intervals = std::vector<SpeechSpan>;

// The time both speak once the target is moved by t -> ratio x t + offset.
double Overlap(const Intervals& reference, const Intervals& target, double ratio, double offset)
{
    double total = 0;
    std::size_t i = 0;
    for (const SpeechSpan& t : target) {
        const double start = ratio * t.start + offset;
        const double end = ratio * t.end + offset;
        while (i < reference.size() && reference[i].end <= start)
            ++i;
        for (std::size_t j = i; j < reference.size() && reference[j].start < end; ++j)
            total += std::min(end, reference[j].end) - std::max(start, reference[j].start);
    }
    return total;
}

// Fills signal (zeroed first) with 1 where the moved spans speak.
void FillSignal(float* signal, std::size_t length, const Intervals& spans, double ratio)
{
    std::fill(signal, signal + length, 0.0f);
    for (const SpeechSpan& s : spans) {
        const double first = std::round(ratio * s.start / kStep);
        const double last = std::round(ratio * s.end / kStep);
        const auto from = static_cast<std::size_t>(std::clamp(first, 0.0, static_cast<double>(length)));
        const auto to = static_cast<std::size_t>(std::clamp(last, 0.0, static_cast<double>(length)));
        std::fill(signal + from, signal + std::max(from, to), 1.0f);
    }
}

// The candidate speeds: none, and every known frame-rate change once.
std::vector<double> CandidateRatios()
{
    std::vector<double> ratios{1.0};
    for (const FrameRateChange& change : KnownFrameRateChanges())
        if (std::none_of(ratios.begin(), ratios.end(), [&](double r) { return std::fabs(r - change.ratio) < 1e-9; }))
            ratios.push_back(change.ratio);
    return ratios;
}

struct Candidate {
    double ratio = 1;
    double offset = 0;
    double strength = -1; // overlap against what the two speech times allow
};

// For every candidate ratio, the offset whose overlap is largest, by one
// transform of the reference and a correlation per ratio. Offsets beyond an
// hour either way are not looked at.
Candidate CoarseSearch(const Intervals& reference, const Intervals& target,
                       const std::function<void(int)>& progress)
{
    const std::vector<double> ratios = CandidateRatios();
    const double maxRatio = *std::max_element(ratios.begin(), ratios.end());
    const auto bins = [](double seconds) { return static_cast<std::size_t>(std::ceil(seconds / kStep)) + 1; };
    const std::size_t referenceLength = bins(reference.back().end);
    const std::size_t targetLength = bins(maxRatio * target.back().end);
    const std::size_t reach = bins(kMaxAutoSyncOffset);
    // Long enough that no offset within reach wraps around onto real speech.
    const std::size_t n = TransformLength(std::max(referenceLength, targetLength) + reach);
    const std::size_t half = n / 2 + 1;

    Candidate best;
    auto signal = FftwAllocate<float>(n);
    auto spectrum = FftwAllocate<std::complex<float>>(half);
    auto referenceSpectrum = FftwAllocate<std::complex<float>>(half);
    FftwPlan forward;
    FftwPlan backward;
    if (!signal || !spectrum || !referenceSpectrum || !forward.Forward(static_cast<int>(n), signal.get(), spectrum.get()) ||
        !backward.Backward(static_cast<int>(n), spectrum.get(), signal.get()))
        return best;

    FillSignal(signal.get(), n, reference, 1.0);
    const double referenceSpeech = SpeechLength(reference) / kStep;
    forward.Execute();
    std::copy(spectrum.get(), spectrum.get() + half, referenceSpectrum.get());

    for (std::size_t i = 0; i < ratios.size(); ++i) {
        const double ratio = ratios[i];
        FillSignal(signal.get(), n, target, ratio);
        const double targetSpeech = ratio * SpeechLength(target) / kStep;
        forward.Execute();
        // Correlation: the reference's spectrum times the conjugate of the
        // target's; its inverse at d is the overlap with the target d later.
        for (std::size_t k = 0; k < half; ++k) {
            // Written out: the library's product checks for infinities on
            // every call, and this loop runs a million times per ratio.
            const float a = referenceSpectrum[k].real(), b = referenceSpectrum[k].imag();
            const float c = spectrum[k].real(), d = -spectrum[k].imag();
            spectrum[k] = {a * c - b * d, a * d + b * c};
        }
        backward.Execute();
        double peak = -1;
        long peakShift = 0;
        const long signedReach = static_cast<long>(reach);
        for (long d = -signedReach; d <= signedReach; ++d) {
            const double value = signal[static_cast<std::size_t>(d < 0 ? static_cast<long>(n) + d : d)];
            if (value > peak) {
                peak = value;
                peakShift = d;
            }
        }
        // A faster ratio stretches the target's speech and would cover more
        // by its length alone; the strength weighs that out.
        const double strength = peak / static_cast<double>(n) / std::sqrt(referenceSpeech * targetSpeech);
        if (strength > best.strength)
            best = {ratio, static_cast<double>(peakShift) * kStep, strength};
        if (progress)
            progress(static_cast<int>((i + 1) * 90 / ratios.size()));
    }
    return best;
}

// Narrows ratio and offset down around the coarse result, the ratio turning
// about the middle of the target's speech so the two stay apart.
void FineSearch(const Intervals& reference, const Intervals& target, double& ratio, double& offset)
{
    const double pivot = (target.front().start + target.back().end) / 2;
    double a = ratio;
    double m = ratio * pivot + offset; // where the pivot lands
    double bestOverlap = Overlap(reference, target, a, m - a * pivot);
    struct Level {
        double ratioStep;
        double offsetStep;
        int ratioSteps;
        int offsetSteps;
    };
    constexpr Level kLevels[] = {{2e-4, 0.5, 6, 6}, {4e-5, 0.1, 5, 5}, {8e-6, 0.02, 5, 5}, {1.6e-6, 0.005, 5, 5}};
    for (const Level& level : kLevels) {
        const double centreA = a;
        const double centreM = m;
        for (int i = -level.ratioSteps; i <= level.ratioSteps; ++i) {
            for (int j = -level.offsetSteps; j <= level.offsetSteps; ++j) {
                const double tryA = centreA * (1 + i * level.ratioStep);
                const double tryM = centreM + j * level.offsetStep;
                const double overlap = Overlap(reference, target, tryA, tryM - tryA * pivot);
                if (overlap > bestOverlap) {
                    bestOverlap = overlap;
                    a = tryA;
                    m = tryM;
                }
            }
        }
    }
    ratio = a;
    offset = m - a * pivot;
}

// The reference start nearest to t, as a distance.
double NearestStartDistance(const std::vector<double>& starts, double t)
{
    const auto it = std::lower_bound(starts.begin(), starts.end(), t);
    double best = HUGE_VAL;
    if (it != starts.end())
        best = *it - t;
    if (it != starts.begin())
        best = std::min(best, t - *std::prev(it));
    return best;
}

double NearestStart(const std::vector<double>& starts, double t)
{
    const auto it = std::lower_bound(starts.begin(), starts.end(), t);
    if (it == starts.end())
        return *std::prev(it);
    if (it == starts.begin() || *it - t < t - *std::prev(it))
        return *it;
    return *std::prev(it);
}

// Least squares through the starts that meet within distance: the overlap
// finds the right neighbourhood, the starts themselves pin it down.
bool FitStarts(std::span<const SpeechSpan> target, const std::vector<double>& starts, double distance, double& ratio,
               double& offset)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const SpeechSpan& s : target) {
        const double moved = ratio * s.start + offset;
        const double partner = NearestStart(starts, moved);
        if (std::fabs(partner - moved) > distance)
            continue;
        n += 1;
        sx += s.start;
        sy += partner;
        sxx += s.start * s.start;
        sxy += s.start * partner;
    }
    // Too few meeting starts, or all at one moment, give no line to trust.
    const double spread = n * sxx - sx * sx;
    if (n < 8 || spread <= 0)
        return false;
    const double fitted = (n * sxy - sx * sy) / spread;
    if (!(fitted > 0))
        return false;
    ratio = fitted;
    offset = (sy - fitted * sx) / n;
    return true;
}

} // namespace

std::vector<SpeechSpan> UnionOfSpeech(std::span<const SpeechSpan> spans)
{
    std::vector<SpeechSpan> sorted;
    sorted.reserve(spans.size());
    for (const SpeechSpan& s : spans)
        if (s.end > s.start)
            sorted.push_back(s);
    std::sort(sorted.begin(), sorted.end(), [](const SpeechSpan& a, const SpeechSpan& b) { return a.start < b.start; });
    std::vector<SpeechSpan> merged;
    for (const SpeechSpan& s : sorted) {
        if (!merged.empty() && s.start <= merged.back().end)
            merged.back().end = std::max(merged.back().end, s.end);
        else
            merged.push_back(s);
    }
    return merged;
}

double SpeechLength(std::span<const SpeechSpan> intervals)
{
    double total = 0;
    for (const SpeechSpan& s : intervals)
        total += s.end - s.start;
    return total;
}

TimeMapFinding FindTimeMap(std::span<const SpeechSpan> target, std::span<const SpeechSpan> reference,
                           const std::function<void(int percent)>& progress)
{
    TimeMapFinding finding;
    finding.partnered.assign(target.size(), false);
    // The signals begin at zero: what lies before is cut off, so no time
    // before the film becomes an index into them.
    const auto within = [](std::span<const SpeechSpan> spans) {
        Intervals kept;
        for (const SpeechSpan& s : spans) {
            const double start = std::max(s.start, 0.0);
            const double end = std::min(s.end, kLongestSignal);
            if (start < kLongestSignal && end > start)
                kept.push_back({start, end});
        }
        return kept;
    };
    const Intervals referenceLines = within(reference);
    const Intervals referenceSpeech = UnionOfSpeech(referenceLines);
    const Intervals targetSpeech = UnionOfSpeech(within(target));
    if (referenceSpeech.empty() || targetSpeech.empty()) {
        if (progress)
            progress(100);
        return finding;
    }

    const Candidate coarse = CoarseSearch(referenceSpeech, targetSpeech, progress);
    if (coarse.strength < 0)
        return finding;
    double ratio = coarse.ratio;
    double offset = coarse.offset;
    FineSearch(referenceSpeech, targetSpeech, ratio, offset);

    std::vector<double> starts;
    starts.reserve(reference.size());
    for (const SpeechSpan& s : reference)
        starts.push_back(s.start);
    std::sort(starts.begin(), starts.end());
    if (FitStarts(target, starts, kPartnerDistance, ratio, offset))
        FitStarts(target, starts, kFitDistance, ratio, offset);

    finding.ratio = ratio;
    finding.offset = offset;
    const double referenceTotal = SpeechLength(referenceSpeech);
    finding.score = Overlap(referenceSpeech, targetSpeech, ratio, offset) / referenceTotal;
    // Chance: the moved target's speech spread evenly over the reference's
    // stretch of the film. Not capped at 1: a target that speaks longer than
    // the reference lasts covers it wherever it lies, and must not pass.
    const double stretch = referenceSpeech.back().end - referenceSpeech.front().start;
    finding.chance = ratio * SpeechLength(targetSpeech) / stretch;
    finding.measurable = static_cast<long>(referenceLines.size()) >= kFewestReferenceSubtitles &&
                         referenceTotal >= kLeastReferenceSpeech;
    finding.trusted = finding.measurable && finding.score >= NeededScore(finding);
    for (std::size_t i = 0; i < target.size(); ++i)
        finding.partnered[i] = NearestStartDistance(starts, ratio * target[i].start + offset) <= kPartnerDistance;
    if (progress)
        progress(100);
    return finding;
}

std::vector<SpeechSpan> SpeechOf(const StandardRecordList& records, double unitsPerSecond)
{
    std::vector<SpeechSpan> spans;
    spans.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const StandardRecord& r = *records[i];
        const double start = static_cast<double>(r.start) / unitsPerSecond;
        double end = static_cast<double>(r.end) / unitsPerSecond;
        if (r.end == 0 || end <= start) {
            end = start + kDefaultDuration;
            if (i + 1 < records.size() && records[i + 1]->start > r.start)
                end = std::min(end, static_cast<double>(records[i + 1]->start) / unitsPerSecond);
        }
        spans.push_back({start, end});
    }
    return spans;
}

long LoadReferenceRecords(Context& ctx, const std::string& copy, SubtitleFormat format, StandardRecordList& records,
                          TimePrecision precision)
{
    records.clear();
    auto handler = MakeFormatHandler(ctx, format);
    if (!handler) {
        ctx.Tell(46, 44, Buttons::Ok, Icon::Stop);
        return -1;
    }
    handler->precision = precision;
    // Read as Join reads its second file: the open file's header stays.
    const std::string& standardFile = ctx.workspace.SecondStandardFile;
    const long count = handler->ReadSecondSubtitleFile(copy, standardFile) == 0
                           ? LoadStandardRecords(ctx, records, standardFile)
                           : -1;
    RemoveFile(standardFile);
    return count;
}

AutoSyncPoints PlanAutoSyncPoints(const TimeMapFinding& finding, const StandardRecordList& target,
                                  double unitsPerSecond, TimePrecision precision)
{
    AutoSyncPoints points;
    const long n = static_cast<long>(target.size());
    if (n == 0)
        return points;
    // With tenths Synchronize cuts every new start toward zero; lines placed
    // half a unit later make that cut round to the nearest unit instead.
    const double lift = precision == TimePrecision::Tenths ? 0.5 : 0.0;
    const auto moved = [&](long i) {
        return finding.ratio * static_cast<double>(target[static_cast<std::size_t>(i)]->start) +
               finding.offset * unitsPerSecond + lift;
    };
    // A point must be a time the panes can show and the result can hold.
    const auto fits = [&](long i) { return FitsStandardField(moved(i), precision); };
    const auto partnered = [&](long i) {
        return static_cast<std::size_t>(i) < finding.partnered.size() && finding.partnered[static_cast<std::size_t>(i)];
    };
    // The outermost record of [from, to) in the direction step that passes
    // test; fallback when none does.
    const auto outermost = [](long from, long to, long step, long fallback, const auto& test) {
        for (long i = step > 0 ? from : to - 1; i >= from && i < to; i += step)
            if (test(i))
                return i;
        return fallback;
    };
    const long half = n / 2;
    const long chosen[2] = {
        outermost(0, half, 1, outermost(0, half, 1, 0, fits), [&](long i) { return partnered(i) && fits(i); }),
        outermost(half, n, -1, outermost(half, n, -1, n - 1, fits), [&](long i) { return partnered(i) && fits(i); }),
    };
    for (int p = 0; p < 2; ++p) {
        points.index[p] = chosen[p];
        points.oldTime[p] = target[static_cast<std::size_t>(chosen[p])]->start;
        points.newTime[p] = static_cast<long>(std::lround(std::clamp(moved(chosen[p]), -1e9, 1e9)));
    }
    return points;
}

AutoSyncPlan PlanAutoSync(const TimeMapFinding& finding, const StandardRecordList& target, double unitsPerSecond,
                          bool frameUnits, bool exactRatio, TimePrecision precision)
{
    AutoSyncPlan plan;
    plan.listed = PlanAutoSyncPoints(finding, target, unitsPerSecond, precision);
    const AutoSyncPoints& p = plan.listed;
    plan.points =
        PlanSynchronize(p.oldTime[0], p.newTime[0], p.newTime[1], p.oldTime[1], frameUnits, exactRatio, precision);
    return plan;
}

int ScorePercent(const TimeMapFinding& finding)
{
    return static_cast<int>(std::lround(finding.score * 100));
}

double NeededScore(const TimeMapFinding& finding)
{
    // At least kTrustedScore, and kTrustedLift of what chance leaves uncovered.
    return std::max(kTrustedScore, kTrustedLift + (1 - kTrustedLift) * finding.chance);
}

void TellTimedFileDoesNotFit(Context& ctx, const TimeMapFinding& finding, Owner owner)
{
    const std::string why =
        finding.measurable
            ? FormatCount(ctx.Text(kTextTimedFileNeeds),
                          static_cast<long long>(std::ceil(std::min(NeededScore(finding), 1e6) * 100 - 1e-9)))
            : FormatCount(ctx.Text(kTextTimedFileTooShort), kFewestReferenceSubtitles);
    ctx.host.Message(FormatCount(ctx.Text(kTextTimedFileDoesNotFit), ScorePercent(finding)) + "\n" + why, ctx.Text(48),
                     Buttons::Ok, Icon::Information, owner);
}

} // namespace zv
