// Repairs: CR LF line ends for a file that lost them, and records back in
// order of their starts.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <string>

namespace zv {

// Leaves the repaired copy of the subtitle file in the WorkingCopy (also when
// nothing needed repair): every line end CR LF, whether it was a lone LF, a
// lone CR or CR CR LF. Returns the number of changed line ends (a result to
// show when above 0), or -1 when a file failed. Lines of any length.
long RepairLineEnds(Context& ctx, const std::string& sourcePath);

// Stable sort by start. Returns the number of adjacent swaps that put the
// records in order (the inversions; users see this count), or -1 when a file
// failed.
// With nothing out of order the output is deleted.
long SortRecords(Context& ctx, const std::string& source, const std::string& output);

// The text that counts the swaps of a sort.
inline constexpr int kSortedCountText = 334;

// The Repair dialog's sort button: sort, then (when something moved) the
// automatic stamp-line on the output and the open file's writer into the
// WorkingCopy. Done when the sorted result stands there; not done otherwise,
// which includes a file that was already in order. changed holds the swaps
// (0 for a file in order, -1 after a failure).
Outcome RunSortRecords(Context& ctx, FormatHandler& handler, const WriteOptions& options);

} // namespace zv
