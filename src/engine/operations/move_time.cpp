#include "engine/operations/move_time.h"

#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"

namespace zv {

Outcome ShiftStandardFile(Context& ctx, const std::string& source, const std::string& output, long delta,
                          TimePrecision precision)
{
    const TimeMap shift = [delta](long start, long end, double& newStart, double& newEnd) {
        newStart = static_cast<double>(start) + static_cast<double>(delta);
        newEnd = end > 0 ? static_cast<double>(end) + static_cast<double>(delta) : static_cast<double>(end);
    };
    // A shift by nothing still runs, so the user hears that nothing moved.
    return RemapStandardFile(ctx, source, output, shift, delta == 0, precision);
}

Outcome RunMoveTime(Context& ctx, FormatHandler& handler, long delta, const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    AutoStampLine(ctx, ws.SourceStandardFile, handler.isFrameBased, options);
    const Outcome shifted =
        ShiftStandardFile(ctx, ws.SourceStandardFile, ws.OutputStandardFile, delta, options.precision);
    if (!shifted.done)
        return shifted;
    return WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, shifted, options);
}

} // namespace zv
