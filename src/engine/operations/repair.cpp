#include "engine/operations/repair.h"

#include "engine/io/file_io.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"
#include "engine/host/progress.h"
#include "engine/standard_file.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>
#include <vector>

namespace zv {

namespace {

// The bar of a pass that cannot tell how far it is: every 16 steps it moves
// by a tenth, up to full and back down again.
int PulsePosition(long long steps)
{
    const long long moves = steps / 16;
    const int r = static_cast<int>(moves % 20);
    return r <= 10 ? r * 10 : (20 - r) * 10;
}

// Stable bottom-up merge sort by start. Returns the number of inversions,
// which is exactly the number of adjacent swaps a bubbling sort needs, and
// calls pulse with the running count after every merge.
template <typename Pulse>
long long SortCountingSwaps(std::vector<TableRecord>& entries, Pulse pulse)
{
    long long swaps = 0;
    const std::size_t n = entries.size();
    const auto at = [&](std::size_t index) { return entries.begin() + static_cast<std::ptrdiff_t>(index); };
    // Holds the part of a left run that has to move; a file in order never
    // touches it.
    std::vector<TableRecord> left;
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            if (mid >= hi)
                continue;
            if (entries[mid - 1].start <= entries[mid].start)
                continue; // already in order: nothing to merge
            // Records of the left run that start no later than the right
            // run's first stay where they are.
            const long firstRight = entries[mid].start;
            const auto moving = std::upper_bound(at(lo), at(mid), firstRight,
                                                 [](long start, const TableRecord& r) { return start < r.start; });
            if (left.capacity() == 0)
                left.reserve(n);
            left.assign(moving, at(mid));
            std::size_t i = 0;
            std::size_t j = mid;
            std::size_t k = static_cast<std::size_t>(moving - entries.begin());
            const long long before = swaps;
            while (i < left.size() && j < hi) {
                if (left[i].start <= entries[j].start) {
                    entries[k++] = left[i++];
                } else {
                    swaps += static_cast<long long>(left.size() - i);
                    entries[k++] = entries[j++];
                }
            }
            while (i < left.size())
                entries[k++] = left[i++];
            if (swaps != before)
                pulse(swaps);
        }
    }
    return swaps;
}

// Appends line (up to and including its LF) with every line end in it made
// CR LF: the run of CRs before the LF (CR CR LF is what a text-mode transfer
// leaves of CR LF) and each CR anywhere else (a line end of its own). A
// damaged line end opening the file is debris of the transfer and goes.
// Returns how many line ends changed.
long RepairLine(std::string_view line, bool opensFile, std::string& out)
{
    const bool ended = !line.empty() && line.back() == '\n';
    std::size_t crs = 0;
    if (ended) {
        line.remove_suffix(1);
        while (crs < line.size() && line[line.size() - 1 - crs] == '\r')
            ++crs;
        line.remove_suffix(crs);
    }
    long changes = 0;
    for (const char c : line) {
        if (c != '\r') {
            out += c;
            opensFile = false;
            continue;
        }
        ++changes;
        if (!std::exchange(opensFile, false))
            out += "\r\n";
    }
    if (ended && crs != 1) {
        ++changes;
        if (!opensFile)
            out += "\r\n";
    } else if (ended) {
        out += "\r\n";
    }
    return changes;
}

} // namespace

long RepairLineEnds(Context& ctx, const std::string& sourcePath)
{
    const Workspace& ws = ctx.workspace;
    const bool copied = CopyFileOver(sourcePath, ws.WorkingCopy);
    if (copied)
        EnsureFinalLineBreak(ws.WorkingCopy);

    // The scratch file lives in this user's workspace, never under a fixed
    // name in a folder that others can write to.
    const std::string temporary = ws.BadEntersFile;
    LineReader in;
    OutputFile out;
    if (!copied || !in.Open(ws.WorkingCopy) || !out.Open(temporary)) {
        ctx.CannotOpen();
        in.Close();
        out.Close();
        RemoveFile(ws.WorkingCopy);
        RemoveFile(temporary);
        return -1;
    }

    ProgressPass progress(ctx);
    const std::int64_t size = FileSize(ws.WorkingCopy);
    const std::uint64_t total = size > 0 ? static_cast<std::uint64_t>(size) : 0;

    long changes = 0;
    bool first = true;
    std::string_view line;
    std::string repaired;
    while (in.Next(line)) {
        repaired.clear();
        changes += RepairLine(line, std::exchange(first, false), repaired);
        out.Write(repaired);
        progress.Percent(in.BytesRead(), total);
    }
    in.Close();
    errno = 0;
    const bool closed = out.Close();
    const bool written = closed && CopyFileOver(temporary, ws.WorkingCopy);
    const int error = closed ? errno : out.error();
    RemoveFile(temporary);
    if (!written) {
        ctx.CannotWrite(error, Owner::Progress);
        progress.Cancel();
        return -1;
    }
    progress.Complete(ctx.Text(changes > 0 ? 54 : 25));
    return changes;
}

long SortRecords(Context& ctx, const std::string& source, const std::string& output)
{
    LineReader in;
    OutputFile out;
    if (!OpenPass(ctx, in, source, out, output))
        return -1;

    ProgressPass progress(ctx);
    progress.SetGroupText(ctx.Text(335));

    RecordTable table;
    table.Read(in);
    in.Close();

    const long long swaps = SortCountingSwaps(table.records, [&](long long steps) {
        if (steps >= 16)
            progress.SetPercent(PulsePosition(steps));
    });
    progress.SetPercent(100);

    return FinishRepair(ctx, progress, table, out, output, swaps, kSortedCountText);
}

Outcome RunSortRecords(Context& ctx, FormatHandler& handler, const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    const long swaps = SortRecords(ctx, ws.SourceStandardFile, ws.OutputStandardFile);
    return WriteRepairResult(ctx, handler, swaps, kSortedCountText, options);
}

} // namespace zv
