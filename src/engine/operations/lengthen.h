// Lengthen subtitles that vanish before they can be read, or join them with
// the next one.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/write_options.h"

#include <cmath>
#include <string>

namespace zv {

struct LengthenSettings {
    float perCharacter = 0.5f;
    int base = 8;
    int joinAllowed = 1;
    int maxRows = 3;
    int maxCharacters = 90; // 0: no limit
};

// Whether a time per character can be used: a finite number of 0 or more.
inline bool ValidPerCharacter(double perCharacter) { return std::isfinite(perCharacter) && perCharacter >= 0.0; }

// Returns the number of changed records, or -1 when a file failed or the
// time per character is not valid (nothing done). With
// nothing to change the output is deleted.
long LengthenShortSubtitles(Context& ctx, const std::string& source, const std::string& output, int mayLengthen,
                            int isFrameBased, LengthenSettings settings,
                            TimePrecision precision = TimePrecision::Tenths);

// The text that counts the lengthened subtitles.
inline constexpr int kLengthenedCountText = 345;

// Repair dialog, default settings: lengthen, then stamp-line and writer into
// the WorkingCopy when something changed. Done when that result stands; not
// done otherwise, including nothing to change. changed holds the records
// mended (0 for nothing to change, -1 after a failure).
Outcome RunLengthenDefault(Context& ctx, FormatHandler& handler, const WriteOptions& options);
// The advanced settings dialog's OK: the same with the given settings.
Outcome RunLengthenAdvanced(Context& ctx, FormatHandler& handler, const LengthenSettings& settings,
                            const WriteOptions& options);

} // namespace zv
