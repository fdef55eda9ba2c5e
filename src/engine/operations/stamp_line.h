// The stamp-line: the user's own text as a subtitle at the beginning and/or
// the end, never added twice.
#pragma once

#include "engine/context.h"
#include "engine/format_handler.h"

#include <string>

namespace zv {

enum class StampPlace { None = 0, Beginning = 1, End = 2, Both = 3 };

void StampBeginning(Context& ctx, const std::string& source, const std::string& target, const std::string& text,
                    bool interactive, int isFrameBased);
void StampEnd(Context& ctx, const std::string& source, const std::string& target, const std::string& text,
              bool interactive, int isFrameBased);
// Adds the stamp-line to the StandardFile in place when STOPKA_AUTO is on,
// at the place STOPKA_SELECTION names; OperationDoneFlag is left as it was.
void AutoStampLine(Context& ctx, const std::string& path, int isFrameBased);

// The stamp-line dialog's "apply and add" button: the texts as typed, then the
// open file's writer.
int RunStampLine(Context& ctx, FormatHandler& handler, StampPlace place, const std::string& beginText,
                 const std::string& endText);

// The full name of the user (password database), else the login name.
std::string RegisteredOwner();

} // namespace zv
