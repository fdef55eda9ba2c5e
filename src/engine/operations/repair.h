// Repairs: CR LF line ends for a file that lost them, and records back in
// order of their starts.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"

#include <string>

namespace zv {

// Leaves the repaired copy of the subtitle file in the WorkingCopy (also when
// nothing needed repair): every line end CR LF, whether it was a lone LF, a
// lone CR or CR CR LF. OperationDoneFlag 1 when a line end changed. Returns
// the number of changed line ends, or -1 when a file failed. Lines of any
// length.
long RepairLineEnds(Context& ctx, const std::string& sourcePath);

// Stable sort by start. Returns the number of adjacent swaps that put the
// records in order (the inversions; users see this count), or -1 when a file
// failed.
// With nothing out of order the output is deleted and OperationDoneFlag is 0.
long SortRecords(Context& ctx, const std::string& source, const std::string& output);

// The Repair dialog's sort button: sort, then (when something moved) the
// automatic stamp-line on the output and the open file's writer into the
// WorkingCopy. 0 when the sorted result stands there; -1 otherwise, which
// includes a file that was already in order (fixedCount, when given, then
// holds 0; it holds -1 after a failure).
int RunSortRecords(Context& ctx, FormatHandler& handler, const WriteOptions& options, long* fixedCount = nullptr);

} // namespace zv
