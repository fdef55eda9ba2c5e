// Join two files of one format: the second moved later and appended.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <string>

namespace zv {

// The first file copied to target and the second appended, unsorted.
// 0 after a completed run; -1 after the message (target removed).
int AppendStandardFile(Context& ctx, const std::string& first, const std::string& second,
                       const std::string& target);
// The start of the first file's last record (the default offset).
long JoinBoundaryStart(Context& ctx);

// What Join's OK does (the second file already read into the
// SecondStandardFile): shift, append, stamp-line, writer into the WorkingCopy;
// nothing after a failed or cancelled shift. Done when the result stands.
Outcome RunJoin(Context& ctx, FormatHandler& handler, long offset, const WriteOptions& options);

} // namespace zv
