// The stamp-line: the user's own text as a subtitle at the beginning and/or
// the end, never added twice.
#pragma once

#include "engine/context.h"
#include "engine/format_handler.h"

#include <string>

namespace zv {

enum class StampPlace { None = 0, Beginning = 1, End = 2, Both = 3 };

// Each writes target from source with the stamp added. OperationDoneFlag is 1
// when the stamp went in; when it was there already target is an unchanged
// copy (interactive: a beep and a message). 0 when target stands, -1 when a
// file failed (target removed, the user told).
int StampBeginning(Context& ctx, const std::string& source, const std::string& target, const std::string& text,
                   bool interactive, int isFrameBased);
int StampEnd(Context& ctx, const std::string& source, const std::string& target, const std::string& text,
             bool interactive, int isFrameBased);
// Adds the stamp-line to the StandardFile in place when STOPKA_AUTO is on,
// at the place STOPKA_SELECTION names; OperationDoneFlag is left as it was.
void AutoStampLine(Context& ctx, const std::string& path, int isFrameBased);

// The stamp-line dialog's "apply and add" button: the texts as typed (the end
// first when both), then the open file's writer into the WorkingCopy, also
// when the stamps were there already. 0 when the WorkingCopy stands; -1 when a
// file failed or no place is chosen. OperationDoneFlag is 1 only when a stamp
// went in.
int RunStampLine(Context& ctx, FormatHandler& handler, StampPlace place, const std::string& beginText,
                 const std::string& endText);

// The full name of the user (password database), else the login name.
std::string RegisteredOwner();

} // namespace zv
