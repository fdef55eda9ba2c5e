// Lining a file up with a correctly timed one of the same film. Both say
// their lines at the same moments, whatever the language, so their patterns
// of speech and silence match once the right offset and speed are applied.
// The map found is handed to Synchronize as two reference points, so every
// rule of Synchronize holds for the result.
#pragma once

#include "engine/context.h"
#include "engine/formats/format.h"
#include "engine/operations/synchronize.h"
#include "engine/standard_file.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace zv {

// The button of the Synchronize dialog that takes the times from a timed file.
inline constexpr int kTextTakeTimesFromFile = 405;
// The refusal of a timed file that does not fit, with the score as %d.
inline constexpr int kTextTimedFileDoesNotFit = 406;
// The dialog's word after the times were taken, with the score as %d.
inline constexpr int kTextTimesTaken = 407;
// The question for the frame rate of a MicroDvd side meeting a time-based one.
inline constexpr int kTextMicroDvdFrameRate = 408;
// The refusal's reason: the score a trusted fit needs, as %d.
inline constexpr int kTextTimedFileNeeds = 421;
// The refusal's reason: too little speech, with the fewest subtitles as %d.
inline constexpr int kTextTimedFileTooShort = 422;

// One subtitle on screen, in seconds.
struct SpeechSpan {
    double start = 0;
    double end = 0;
};

// How far apart the two files may start: an hour either way.
inline constexpr double kMaxAutoSyncOffset = 3600;
// The least a timed file must hold to be measured against: with fewer lines
// or less speech, the best of millions of offsets lines up by luck alone
// (forty lines of another film, spread over it, pass half the time).
inline constexpr long kFewestReferenceSubtitles = 100;
inline constexpr double kLeastReferenceSpeech = 60; // seconds

// reference time = ratio x target time + offset, in seconds.
struct TimeMapFinding {
    double ratio = 1;
    double offset = 0;
    // The share of the reference's speech time that the moved target covers.
    double score = 0;
    // What the moved target would cover if its speech lay anywhere: two
    // files of different films still cover about this much. Above 1 when the
    // target speaks longer than the reference's whole stretch lasts.
    double chance = 0;
    // The reference holds enough speech to be measured against at all.
    bool measurable = false;
    // Whether the score stands far enough above chance to act on.
    bool trusted = false;
    // Per target span: its moved start meets a reference start.
    std::vector<bool> partnered;
};

// The spans as sorted, separate intervals: the time someone is speaking.
std::vector<SpeechSpan> UnionOfSpeech(std::span<const SpeechSpan> spans);
// The seconds such intervals cover.
double SpeechLength(std::span<const SpeechSpan> intervals);

// Finds the map that lines the target's speech up with the reference's:
// candidate ratios 1 and the known frame-rate changes, each with its best
// offset by cross-correlating the two speech signals (10 ms steps, offsets up
// to an hour either way), then a fine search around the best and a fit of the
// starts that meet. progress, when given, hears percentages.
TimeMapFinding FindTimeMap(std::span<const SpeechSpan> target, std::span<const SpeechSpan> reference,
                           const std::function<void(int percent)>& progress = {});

// The records' times in seconds, in their order; unitsPerSecond is 10 for
// tenths, 1000 for milliseconds and the frame rate for frames. A record without an end (or with an
// end before its start) is on screen until the next starts, at most 3 s.
std::vector<SpeechSpan> SpeechOf(const StandardRecordList& records, double unitsPerSecond);

// Reads a timed file's working copy, already found to be of format, into
// records. The open file's StandardFile and kept header stay as they are.
// -1 after the message.
long LoadReferenceRecords(Context& ctx, const std::string& copy, SubtitleFormat format, StandardRecordList& records,
                          TimePrecision precision = TimePrecision::Tenths);

// The two reference points Synchronize takes, in the target's units: of the
// records before n/2 the first that has a partner, of the rest the last (the
// halves the Synchronize dialog lists), each with a new time from 0 to
// the largest field time. A half without such a partner gives its outermost
// record with a time that fits. New times are the old ones through the map,
// placed so that Synchronize's rounding (the cut toward zero of tenths, the
// nearest unit otherwise) gives every start its nearest unit.
struct AutoSyncPoints {
    long index[2] = {0, 0};
    long oldTime[2] = {0, 0};
    long newTime[2] = {0, 0};
};
AutoSyncPoints PlanAutoSyncPoints(const TimeMapFinding& finding, const StandardRecordList& target,
                                  double unitsPerSecond, TimePrecision precision = TimePrecision::Tenths);

// What Synchronize takes from a timed file, planned alike for the dialog and
// the command line: the two points of PlanAutoSyncPoints as they are listed,
// and what Synchronize maps through (PlanSynchronize over them: the known
// change they show, and with exactRatio the second new time where the
// change's exact ratio puts it). frameUnits: the target counts frames.
struct AutoSyncPlan {
    AutoSyncPoints listed;
    SyncPoints points;
};
AutoSyncPlan PlanAutoSync(const TimeMapFinding& finding, const StandardRecordList& target, double unitsPerSecond,
                          bool frameUnits, bool exactRatio, TimePrecision precision = TimePrecision::Tenths);

// The whole share as a percentage, for the user.
int ScorePercent(const TimeMapFinding& finding);
// The score a finding of this chance needs to be trusted.
double NeededScore(const TimeMapFinding& finding);
// Says that the timed file does not fit and why, in one more line (the
// message owned by owner).
void TellTimedFileDoesNotFit(Context& ctx, const TimeMapFinding& finding, Owner owner);

} // namespace zv
