// Split one file into two after a chosen subtitle.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <string>

namespace zv {

// Lines 1..n to first, the rest to second. No progress window. 0 when both
// stand; -1 after the message (neither is left).
int SplitStandardFile(Context& ctx, const std::string& source, const std::string& first,
                      const std::string& second, long n);

// Text of the refusal of a cut before the first subtitle.
inline constexpr int kSplitBeforeFirstText = 198;

// The split point for a selected source line: the number of subtitles
// within the first currentLine lines (for one-line formats the line itself,
// less a MicroDvd frame-rate line).
// -1 after telling the user when the source cannot be read or the line lies
// before the first subtitle (the first part would be empty).
long SplitPointForLine(const FormatHandler& handler, long currentLine, const std::string& sourcePath);
// The start of record n-1 of the SourceStandardFile (the default shift).
long BoundaryStart(Context& ctx, long n);

// What Split's OK does: split, stamp-line and writer for the first part into
// the WorkingCopy, the second part moved earlier by shift (>= 0), stamp-line
// and writer into the SecondWorkingCopy. Done when both results stand: the
// two are one result, neither is shown without the other. Any failure or
// cancel is not done and runs nothing after it. The outcome counts what the
// whole command left out.
Outcome RunSplit(Context& ctx, FormatHandler& handler, long n, long shift, const WriteOptions& options);

} // namespace zv
