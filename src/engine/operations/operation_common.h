// Pieces the timing engines share: record lines, the range a StandardFile
// field can hold, summaries, and the writer step that ends every command.
#pragma once

#include "engine/context.h"
#include "engine/file_io.h"
#include "engine/format_handler.h"

#include <functional>
#include <string>
#include <string_view>

namespace zv {

// A line that holds a record; a bare line end is none.
inline bool IsRecordLine(std::string_view line) { return line.size() > 2; }

// The record's text from column 16 with its line end. A line too short to
// have text keeps its line end, so a rewritten record never runs into the
// next one.
std::string_view RecordText(std::string_view line);

// Whether a time fits the seven digits of a StandardFile field.
inline bool FitsStandardField(double value) { return value >= 0.0 && value <= 9'999'999.0; }

// A language text used as a format with one integer argument. Only the first
// %d (or %i, %u, %ld) is filled and %% gives %; nothing else of the text is
// interpreted, so a translated text can never read arguments that are not there.
std::string FormatCount(const std::string& format, long long count);

// The final status of a pass that drops records: text 25 alone, or the count
// behind text 50 first.
std::string DroppedSummary(Context& ctx);

// New start and end of one record. The end is only consulted when the record
// had one (end 0 stays 0).
using TimeMap = std::function<void(long start, long end, double& newStart, double& newEnd)>;

// The pass Move time and Synchronize share: every record through map, records
// that leave the field range dropped and counted (the first one asks unless
// _CNF_ASK_4 is set), progress, summary. beepFirst sounds the beep once the
// window is up (a shift by nothing). 0, or -1 when a file failed or the user
// cancelled; the output exists only after 0.
int RemapStandardFile(Context& ctx, const std::string& source, const std::string& output, const TimeMap& map,
                      bool beepFirst);

// The last step of a command: the open file's writer from source into target
// (deleting source). The drops of the engine before it (engineDropped) are
// added to the writer's, so DroppedRecordCount tells the whole command. A
// writer that fails leaves OperationDoneFlag 0: there is nothing to show.
int WriteResult(Context& ctx, FormatHandler& handler, const std::string& source, const std::string& target,
                int firstEntryIndex, int engineDropped);

} // namespace zv
