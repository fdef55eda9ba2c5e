#include "engine/operations/piecewise_sync.h"

#include "engine/config/decimal_text.h"

#include "engine/operations/operation_common.h"
#include "engine/operations/speech_text.h"
#include "engine/operations/stamp_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace zv {

namespace {

// Runs of a speech signal parted by less than this are one sentence.
constexpr double kBreath = 0.3;
// How far from the film-wide offset a stretch's own may lie: breaks and
// missing scenes run to a few minutes.
constexpr double kReach = 300;
// The offsets looked at are counted in bins this wide.
constexpr double kBin = 0.1;
// A stretch's offset is proposed by a window of this many spoken subtitles,
// the windows a third of that apart, so every stretch of twice that has one.
// A short film (a scene, a trailer) has too few subtitles for that: its
// windows shrink to a third of them, down to kFewestInWindow, and the cost of
// a change still keeps a chance peak of a small window from becoming a cut.
// A small window's chance peak meets more of its few starts, so the strength
// it needs rises to kSmallWindowStrength at the smallest.
constexpr std::size_t kWindow = 30;
constexpr std::size_t kFewestInWindow = 9;
constexpr double kSmallWindowStrength = 0.75;
// Starts this near count as meeting, the nearer the more.
constexpr double kMeetDistance = 0.5;
// A window proposes its best offset only when its starts meet at least this
// well on average: a correct offset meets most of them, the best of the
// thousands of wrong ones within reach meets about a quarter.
constexpr double kProposalStrength = 0.45;
// Proposals this near one already kept add nothing: loose timing alone
// moves a stretch's best offset by a few tenths, and no cut that short is
// looked for.
constexpr double kSameOffset = 0.5;
constexpr std::size_t kMostProposals = 32;
// What a change of offset costs, in subtitles that line up well: a change
// must pay for itself with several subtitles nothing else explains.
constexpr double kChangeCost = 6;
// Starts that meet within these take part in the final fit, as FindTimeMap's.
constexpr double kPartnerDistance = 0.5;
constexpr double kFitDistance = 0.25;
// Neighbouring stretches that the fit brings nearer than this are one.
constexpr double kLeastCut = 0.25;

using Intervals = std::vector<SpeechSpan>;

// The time the sorted, separate intervals speak within [start, end).
double OverlapWith(const Intervals& speech, double start, double end)
{
    auto it = std::upper_bound(speech.begin(), speech.end(), start,
                               [](double t, const SpeechSpan& s) { return t < s.end; });
    double total = 0;
    for (; it != speech.end() && it->start < end; ++it)
        total += std::min(end, it->end) - std::max(start, it->start);
    return total;
}

double NearestDistance(const std::vector<double>& sorted, double t)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), t);
    double best = std::numeric_limits<double>::infinity();
    if (it != sorted.end())
        best = *it - t;
    if (it != sorted.begin())
        best = std::min(best, t - *std::prev(it));
    return best;
}

// 1 for starts that meet exactly, falling to 0 at kMeetDistance.
double Meeting(double distance)
{
    return std::max(0.0, 1 - distance / kMeetDistance);
}

// The reference as the search sees it.
struct Reference {
    Intervals speech;            // merged
    std::vector<double> starts;  // sorted
};

// What the subtitle gains from lying at offset: its start meeting one of the
// reference's, and the share of it said over the reference's speech.
double Gain(const Reference& ref, const SpeechSpan& s, double ratio, double offset)
{
    const double start = ratio * s.start + offset;
    const double end = ratio * s.end + offset;
    double gain = Meeting(NearestDistance(ref.starts, start));
    if (end > start)
        gain += OverlapWith(ref.speech, start, end) / (end - start);
    return gain;
}

// Offsets other stretches may need: every window of spoken subtitles votes,
// start by start, for the offsets within reach that make it meet a reference
// start, and proposes its winner when it meets well enough. The film-wide
// offset comes first.
std::vector<double> ProposeOffsets(const Reference& ref, const std::vector<SpeechSpan>& spoken, double ratio,
                                   double offset)
{
    struct Proposal {
        double offset;
        double strength;
    };
    std::vector<Proposal> proposals;
    const auto bins = static_cast<long>(std::lround(kReach / kBin));
    const auto spread = static_cast<long>(std::lround(kMeetDistance / kBin));
    std::vector<double> votes(static_cast<std::size_t>(2 * bins + 1));
    const std::size_t n = spoken.size();
    const std::size_t window = std::clamp(n / 3, kFewestInWindow, kWindow);
    const double needed = kProposalStrength + (kSmallWindowStrength - kProposalStrength) *
                                                  static_cast<double>(kWindow - window) /
                                                  static_cast<double>(kWindow - kFewestInWindow);
    for (std::size_t from = 0; from < n; from += window / 3) {
        const std::size_t to = std::min(n, from + window);
        std::fill(votes.begin(), votes.end(), 0.0);
        for (std::size_t i = from; i < to; ++i) {
            const double moved = ratio * spoken[i].start + offset;
            const auto first = std::lower_bound(ref.starts.begin(), ref.starts.end(), moved - kReach);
            for (auto it = first; it != ref.starts.end() && *it <= moved + kReach; ++it) {
                const double apart = *it - moved;
                const long centre = std::lround(apart / kBin);
                for (long b = std::max(-bins, centre - spread); b <= std::min(bins, centre + spread); ++b)
                    votes[static_cast<std::size_t>(b + bins)] +=
                        Meeting(std::fabs(apart - static_cast<double>(b) * kBin));
            }
        }
        const auto peak = std::max_element(votes.begin(), votes.end());
        const double strength = *peak / static_cast<double>(to - from);
        if (strength >= needed)
            proposals.push_back({offset + static_cast<double>(peak - votes.begin() - bins) * kBin, strength});
        if (to == n)
            break;
    }
    std::sort(proposals.begin(), proposals.end(),
              [](const Proposal& a, const Proposal& b) { return a.strength > b.strength; });
    std::vector<double> offsets{offset};
    for (const Proposal& p : proposals) {
        if (offsets.size() == kMostProposals)
            break;
        if (std::none_of(offsets.begin(), offsets.end(),
                         [&](double o) { return std::fabs(o - p.offset) < kSameOffset; }))
            offsets.push_back(p.offset);
    }
    return offsets;
}

// Which proposed offset each spoken subtitle takes: the order with the most
// gain after kChangeCost per change, at most mostCuts changes. Run from the
// last subtitle back, so that among equal choices an offset is kept as long
// as it can be.
std::vector<std::size_t> ChooseOffsets(const Reference& ref, const std::vector<SpeechSpan>& spoken, double ratio,
                                       const std::vector<double>& offsets, int mostCuts)
{
    const std::size_t n = spoken.size();
    const std::size_t k = offsets.size();
    const std::size_t layers = static_cast<std::size_t>(mostCuts) + 1;
    constexpr double kNone = -std::numeric_limits<double>::infinity();
    std::vector<double> value(layers * k, kNone);
    std::vector<double> next(layers * k);
    // The offset of the subtitle after, per subtitle, layer and offset.
    std::vector<std::uint8_t> after(n * layers * k);
    std::vector<double> gain(k);
    for (std::size_t o = 0; o < k; ++o)
        value[o] = Gain(ref, spoken[n - 1], ratio, offsets[o]);
    for (std::size_t p = 1; p < n; ++p) {
        const std::size_t i = n - 1 - p;
        for (std::size_t o = 0; o < k; ++o)
            gain[o] = Gain(ref, spoken[i], ratio, offsets[o]);
        for (std::size_t c = 0; c < layers; ++c) {
            // The best and second best of the layer below, for a change.
            std::size_t best = k, second = k;
            if (c > 0) {
                for (std::size_t o = 0; o < k; ++o) {
                    const double v = value[(c - 1) * k + o];
                    if (best == k || v > value[(c - 1) * k + best]) {
                        second = best;
                        best = o;
                    } else if (second == k || v > value[(c - 1) * k + second]) {
                        second = o;
                    }
                }
            }
            for (std::size_t o = 0; o < k; ++o) {
                double v = value[c * k + o];
                std::size_t from = o;
                const std::size_t other = best != o ? best : second;
                if (other < k && value[(c - 1) * k + other] > v) {
                    v = value[(c - 1) * k + other];
                    from = other;
                }
                next[c * k + o] = v == kNone ? kNone : v + gain[o];
                after[(p * layers + c) * k + o] = static_cast<std::uint8_t>(from);
            }
        }
        value.swap(next);
    }
    std::size_t layer = 0, state = 0;
    double best = kNone;
    for (std::size_t c = 0; c < layers; ++c)
        for (std::size_t o = 0; o < k; ++o)
            if (value[c * k + o] - kChangeCost * static_cast<double>(c) > best) {
                best = value[c * k + o] - kChangeCost * static_cast<double>(c);
                layer = c;
                state = o;
            }
    std::vector<std::size_t> chosen(n);
    chosen[0] = state;
    for (std::size_t p = n - 1; p >= 1; --p) {
        const std::size_t o = after[(p * layers + layer) * k + state];
        if (o != state)
            --layer;
        state = o;
        chosen[n - p] = state;
    }
    return chosen;
}

// One stretch while it is found: its first spoken subtitle and offset.
struct Piece {
    std::size_t first;
    double offset;
};

// Least squares through the starts that meet within distance, one speed for
// all pieces and an offset for each. Pieces with too few meeting starts keep
// where their middle lands.
void FitPieces(const Reference& ref, const std::vector<SpeechSpan>& spoken, std::vector<Piece>& pieces,
               double& ratio, double distance)
{
    struct Sums {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    };
    std::vector<Sums> sums(pieces.size());
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const std::size_t end = p + 1 < pieces.size() ? pieces[p + 1].first : spoken.size();
        for (std::size_t i = pieces[p].first; i < end; ++i) {
            const double x = spoken[i].start;
            const double moved = ratio * x + pieces[p].offset;
            const auto it = std::lower_bound(ref.starts.begin(), ref.starts.end(), moved);
            double y = it != ref.starts.end() ? *it : -HUGE_VAL;
            if (it != ref.starts.begin() && moved - *std::prev(it) < std::fabs(y - moved))
                y = *std::prev(it);
            if (std::fabs(y - moved) > distance)
                continue;
            Sums& s = sums[p];
            s.n += 1;
            s.sx += x;
            s.sy += y;
            s.sxx += x * x;
            s.sxy += x * y;
        }
    }
    double cross = 0, square = 0, points = 0;
    for (const Sums& s : sums) {
        if (s.n < 2)
            continue;
        points += s.n;
        cross += s.sxy - s.sx * s.sy / s.n;
        square += s.sxx - s.sx * s.sx / s.n;
    }
    if (points < 8 || !(square > 0))
        return;
    const double fitted = cross / square;
    // The speed is known well already; a fit far from it met the wrong starts.
    if (!(std::fabs(fitted / ratio - 1) < 1e-3))
        return;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        const Sums& s = sums[p];
        if (s.n >= 3) {
            pieces[p].offset = (s.sy - fitted * s.sx) / s.n;
        } else {
            const std::size_t end = p + 1 < pieces.size() ? pieces[p + 1].first : spoken.size();
            const double middle = (spoken[pieces[p].first].start + spoken[end - 1].start) / 2;
            pieces[p].offset += (ratio - fitted) * middle;
        }
    }
    ratio = fitted;
}

double OffsetAt(const PiecewiseTimeMap& map, double targetSeconds)
{
    if (map.stretches.empty())
        return 0;
    auto it = std::upper_bound(map.stretches.begin() + 1, map.stretches.end(), targetSeconds,
                               [](double t, const TimeStretch& s) { return t < s.targetStart; });
    return std::prev(it)->offset;
}

} // namespace

SpeechSignal SignalFromFlags(std::span<const std::uint8_t> flags)
{
    SpeechSignal signal;
    signal.level.reserve(flags.size());
    for (std::uint8_t f : flags)
        signal.level.push_back(f ? 1.0f : 0.0f);
    return signal;
}

std::vector<SpeechSpan> SpansOf(const SpeechSignal& signal)
{
    std::vector<SpeechSpan> spans;
    const std::size_t n = signal.level.size();
    for (std::size_t i = 0; i < n;) {
        if (!(signal.level[i] >= 0.5f)) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < n && signal.level[end] >= 0.5f)
            ++end;
        const double start = static_cast<double>(i) * SpeechSignal::kStepSeconds;
        const double stop = static_cast<double>(end) * SpeechSignal::kStepSeconds;
        if (!spans.empty() && start - spans.back().end < kBreath)
            spans.back().end = stop;
        else
            spans.push_back({start, stop});
        i = end;
    }
    return spans;
}

SubtitleSpeech SubtitleSpeechOf(const StandardRecordList& records, double unitsPerSecond)
{
    SubtitleSpeech subtitles;
    subtitles.spans = SpeechOf(records, unitsPerSecond);
    subtitles.speaks.reserve(records.size());
    for (const auto& r : records)
        subtitles.speaks.push_back(IsSpeech(r->text));
    return subtitles;
}

std::vector<SpeechSpan> SpokenSpans(const SubtitleSpeech& subtitles)
{
    std::vector<SpeechSpan> spoken;
    for (std::size_t i = 0; i < subtitles.spans.size(); ++i)
        if (i >= subtitles.speaks.size() || subtitles.speaks[i])
            spoken.push_back(subtitles.spans[i]);
    return spoken;
}

double MapTime(const PiecewiseTimeMap& map, double targetSeconds)
{
    return map.ratio * targetSeconds + OffsetAt(map, targetSeconds);
}

PiecewiseFinding FindPiecewiseTimeMap(const SubtitleSpeech& target, std::span<const SpeechSpan> reference,
                                      int mostCuts, const std::function<void(int percent)>& progress)
{
    std::vector<std::size_t> spokenIndex;
    for (std::size_t i = 0; i < target.spans.size(); ++i)
        if (i >= target.speaks.size() || target.speaks[i])
            spokenIndex.push_back(i);
    // Stretches follow one another in time, whatever order the file keeps.
    std::stable_sort(spokenIndex.begin(), spokenIndex.end(),
                     [&](std::size_t a, std::size_t b) { return target.spans[a].start < target.spans[b].start; });
    std::vector<SpeechSpan> spoken;
    spoken.reserve(spokenIndex.size());
    for (std::size_t i : spokenIndex)
        spoken.push_back(target.spans[i]);
    const auto globalProgress = [&](int percent) {
        if (progress)
            progress(percent * 8 / 10);
    };
    const TimeMapFinding global = FindTimeMap(spoken, reference, globalProgress);

    PiecewiseFinding finding;
    finding.fit = global;
    finding.map.ratio = global.ratio;
    double firstStart = target.spans.empty() ? 0 : target.spans.front().start;
    for (const SpeechSpan& s : target.spans)
        firstStart = std::min(firstStart, s.start);
    finding.map.stretches.push_back({0, firstStart, global.offset});

    Reference ref;
    ref.speech = UnionOfSpeech(reference);
    for (const SpeechSpan& s : reference)
        ref.starts.push_back(s.start);
    std::sort(ref.starts.begin(), ref.starts.end());

    if (!spoken.empty() && !ref.speech.empty() && mostCuts > 0 && global.score > 0) {
        double ratio = global.ratio;
        const std::vector<double> offsets = ProposeOffsets(ref, spoken, ratio, global.offset);
        if (progress)
            progress(85);
        std::vector<Piece> pieces;
        if (offsets.size() > 1) {
            const std::vector<std::size_t> chosen =
                ChooseOffsets(ref, spoken, ratio, offsets, std::min(mostCuts, kMostCuts));
            for (std::size_t i = 0; i < chosen.size(); ++i)
                if (i == 0 || chosen[i] != chosen[i - 1])
                    pieces.push_back({i, offsets[chosen[i]]});
        } else {
            pieces.push_back({0, global.offset});
        }
        // Where a scene is missing from the reference its subtitles meet
        // nothing at either offset: they stay with the stretch before, and the
        // new one starts where its starts meet again.
        for (std::size_t p = 1; p < pieces.size(); ++p) {
            const std::size_t end = p + 1 < pieces.size() ? pieces[p + 1].first : spoken.size();
            Piece& piece = pieces[p];
            while (piece.first + 1 < end &&
                   NearestDistance(ref.starts, ratio * spoken[piece.first].start + piece.offset) > kMeetDistance)
                ++piece.first;
        }
        FitPieces(ref, spoken, pieces, ratio, kPartnerDistance);
        FitPieces(ref, spoken, pieces, ratio, kFitDistance);
        std::vector<Piece> kept;
        for (const Piece& piece : pieces)
            if (kept.empty() || std::fabs(piece.offset - kept.back().offset) >= kLeastCut)
                kept.push_back(piece);
        if (kept.size() != pieces.size()) {
            pieces = std::move(kept);
            FitPieces(ref, spoken, pieces, ratio, kFitDistance);
        }
        finding.map.ratio = ratio;
        finding.map.stretches.clear();
        for (const Piece& piece : pieces) {
            const std::size_t index = finding.map.stretches.empty() ? 0 : spokenIndex[piece.first];
            const double start = finding.map.stretches.empty() ? firstStart : spoken[piece.first].start;
            finding.map.stretches.push_back({static_cast<long>(index), start, piece.offset});
        }
    }

    // The whole map judged as FindTimeMap judges one line.
    TimeMapFinding& fit = finding.fit;
    fit.ratio = finding.map.ratio;
    fit.offset = finding.map.stretches.front().offset;
    const double referenceTotal = SpeechLength(ref.speech);
    if (!spoken.empty() && referenceTotal > 0 && global.score > 0) {
        Intervals moved;
        for (const SpeechSpan& s : spoken) {
            const double offset = OffsetAt(finding.map, s.start);
            moved.push_back({fit.ratio * s.start + offset, fit.ratio * s.end + offset});
        }
        moved = UnionOfSpeech(moved);
        double covered = 0;
        for (const SpeechSpan& s : moved)
            covered += OverlapWith(ref.speech, s.start, s.end);
        fit.score = covered / referenceTotal;
        fit.chance = global.chance * fit.ratio / global.ratio;
        fit.trusted = fit.measurable && fit.score >= NeededScore(fit);
    }
    fit.partnered.assign(target.spans.size(), false);
    if (!ref.starts.empty())
        for (std::size_t i = 0; i < target.spans.size(); ++i)
            fit.partnered[i] = NearestDistance(ref.starts, MapTime(finding.map, target.spans[i].start)) <=
                               kPartnerDistance;
    if (progress)
        progress(100);
    return finding;
}

PiecewiseFinding FindPiecewiseTimeMap(const SubtitleSpeech& target, const SpeechSignal& reference, int mostCuts,
                                      const std::function<void(int percent)>& progress)
{
    const std::vector<SpeechSpan> film = SpansOf(reference);
    PiecewiseFinding found = FindPiecewiseTimeMap(target, film, mostCuts, progress);
    // A film's runs of speech are not lines: a pause splits a sentence, a
    // dialogue runs into one. What there is to measure is the subtitles that
    // speak and the speech they meet, so a short film (a scene, a trailer)
    // is measurable when it speaks long enough.
    const auto spoken = static_cast<long>(SpokenSpans(target).size());
    double speech = 0;
    for (const SpeechSpan& s : film)
        speech += s.end - s.start;
    TimeMapFinding& fit = found.fit;
    fit.measurable = spoken >= kFewestFilmSubtitles && speech >= kLeastFilmSpeech;
    fit.trusted = fit.measurable && fit.score > 0 && fit.score >= NeededScore(fit);
    return found;
}

long MapUnits(const PiecewiseTimeMap& map, long units, double unitsPerSecond)
{
    const double t = static_cast<double>(units);
    return std::lround(map.ratio * t + OffsetAt(map, t / unitsPerSecond) * unitsPerSecond);
}

StandardRecordList MoveRecords(const StandardRecordList& records, const PiecewiseTimeMap& map,
                               double unitsPerSecond)
{
    StandardRecordList moved;
    moved.reserve(records.size());
    for (const auto& r : records) {
        auto copy = std::make_unique<StandardRecord>(*r);
        const double offset = OffsetAt(map, static_cast<double>(r->start) / unitsPerSecond) * unitsPerSecond;
        copy->start = MapUnits(map, r->start, unitsPerSecond);
        if (r->end != 0)
            copy->end = std::lround(map.ratio * static_cast<double>(r->end) + offset);
        moved.push_back(std::move(copy));
    }
    return moved;
}

Outcome RunPiecewiseSync(Context& ctx, FormatHandler& handler, const PiecewiseTimeMap& map, double unitsPerSecond,
                         const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    AutoStampLine(ctx, ws.SourceStandardFile, handler.isFrameBased, options);
    const TimeMap move = [&](long start, long end, double& newStart, double& newEnd) {
        const double offset = OffsetAt(map, static_cast<double>(start) / unitsPerSecond) * unitsPerSecond;
        newStart = std::round(map.ratio * static_cast<double>(start) + offset);
        newEnd = std::round(map.ratio * static_cast<double>(end) + offset);
    };
    const Outcome moved =
        RemapStandardFile(ctx, ws.SourceStandardFile, ws.OutputStandardFile, move, false, options.precision);
    if (!moved.done)
        return moved;
    return WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, moved, options);
}

std::string MomentText(double seconds)
{
    const long tenths = std::lround(std::max(seconds, 0.0) * 10);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld.%ld", tenths / 36000, tenths / 600 % 60, tenths / 10 % 60,
                  tenths % 10);
    return text;
}

std::string OffsetText(double seconds)
{
    const double shown = std::round(seconds * 100) / 100 + 0.0;
    return std::string(shown < 0 ? "" : "+") + FixedText(shown, 2);
}

} // namespace zv
