// shift, sync and autosync: every time moved by one amount, stretched
// between two reference subtitles, or lined up with a correctly timed file
// or with the speech of the film itself.
#include "cli/commands.h"

#include "engine/config/decimal_text.h"
#include "engine/operations/autosync.h"
#include "engine/operations/frame_rate_change.h"
#include "engine/operations/move_time.h"
#include "engine/operations/piecewise_sync.h"
#include "engine/operations/synchronize.h"
#include "engine/operations/operation_common.h"
#include "engine/standard_file.h"
#include "media/film_reference.h"
#include "media/speech_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zv::cli {

namespace {

int RunShift(Invocation& inv)
{
    Amount amount;
    if (const int usage = inv.AmountArgument("--by", true, amount))
        return usage;
    auto handler = inv.OpenInput();
    if (!handler)
        return kExitFailure;
    long delta = 0;
    if (const int usage = inv.AmountOption(amount, "--by", handler->isFrameBased == 1, delta))
        return usage;
    return DeliverResult(inv, RunMoveTime(inv.session.ctx, *handler, delta, inv.session.Options()));
}

// One reference of sync as typed: "N=AMOUNT".
struct Reference {
    long number = 0;
    Amount time;
};

bool ParseReference(const std::string& text, Reference& ref)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        return false;
    return ParseInt32(std::string_view(text).substr(0, eq), ref.number) && ref.number >= 1 &&
           ParseAmount(std::string_view(text).substr(eq + 1), ref.time);
}

int RunSync(Invocation& inv)
{
    Reference refs[2];
    const char* names[2] = {"--first", "--second"};
    for (int i = 0; i < 2; ++i) {
        const auto given = inv.args.Value(names[i]);
        if (!given)
            return inv.Usage(std::string("missing ") + names[i] + " N=AMOUNT");
        if (!ParseReference(*given, refs[i]))
            return inv.Usage(std::string(names[i]) + ": not a subtitle number and an amount: " + *given);
    }

    auto handler = inv.OpenInput();
    if (!handler)
        return kExitFailure;
    Session& s = inv.session;
    StandardRecordList records;
    const long count = LoadStandardRecords(s.ctx, records, s.ctx.workspace.SourceStandardFile);
    if (count < 0)
        return kExitFailure;
    long oldTimes[2] = {0, 0};
    long newTimes[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        if (refs[i].number > count)
            return inv.Usage(std::string(names[i]) + ": the file has " + std::to_string(count) + " subtitles");
        oldTimes[i] = records[static_cast<std::size_t>(refs[i].number - 1)]->start;
        if (const int usage = inv.AmountOption(refs[i].time, names[i], handler->isFrameBased == 1, newTimes[i]))
            return usage;
    }
    records.clear();
    switch (CheckReferencePoints(s.ctx, oldTimes[0], newTimes[0], newTimes[1], oldTimes[1])) {
    case SyncCheck::NoChange: return inv.Usage("both subtitles keep their times: nothing would change");
    case SyncCheck::SameStart: return inv.Usage("the two subtitles start at the same time");
    case SyncCheck::Backwards: return inv.Usage("the second subtitle's new time must come after the first's");
    case SyncCheck::Go: break;
    }
    // The same points the dialog would map through, its "exact ratio" choice
    // being --exact-ratio here.
    const SyncPoints points = PlanSynchronize(oldTimes[0], newTimes[0], newTimes[1], oldTimes[1],
                                              handler->isFrameBased == 1, inv.args.Has("--exact-ratio"),
                                              s.precision);
    if (points.change)
        s.host.Print(DescribeFrameRateChange(s.ctx.Text(kTextFrameRateChange), *points.change));
    return DeliverResult(
        inv, RunSynchronize(s.ctx, *handler, points.old1, points.new1, points.new2, points.old2, s.Options()));
}

std::string SignedSeconds(double seconds) { return OffsetText(seconds) + " s"; }

// Lines the target up with the reference's speech, stretch by stretch where
// the reference's cut of the film differs. Whatever the reference is made
// from (a timed file, the film's sound), its map arrives here found.
int RunCutAwareSync(Invocation& inv, FormatHandler& handler, const StandardRecordList& target,
                    const PiecewiseFinding& found, double targetUnits)
{
    Session& s = inv.session;
    const bool targetFrames = handler.isFrameBased == 1;
    const PiecewiseTimeMap& map = found.map;
    s.host.Print("offset: " + SignedSeconds(map.stretches.front().offset));
    s.host.Print("ratio: " + FixedText(map.ratio, 6));
    if (target.size() > 1) {
        const double span = map.ratio * static_cast<double>(target.back()->start - target.front()->start);
        if (const auto change = FindFrameRateChange(map.ratio, span, targetFrames, s.precision))
            s.host.Print(DescribeFrameRateChange(s.ctx.Text(kTextFrameRateChange), *change));
    }
    for (std::size_t i = 1; i < map.stretches.size(); ++i) {
        const TimeStretch& cut = map.stretches[i];
        s.host.Print("cut at " + MomentText(cut.targetStart) + " (subtitle " + std::to_string(cut.firstIndex + 1) +
                     "): offset " + SignedSeconds(cut.offset));
    }
    s.host.Print("score: " + std::to_string(ScorePercent(found.fit)) + " %");
    if (!found.fit.trusted) {
        TellTimedFileDoesNotFit(s.ctx, found.fit, Owner::None);
        return kExitFailure;
    }
    return DeliverResult(inv, RunPiecewiseSync(s.ctx, handler, map, targetUnits, s.Options()));
}

// The input file read, with its records in target; null when it could not
// be (the user was told).
std::unique_ptr<FormatHandler> OpenWithRecords(Invocation& inv, StandardRecordList& target)
{
    auto handler = inv.OpenInput();
    if (handler && LoadStandardRecords(inv.session.ctx, target, inv.session.ctx.workspace.SourceStandardFile) < 0)
        handler.reset();
    return handler;
}

// The film's speech, read from its sound track, as the reference. A film
// that cannot be read is refused with its message before anything is
// written; a damaged one says how much of it was read and goes on with that.
int RunMovieSync(Invocation& inv, const std::string& moviePath)
{
    long track = 0;
    if (const auto given = inv.args.Value("--audio-track")) {
        if (!ParseInt32(*given, track) || track < 1)
            return inv.Usage("--audio-track: not a track number from 1: " + *given);
    }
    StandardRecordList target;
    auto handler = OpenWithRecords(inv, target);
    if (!handler)
        return kExitFailure;
    Session& s = inv.session;
    std::optional<double> fps;
    if (handler->isFrameBased == 1) {
        if (const int usage = inv.FrameRateOption(fps))
            return usage;
    }
    const double targetUnits =
        handler->isFrameBased == 1 ? fps.value_or(25.0) : static_cast<double>(UnitsPerSecond(s.precision));

    media::SpeechOptions options;
    options.track = static_cast<int>(track);
    const int mostCuts = inv.args.Has("--no-cuts") ? 0 : kMostCuts;
    media::MovieFinding movie =
        media::FindMovieTimeMap(moviePath, SubtitleSpeechOf(target, targetUnits), mostCuts, options);
    const media::SpeechReading& reading = movie.reading;
    if (!media::HasResult(reading.status)) {
        s.host.Print(s.texts.LookupText(media::MediaStatusTextNumber(reading.status)) + " (" + reading.message + ")");
        return kExitFailure;
    }
    if (reading.status == media::MediaStatus::Damaged)
        s.host.Print(FormatCount(s.texts.LookupText(media::MediaStatusTextNumber(reading.status)),
                                 media::DecodedPercent(reading)));
    return RunCutAwareSync(inv, *handler, target, *movie.found, targetUnits);
}

int RunAutoSync(Invocation& inv)
{
    const auto moviePath = inv.args.Value("--movie");
    const auto referencePath = inv.args.Value("--reference");
    if (moviePath && referencePath)
        return inv.Usage("--movie and --reference exclude each other");
    if (moviePath)
        return RunMovieSync(inv, *moviePath);
    if (inv.args.Has("--audio-track"))
        return inv.Usage("--audio-track needs --movie");
    if (!referencePath)
        return inv.Usage("missing --reference REF or --movie MOVIE");
    StandardRecordList target;
    auto handler = OpenWithRecords(inv, target);
    if (!handler)
        return kExitFailure;
    Session& s = inv.session;
    const SubtitleFormat referenceFormat = s.Detect(*referencePath);
    if (referenceFormat == SubtitleFormat::None)
        return kExitFailure;
    StandardRecordList reference;
    if (LoadReferenceRecords(s.ctx, s.Copy(*referencePath), referenceFormat, reference, s.precision) < 0)
        return kExitFailure;

    // Frames meet seconds through the frame rate; a MicroDvd file on both
    // sides counts both at the same one.
    const bool targetFrames = handler->isFrameBased == 1;
    const bool referenceFrames = referenceFormat == SubtitleFormat::MicroDvd;
    std::optional<double> fps;
    if (targetFrames || referenceFrames) {
        if (const int usage = inv.FrameRateOption(fps))
            return usage;
    }
    const double rate = fps.value_or(25.0);
    const double timeUnits = static_cast<double>(UnitsPerSecond(s.precision));
    const double targetUnits = targetFrames ? rate : timeUnits;
    if (!inv.args.Has("--no-cuts"))
        return RunCutAwareSync(
            inv, *handler, target,
            FindPiecewiseTimeMap(SubtitleSpeechOf(target, targetUnits),
                                 SpokenSpans(SubtitleSpeechOf(reference, referenceFrames ? rate : timeUnits))),
            targetUnits);
    const TimeMapFinding finding =
        FindTimeMap(SpeechOf(target, targetUnits), SpeechOf(reference, referenceFrames ? rate : timeUnits));
    reference.clear();

    s.host.Print("offset: " + std::string(finding.offset < 0 ? "" : "+") + FixedText(finding.offset, 2) + " s");
    s.host.Print("ratio: " + FixedText(finding.ratio, 6));
    // The finding is judged over the two points Synchronize then maps through,
    // as the dialog judges the times it takes from the same file.
    const SyncPoints points = PlanAutoSync(finding, target, targetUnits, targetFrames, false, s.precision).points;
    target.clear();
    if (points.change)
        s.host.Print(DescribeFrameRateChange(s.ctx.Text(kTextFrameRateChange), *points.change));
    s.host.Print("score: " + std::to_string(ScorePercent(finding)) + " %");
    if (!finding.trusted) {
        TellTimedFileDoesNotFit(s.ctx, finding, Owner::None);
        return kExitFailure;
    }
    return DeliverResult(
        inv, RunSynchronize(s.ctx, *handler, points.old1, points.new1, points.new2, points.old2, s.Options()));
}

constexpr OptionRule kShiftOptions[] = {{"--by"}, {"--fps"}, {"-o"}};
constexpr OptionRule kSyncOptions[] = {{"--first"}, {"--second"}, {"--fps"}, {"--exact-ratio", false}, {"-o"}};
constexpr OptionRule kAutoSyncOptions[] = {{"--reference"}, {"--movie"},  {"--audio-track"},
                                           {"--no-cuts", false}, {"--fps"}, {"-o"}};

constexpr Command kCommands[] = {
    {"shift", "shift FILE --by AMOUNT [--fps F] [-o OUT]", kShiftOptions, 1, RunShift},
    {"sync", "sync FILE --first N=AMOUNT --second M=AMOUNT [--fps F] [--exact-ratio] [-o OUT]", kSyncOptions, 1,
     RunSync},
    {"autosync",
     "autosync FILE --reference REF [--no-cuts] [--fps F] [-o OUT]\n"
     "autosync FILE --movie MOVIE [--audio-track N] [--no-cuts] [--fps F] [-o OUT]",
     kAutoSyncOptions, 1, RunAutoSync},
};

} // namespace

std::span<const Command> TimingCommands()
{
    return kCommands;
}

} // namespace zv::cli
