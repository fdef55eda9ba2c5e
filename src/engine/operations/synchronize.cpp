#include "engine/operations/synchronize.h"

#include "engine/io/file_io.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"

#include <cmath>

namespace zv {

Outcome RetimeStandardFile(Context& ctx, const std::string& source, const std::string& output, long old1, long new1,
                           long new2, long old2, TimePrecision precision)
{
    const double ratio = ReferenceRatio(old1, new1, new2, old2);
    if (old1 == old2 || ratio <= 0) {
        // Two points at one old time give no line to map through; a ratio of
        // 0 or less would pile every subtitle on one moment or reverse them.
        ctx.Tell(old1 == old2 ? kTextSameReferenceStart : kTextReferencesBackwards, 48, Buttons::Ok,
                 Icon::Information);
        RemoveFile(output);
        return Outcome{};
    }
    const TimeMap retime = [=](long start, long end, double& newStart, double& newEnd) {
        newStart = WholeTime(static_cast<double>(new1) + static_cast<double>(start - old1) * ratio, precision);
        // Every subtitle keeps its own duration; only the starts are stretched.
        newEnd = newStart + static_cast<double>(end - start);
    };
    return RemapStandardFile(ctx, source, output, retime, false, precision);
}

double ReferenceRatio(long old1, long new1, long new2, long old2)
{
    if (old1 == old2)
        return 0;
    return static_cast<double>(new2 - new1) / static_cast<double>(old2 - old1);
}

SyncCheck CheckReferencePoints(Context& ctx, long old1, long new1, long new2, long old2)
{
    if (old1 == new1 && old2 == new2) {
        ctx.Tell(47, 48, Buttons::Ok, Icon::Information, Owner::Dialog);
        return SyncCheck::NoChange;
    }
    if (old1 == old2) {
        ctx.Tell(kTextSameReferenceStart, 48, Buttons::Ok, Icon::Information, Owner::Dialog);
        return SyncCheck::SameStart;
    }
    if (ReferenceRatio(old1, new1, new2, old2) <= 0) {
        ctx.Tell(kTextReferencesBackwards, 48, Buttons::Ok, Icon::Information, Owner::Dialog);
        return SyncCheck::Backwards;
    }
    return SyncCheck::Go;
}

std::optional<FrameRateChange> FindReferenceDrift(long old1, long new1, long new2, long old2, bool frameUnits,
                                                  TimePrecision precision)
{
    return FindFrameRateChange(ReferenceRatio(old1, new1, new2, old2), static_cast<double>(new2 - new1),
                               frameUnits, precision);
}

SyncPoints PlanSynchronize(long old1, long new1, long new2, long old2, bool frameUnits, bool exactRatio,
                           TimePrecision precision)
{
    SyncPoints points{old1, new1, new2, old2, FindReferenceDrift(old1, new1, new2, old2, frameUnits, precision)};
    if (exactRatio && points.change)
        points.new2 = new1 + std::lround(points.change->ratio * static_cast<double>(old2 - old1));
    return points;
}

Outcome RunSynchronize(Context& ctx, FormatHandler& handler, long old1, long new1, long new2, long old2,
                       const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    // Points the engine refuses must not leave a stamp behind either.
    if (ReferenceRatio(old1, new1, new2, old2) > 0)
        AutoStampLine(ctx, ws.SourceStandardFile, handler.isFrameBased, options);
    const Outcome retimed =
        RetimeStandardFile(ctx, ws.SourceStandardFile, ws.OutputStandardFile, old1, new1, new2, old2, options.precision);
    if (!retimed.done)
        return retimed;
    return WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, retimed, options);
}

} // namespace zv
