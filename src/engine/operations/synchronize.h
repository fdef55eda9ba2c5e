// Synchronize: all starts mapped through the line that two reference points
// define; every subtitle keeps its duration.
#pragma once

#include "engine/context.h"
#include "engine/format_handler.h"

#include <string>

namespace zv {

// The text that refuses two reference points with the same old start.
inline constexpr int kTextSameReferenceStart = 393;

// Maps every start through (old1 -> new1), (old2 -> new2), cut toward zero;
// ends keep their distance to the start. Drops, question, progress and
// results as ShiftStandardFile. Two points at the same old start are refused
// (the message above, -1, no output).
int RetimeStandardFile(Context& ctx, const std::string& source, const std::string& output, long old1, long new1,
                       long new2, long old2);

enum class SyncCheck { Go, NoChange, SameStart };
// The checks of the dialog's OK: no change at all (text 47, caption 48) or two
// points with the same old start (refused with its own text). Shows the
// message (owned by the dialog) unless the check passes.
SyncCheck CheckReferencePoints(Context& ctx, long old1, long new1, long new2, long old2);

// What Synchronize's OK does once the checks passed: stamp-line, retime, writer
// (not after a failed or cancelled retime). 0 when the result stands.
int RunSynchronize(Context& ctx, FormatHandler& handler, long old1, long new1, long new2, long old2);

} // namespace zv
