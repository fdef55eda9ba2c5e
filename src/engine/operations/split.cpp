#include "engine/operations/split.h"

#include "engine/io/file_io.h"
#include "engine/operations/move_time.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"
#include "engine/standard_file.h"

#include <algorithm>

namespace zv {

int SplitStandardFile(Context& ctx, const std::string& source, const std::string& first,
                      const std::string& second, long n)
{
    LineReader in;
    OutputFile outFirst;
    OutputFile outSecond;
    if (!in.Open(source) || !outFirst.Open(first) || !outSecond.Open(second)) {
        ctx.CannotOpen();
        in.Close();
        outFirst.Close();
        outSecond.Close();
        RemoveFile(first);
        RemoveFile(second);
        return -1;
    }
    std::string line;
    for (long number = 1; in.Next(line); ++number)
        (number <= n ? outFirst : outSecond).Write(line);
    in.Close();
    const bool firstWritten = outFirst.Close();
    const bool secondWritten = outSecond.Close();
    if (!firstWritten || !secondWritten) {
        ctx.CannotWrite(firstWritten ? outSecond.error() : outFirst.error());
        RemoveFile(first);
        RemoveFile(second);
        return -1;
    }
    return 0;
}

long SplitPointForLine(const FormatHandler& handler, long currentLine, const std::string& sourcePath)
{
    long n = currentLine;
    // Counted as the records are: a MicroDvd frame-rate line is a line of the
    // file but no subtitle.
    if (currentLine >= 1) {
        n = handler.SubtitleNumberAtLine(currentLine, sourcePath);
        if (n < 0)
            return -1; // the source could not be read; the user has been told
    }
    // A cut before the first subtitle would leave the first part empty.
    if (n < 1) {
        handler.context().Tell(kSplitBeforeFirstText, 44, Buttons::Ok, Icon::Exclamation, Owner::Frame);
        return -1;
    }
    return n;
}

long BoundaryStart(Context& ctx, long n)
{
    if (n < 1)
        return 0;
    return RecordStartAt(ctx, n - 1, ctx.workspace.SourceStandardFile);
}

Outcome RunSplit(Context& ctx, FormatHandler& handler, long n, long shift, const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    // Split yields both parts or nothing: the frame shows the two results
    // side by side, and half a split is not what the user asked for.
    const auto fail = [&]() {
        RemoveFile(ws.SecondOutputStandardFile);
        return Outcome{};
    };
    if (SplitStandardFile(ctx, ws.SourceStandardFile, ws.OutputStandardFile, ws.SecondOutputStandardFile, n) != 0)
        return fail();

    AutoStampLine(ctx, ws.OutputStandardFile, handler.isFrameBased, options);
    const Outcome first = WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, Outcome{}, options);
    if (!first.done)
        return fail();

    const Outcome shifted = ShiftStandardFile(ctx, ws.SecondOutputStandardFile, ws.OutputStandardFile, -shift, options.precision);
    RemoveFile(ws.SecondOutputStandardFile);
    if (!shifted.done)
        return fail();

    AutoStampLine(ctx, ws.OutputStandardFile, handler.isFrameBased, options);
    // The second part continues the first's numbering (Ssa keeps each
    // subtitle's own dialogue fields by it).
    const int firstEntry = n > 0 ? static_cast<int>(std::min(n, 2'000'000'000L)) : 0;
    Outcome both = shifted;
    both.dropped += first.dropped;
    const Outcome second = WriteResult(ctx, handler, ws.OutputStandardFile, ws.SecondWorkingCopy, firstEntry, both, options);
    if (!second.done)
        return fail();
    return second;
}

} // namespace zv
