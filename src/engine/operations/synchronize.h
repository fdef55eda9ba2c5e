// Synchronize: all starts mapped through the line that two reference points
// define; every subtitle keeps its duration.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/write_options.h"
#include "engine/operations/frame_rate_change.h"

#include <optional>
#include <string>

namespace zv {

// The text that refuses two reference points with the same old start.
inline constexpr int kTextSameReferenceStart = 393;
// The text that refuses new times running backwards (a ratio of 0 or less).
inline constexpr int kTextReferencesBackwards = 394;
// The drift finding, with the movie's and the subtitles' frame rates as %s.
inline constexpr int kTextFrameRateChange = 396;

// Maps every start through (old1 -> new1), (old2 -> new2), cut toward zero
// in tenths, to the nearest unit with exact times; ends keep their distance
// to the start. Drops, question, progress and
// results as ShiftStandardFile. Two points at the same old start are refused
// (the message above, not done, no output), and so are new times that would
// run backwards or stand still against the old ones (a ratio of 0 or less).
Outcome RetimeStandardFile(Context& ctx, const std::string& source, const std::string& output, long old1, long new1,
                           long new2, long old2, TimePrecision precision = TimePrecision::Tenths);

enum class SyncCheck { Go, NoChange, SameStart, Backwards };
// The checks of the dialog's OK: no change at all (text 47, caption 48), two
// points with the same old start, or new times giving a ratio of 0 or less
// (each refused with its own text). Shows the message (owned by the dialog)
// unless the check passes.
SyncCheck CheckReferencePoints(Context& ctx, long old1, long new1, long new2, long old2);

// The ratio of new to old times that the two points give; 0 for one old start.
double ReferenceRatio(long old1, long new1, long new2, long old2);

// The known frame-rate change that the two points show, judged as closely as
// points picked by hand can tell it.
std::optional<FrameRateChange> FindReferenceDrift(long old1, long new1, long new2, long old2, bool frameUnits,
                                                  TimePrecision precision = TimePrecision::Tenths);

// The two points Synchronize maps through, and the change they show.
struct SyncPoints {
    long old1 = 0;
    long new1 = 0;
    long new2 = 0;
    long old2 = 0;
    std::optional<FrameRateChange> change;
};
// What the dialog's "exact ratio" choice and the command line's --exact-ratio
// both apply: with exactRatio and a known change shown, the first point stays
// and the second new time moves to where the change's exact ratio puts it,
// which removes the error of picking it by hand; otherwise the points as given.
SyncPoints PlanSynchronize(long old1, long new1, long new2, long old2, bool frameUnits, bool exactRatio,
                           TimePrecision precision = TimePrecision::Tenths);

// What Synchronize's OK does once the checks passed: stamp-line, retime, writer
// (not after a failed or cancelled retime). Done when the result stands.
Outcome RunSynchronize(Context& ctx, FormatHandler& handler, long old1, long new1, long new2, long old2,
                       const WriteOptions& options);

} // namespace zv
