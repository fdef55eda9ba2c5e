// Move time: every record earlier or later by one amount.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <string>

namespace zv {

// Adds delta to every start (and to every end that is not 0) of source and
// writes output, with the progress window. Records that would fall outside
// the field (0..9,999,999, or 999,999,999 milliseconds) are dropped and counted; the first drop asks (text 70) unless
// _CNF_ASK_4 is set, and Cancel there ends the run without output.
// Done after a completed run, with the summary the progress window closed
// with. Not done when a file failed or the user cancelled.
Outcome ShiftStandardFile(Context& ctx, const std::string& source, const std::string& output, long delta,
                          TimePrecision precision = TimePrecision::Tenths);

// What Move time's OK does after reading its fields: the automatic stamp-line
// on the SourceStandardFile, the shift into the OutputStandardFile, then the
// open file's writer into the WorkingCopy. Done when a result stands there;
// after a failed or cancelled shift the writer does not run. The outcome
// counts what the shift and the writer left out together.
Outcome RunMoveTime(Context& ctx, FormatHandler& handler, long delta, const WriteOptions& options);

} // namespace zv
