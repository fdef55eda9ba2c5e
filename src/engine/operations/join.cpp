#include "engine/operations/join.h"

#include "engine/io/file_io.h"
#include "engine/operations/move_time.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"
#include "engine/standard_file.h"

namespace zv {

int AppendStandardFile(Context& ctx, const std::string& first, const std::string& second,
                       const std::string& target)
{
    if (!CopyFileOver(first, target)) {
        ctx.CannotOpen();
        RemoveFile(target);
        return -1;
    }
    LineReader in;
    OutputFile out;
    if (!OpenPass(ctx, in, second, out, target, OutputFile::Mode::Append))
        return -1;
    // The second file follows whatever the times: the result is not sorted.
    CopyRest(in, out);
    in.Close();
    if (!ClosePass(ctx, out, target, Owner::None))
        return -1;
    return 0;
}

long JoinBoundaryStart(Context& ctx)
{
    // The last line that holds a record, wherever blank lines stand.
    LineReader in;
    if (!in.Open(ctx.workspace.SourceStandardFile)) {
        ctx.CannotOpen();
        return 0;
    }
    long start = 0;
    std::string_view line;
    while (in.Next(line))
        if (IsRecordLine(line))
            start = ParseRecordLine(line).start;
    return start;
}

Outcome RunJoin(Context& ctx, FormatHandler& handler, long offset, const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    const Outcome shifted = ShiftStandardFile(ctx, ws.SecondStandardFile, ws.OutputStandardFile, offset, options.precision);
    if (!shifted.done)
        return shifted;
    const int appended =
        AppendStandardFile(ctx, ws.SourceStandardFile, ws.OutputStandardFile, ws.SecondOutputStandardFile);
    RemoveFile(ws.OutputStandardFile);
    if (appended != 0)
        return Outcome{false, shifted.dropped};
    AutoStampLine(ctx, ws.SecondOutputStandardFile, handler.isFrameBased, options);
    return WriteResult(ctx, handler, ws.SecondOutputStandardFile, ws.WorkingCopy, 0, shifted, options);
}

} // namespace zv
