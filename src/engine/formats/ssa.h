// Sub Station Alpha scripts: the header is kept, each "Dialogue:" line
// becomes a record, and the line's own fields travel beside the records so
// that a file written back keeps every line as it was but for its times.
#pragma once

#include "engine/formats/format_handler.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv {

// What one "Dialogue:" line keeps besides its record.
struct SsaDialogueEntry {
    // The first field: "Marked=k" in the older scripts, a layer number k in
    // the later ones.
    enum class Form { Marked, Layer };
    Form form = Form::Marked;
    long number = 0;
    // Style, Name, MarginL, MarginR, MarginV and Effect exactly as they
    // stand, with their commas.
    std::string middle;
    // The text after the ninth comma as written, line end included.
    std::string text;
    // The text as the StandardFile holds it, without its line end: what a
    // record must still say to be written back with this entry.
    std::string recordText;
};

// Splits one "Dialogue:" line. False when a time cannot be held by a
// StandardFile; such a line is not a dialogue line. A negative time is read
// as 0, and told in negative when given.
bool ParseDialogueLine(std::string_view line, TimePrecision precision, long& start, long& end,
                       SsaDialogueEntry& entry, bool* negative = nullptr);
// The text as a record holds it: each "\n" or "\N" becomes " |".
std::string SsaRecordText(std::string_view text);

// The "[V4 Styles]" block up to its Format line, and the "[Events]" block
// (from the empty line before it) up to its Format line.
extern const char* const kSsaStylesBlock;
extern const char* const kSsaEventsBlock;
// One style line with its line end.
std::string SsaStyleLine(std::string_view name, int italic, std::string_view font, long size, long border,
                         long outline, long shadow, long marginV);

// The entries read from the open file (and Join's second file), in the order
// of their records; none before a read.
const std::vector<SsaDialogueEntry>& SsaEntries(const FormatHandler& handler);

} // namespace zv
