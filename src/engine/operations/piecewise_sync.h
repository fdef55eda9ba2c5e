// Lining subtitles up with a film's speech when the film is not the cut they
// were timed for: a scene taken out, or breaks put in, moves everything after
// it by the length of the scene or the break. One speed holds for the whole
// film (a frame-rate change applies to all of it); the offset may change up
// to kMostCuts times, each change only where it lines up enough subtitles to
// be worth it. The reference is either a correctly timed file or the film's
// speech itself, read at 10 ms steps; both come down to the same spans.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/operations/autosync.h"
#include "engine/outcome.h"
#include "engine/standard_file.h"
#include "engine/write_options.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zv {

// Speech heard in a film, one value per step from the film's start: 0 for
// silence up to 1 for certain speech.
struct SpeechSignal {
    static constexpr double kStepSeconds = 0.01;
    std::vector<float> level;
};

// A signal from one flag per step (0 silence, anything else speech).
SpeechSignal SignalFromFlags(std::span<const std::uint8_t> flags);

// The signal's speech as spans in seconds: the runs at 0.5 or above, runs
// parted by less than a breath joined, as a subtitle holds a sentence.
std::vector<SpeechSpan> SpansOf(const SpeechSignal& signal);

// Every subtitle's time in seconds, in order (as SpeechOf gives it), and
// whether it is speech (see KindOfSubtitle); subtitles past the end of
// speaks count as speech.
struct SubtitleSpeech {
    std::vector<SpeechSpan> spans;
    std::vector<bool> speaks;
};
SubtitleSpeech SubtitleSpeechOf(const StandardRecordList& records, double unitsPerSecond);

// The spans of the subtitles that speak: a timed file as a reference.
std::vector<SpeechSpan> SpokenSpans(const SubtitleSpeech& subtitles);

// With a film's speech as the reference, the finding is measurable when at
// least this many subtitles speak and the film speaks this long (seconds).
inline constexpr long kFewestFilmSubtitles = 20;
inline constexpr double kLeastFilmSpeech = 30;

// The most changes of offset looked for.
inline constexpr int kMostCuts = 8;

// From targetStart on (seconds in the target's time), reference time =
// ratio x target time + offset.
struct TimeStretch {
    long firstIndex = 0; // the stretch's first spoken subtitle (from 0); 0 for the first stretch
    double targetStart = 0;
    double offset = 0;
};

// The stretches in order, the first from the target's first subtitle. A
// subtitle before the first stretch's start (an unsorted file) moves with it.
struct PiecewiseTimeMap {
    double ratio = 1;
    std::vector<TimeStretch> stretches;
};

// Reference time of a target time, in seconds.
double MapTime(const PiecewiseTimeMap& map, double targetSeconds);

struct PiecewiseFinding {
    PiecewiseTimeMap map;
    // The map as a whole: score, chance, measurable and trusted as
    // FindTimeMap gives them, but over the moved stretches; partnered per
    // target subtitle. ratio and offset are those of the first stretch.
    TimeMapFinding fit;
};

// Finds the speed and offset as FindTimeMap does over the subtitles that
// speak, then up to mostCuts changes of offset (0 finds none). Subtitles
// without a partner where a scene was taken out keep the offset before them;
// those that do not speak move with their stretch. progress hears percentages.
PiecewiseFinding FindPiecewiseTimeMap(const SubtitleSpeech& target, std::span<const SpeechSpan> reference,
                                      int mostCuts = kMostCuts, const std::function<void(int percent)>& progress = {});
// With a film's speech the finding is measurable by kFewestFilmSubtitles and
// kLeastFilmSpeech instead of the timed file's rule.
PiecewiseFinding FindPiecewiseTimeMap(const SubtitleSpeech& target, const SpeechSignal& reference,
                                      int mostCuts = kMostCuts, const std::function<void(int percent)>& progress = {});

// A time in the units of a StandardFile (unitsPerSecond: 10 for tenths, the
// frame rate for frames, 1000 for milliseconds) through the map, rounded to
// the nearest unit. Its stretch is the one of its start.
long MapUnits(const PiecewiseTimeMap& map, long units, double unitsPerSecond);

// How a cut is told: where it is in the film as people read a moment
// (1:02:03.4), and the offset after it in seconds with its sign and two
// decimals ("+56.68"; a hair below zero is no offset at all, "+0.00").
std::string MomentText(double seconds);
std::string OffsetText(double seconds);

// Copies of the records moved through the map: start and end each through
// the stretch of the start, so a subtitle is never torn apart; an end of 0
// (none) stays 0. Times are not limited to what a StandardFile can hold.
StandardRecordList MoveRecords(const StandardRecordList& records, const PiecewiseTimeMap& map,
                               double unitsPerSecond);

// The command: the automatic stamp-line, every record of the
// SourceStandardFile through the map (records that leave the field range
// dropped and counted as Move time does), then the open file's writer into
// the WorkingCopy. Done when the result stands.
Outcome RunPiecewiseSync(Context& ctx, FormatHandler& handler, const PiecewiseTimeMap& map, double unitsPerSecond,
                         const WriteOptions& options);

} // namespace zv
