// Pieces the timing engines share: record lines, the range a StandardFile
// field can hold, opening and closing a pass's files, the record table of the
// repairs, summaries, and the writer step that ends every command.
#pragma once

#include "engine/context.h"
#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "engine/time_units.h"
#include "engine/write_options.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

class ProgressPass;

// A line that holds a record; a bare line end is none.
inline bool IsRecordLine(std::string_view line) { return line.size() > 2; }

// The record's text from column 16 with its line end. A line too short to
// have text keeps its line end, so a rewritten record never runs into the
// next one.
std::string_view RecordText(std::string_view line);

// Opens the source to read and the output to write. On failure the user is
// told the file cannot be opened, nothing stays open and the output is
// removed: the pass returns -1.
bool OpenPass(Context& ctx, LineReader& in, const std::string& source, OutputFile& out, const std::string& output,
              OutputFile::Mode mode = OutputFile::Mode::Create);
// Closes a pass's output. False when writing failed: the user has been told
// (the message owned by owner) and the output is removed.
bool ClosePass(Context& ctx, OutputFile& out, const std::string& output, Owner owner);

// Copies the rest of in to out unchanged.
void CopyRest(LineReader& in, OutputFile& out);

// One record of a RecordTable; its text (from column 16, line end included)
// lies in the table's text buffer.
struct TableRecord {
    long start = 0;
    long end = 0;
    std::size_t offset = 0;
    std::size_t length = 0;
    bool removed = false; // left out when the table is written
};

// The records of a StandardFile held in memory by the passes that reorder or
// join them. Times are kept by value and every text in one buffer, so a large
// file costs a few growing allocations instead of one per record.
class RecordTable {
public:
    // Reads every record line of in; a bare line end is no record. seen, when
    // given, is shown each record's whole line as it is read.
    void Read(LineReader& in, const std::function<void(std::string_view line)>& seen = {});
    std::string_view Text(const TableRecord& r) const { return std::string_view(texts_).substr(r.offset, r.length); }
    // Gives the record a new text.
    void SetText(TableRecord& r, std::string_view text);
    // Writes the records in their order, those marked removed left out.
    void Write(OutputFile& out) const;

    std::vector<TableRecord> records;

private:
    std::string texts_;
};

// The summary of a repair: text 25 alone when nothing was mended, otherwise
// the count in text countText first.
std::string RepairSummary(Context& ctx, long long count, int countText);

// The end of a repair that counts what it mended. With nothing mended the
// output is removed; otherwise the table is written to out. The progress
// window closes with RepairSummary. Returns the count, or -1 when writing
// failed.
long FinishRepair(Context& ctx, ProgressPass& progress, const RecordTable& table, OutputFile& out,
                  const std::string& output, long long count, int countText);


// An amount typed as a clock time (with milliseconds), in StandardFile
// units: tenths of a second (the milliseconds' tenths) or milliseconds, or
// frames at fps when frameBased (cut toward zero with tenths, else the
// nearest frame).
enum class ClockAmount { Ok, BadRate, TooLarge };
ClockAmount UnitsFromClock(long hours, long minutes, long seconds, long milliseconds, bool frameBased, double fps,
                           TimePrecision precision, long& units);
// Tells the user why a clock amount was refused (the message owned by owner).
void TellClockAmountRefused(Context& ctx, ClockAmount why, Owner owner);
// Text of the refusal of an amount past the largest StandardFile time.
inline constexpr int kAmountTooLargeText = 199;

// A language text used as a format with one integer argument. Only the first
// %d (or %i, %u, %ld) is filled and %% gives %; nothing else of the text is
// interpreted, so a translated text can never read arguments that are not there.
std::string FormatCount(const std::string& format, long long count);

// The final status of a pass that drops records: text 25 alone, or the count
// behind text 50 first.
std::string DroppedSummary(Context& ctx, int dropped);

// New start and end of one record. The end is only consulted when the record
// had one (end 0 stays 0).
using TimeMap = std::function<void(long start, long end, double& newStart, double& newEnd)>;

// The pass Move time and Synchronize share: every record through map, records
// that leave the field range dropped and counted (the first one asks unless
// _CNF_ASK_4 is set), progress, summary. beepFirst sounds the beep once the
// window is up (a shift by nothing). Not done when a file failed or the user
// cancelled; the output exists only when done.
Outcome RemapStandardFile(Context& ctx, const std::string& source, const std::string& output, const TimeMap& map,
                          bool beepFirst, TimePrecision precision = TimePrecision::Tenths);

// Runs write into a temporary file beside target and puts it in place only
// when it returns 0: a cancelled or failed run leaves target, and the result
// shown from it, as it was.
int WriteReplacing(Context& ctx, const std::string& target, const std::function<int(const std::string&)>& write);

// The last step of a command: the open file's writer from source into target
// (deleting source). The outcome of the engine before it is carried on: its
// drops added to the writer's, its count and summary kept, so the outcome
// tells the whole command. Not done when the writer failed: there is nothing
// to show.
Outcome WriteResult(Context& ctx, FormatHandler& handler, const std::string& source, const std::string& target,
                    int firstEntryIndex, const Outcome& engine, const WriteOptions& options);

// The command side of a repair that left fixed records mended in the
// OutputStandardFile (fixed 0: nothing to mend, -1: it failed): the automatic
// stamp-line, then the open file's writer into the WorkingCopy. Done when that
// result stands; changed holds fixed and the summary the repair's, with
// countText as FinishRepair.
Outcome WriteRepairResult(Context& ctx, FormatHandler& handler, long fixed, int countText,
                          const WriteOptions& options);

} // namespace zv
