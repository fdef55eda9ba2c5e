// The stamp-line: the user's own text as a subtitle at the beginning and/or
// the end, never added twice.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <string>
#include <string_view>

namespace zv {

enum class StampPlace { None = 0, Beginning = 1, End = 2, Both = 3 };

// A stamp text as it may be used: line breaks removed (a stamp is one row).
std::string CleanStampText(std::string_view text);
// Whether a text would add nothing visible (empty or blanks only).
bool IsBlankStampText(std::string_view text);
// A stored stamp text cut to at most maxBytes without splitting a UTF-8
// character.
std::string CutUtf8(std::string_view text, std::size_t maxBytes);

// Each writes target from source with the stamp added; an empty or blank text
// adds nothing (target an unchanged copy, no message). changed is 1 when the
// stamp went in; when it was there already target is an unchanged copy
// (interactive: a beep and a message). Done when target stands, not when a
// file failed (target removed, the user told).
Outcome StampBeginning(Context& ctx, const std::string& source, const std::string& target, const std::string& text,
                       bool interactive, int isFrameBased, TimePrecision precision = TimePrecision::Tenths);
Outcome StampEnd(Context& ctx, const std::string& source, const std::string& target, const std::string& text,
                 bool interactive, int isFrameBased, TimePrecision precision = TimePrecision::Tenths);
// Adds the stamp-line to the StandardFile in place when STOPKA_AUTO is on,
// at the place STOPKA_SELECTION names, the text as options encode it. Done
// unless a stamp pass failed (the file then stays without that stamp);
// changed counts the stamps that went in. The commands that call it go on
// either way: a missing stamp is no reason to lose their result.
Outcome AutoStampLine(Context& ctx, const std::string& path, int isFrameBased, const WriteOptions& options);

// The stamp-line dialog's "apply and add" button: the texts as typed (the end
// first when both), then the open file's writer into the WorkingCopy, also
// when the stamps were there already. Done when the WorkingCopy stands; not
// when a file failed or no place is chosen. changed counts the stamps that
// went in: only then is there a new result to show. The texts (UTF-8) go in
// as the options' encodeStamp makes them.
Outcome RunStampLine(Context& ctx, FormatHandler& handler, StampPlace place, const std::string& beginText,
                     const std::string& endText, const WriteOptions& options);

// The full name of the user (password database), else the login name.
std::string RegisteredOwner();

} // namespace zv
