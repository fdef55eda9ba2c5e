// Repairs: CR LF line ends for a file that lost them, and records back in
// order of their starts.
#pragma once

#include "engine/context.h"
#include "engine/format_handler.h"

#include <string>

namespace zv {

// Leaves the repaired copy of the subtitle file in the WorkingCopy;
// OperationDoneFlag 1 when a line changed. Returns the number of changed lines,
// or -1 when a file failed.
long RepairLineEnds(Context& ctx, const std::string& sourcePath);

// Stable sort by start. Returns the number of adjacent swaps the old
// restart-from-the-top sort made (the inversions), or -1 when a file failed.
// With nothing out of order the output is deleted and OperationDoneFlag is 0.
long SortRecords(Context& ctx, const std::string& source, const std::string& output);

// The Repair dialog's sort button: sort, then (when something moved) the
// automatic stamp-line on the output and the open file's writer.
int RunSortRecords(Context& ctx, FormatHandler& handler);

} // namespace zv
