#include "engine/operations/operation_common.h"

#include "engine/io/file_io.h"
#include "engine/operations/stamp_line.h"
#include "engine/host/progress.h"
#include "engine/standard_file.h"
#include "engine/config/setting_names.h"

#include <cmath>
#include <cstdio>
#include <exception>

namespace zv {

std::string_view RecordText(std::string_view line)
{
    const std::size_t column = RecordTextColumn(line);
    if (line.size() > column)
        return line.substr(column);
    return line.substr(line.size() - LineEndLength(line));
}

bool OpenPass(Context& ctx, LineReader& in, const std::string& source, OutputFile& out, const std::string& output,
              OutputFile::Mode mode)
{
    if (in.Open(source) && out.Open(output, mode))
        return true;
    ctx.CannotOpen();
    in.Close();
    out.Close();
    RemoveFile(output);
    return false;
}

bool ClosePass(Context& ctx, OutputFile& out, const std::string& output, Owner owner)
{
    if (out.Close())
        return true;
    ctx.CannotWrite(out.error(), owner);
    RemoveFile(output);
    return false;
}

namespace {
// The times and a line end: no record this program writes is shorter.
constexpr std::uint64_t kShortestRecord = 18;
} // namespace

void CopyRest(LineReader& in, OutputFile& out)
{
    std::string_view line;
    while (in.Next(line))
        out.Write(line);
}

void RecordTable::Read(LineReader& in, const std::function<void(std::string_view line)>& seen)
{
    // Room for the whole file at once, so the texts are not copied again and
    // again as they grow; what is never filled is never touched. Only a hint:
    // without the room the table simply grows.
    const std::uint64_t size = in.Size();
    try {
        texts_.reserve(texts_.size() + static_cast<std::size_t>(size));
        records.reserve(records.size() + static_cast<std::size_t>(size / kShortestRecord) + 1);
    } catch (const std::exception&) {
    }
    std::string_view line;
    while (in.Next(line)) {
        if (!IsRecordLine(line))
            continue;
        if (seen)
            seen(line);
        const RecordFields f = ParseRecordLine(line);
        const std::string_view text = RecordText(line);
        records.push_back({f.start, f.end, texts_.size(), text.size(), false});
        texts_ += text;
    }
}

void RecordTable::SetText(TableRecord& r, std::string_view text)
{
    // The old text stays in the buffer unused; joins are few.
    r.offset = texts_.size();
    r.length = text.size();
    texts_ += text;
}

void RecordTable::Write(OutputFile& out) const
{
    std::string record;
    for (const TableRecord& r : records) {
        if (r.removed)
            continue;
        record.clear();
        AppendRecord(record, r.start, r.end, Text(r));
        out.Write(record);
    }
}

std::string RepairSummary(Context& ctx, long long count, int countText)
{
    if (count == 0)
        return ctx.Text(25);
    return FormatCount(ctx.Text(countText), count) + ctx.Text(25);
}

long FinishRepair(Context& ctx, ProgressPass& progress, const RecordTable& table, OutputFile& out,
                  const std::string& output, long long count, int countText)
{
    // Nothing mended: the output goes away, so its records are not written first.
    if (count != 0)
        table.Write(out);
    if (!ClosePass(ctx, out, output, Owner::Progress)) {
        progress.Cancel();
        return -1;
    }
    if (count == 0) {
        RemoveFile(output);
        progress.Complete(RepairSummary(ctx, 0, countText));
        return 0;
    }
    progress.Complete(RepairSummary(ctx, count, countText));
    return static_cast<long>(count);
}

ClockAmount UnitsFromClock(long hours, long minutes, long seconds, long milliseconds, bool frameBased, double fps,
                           TimePrecision precision, long& units)
{
    units = 0;
    if (frameBased && !(std::isfinite(fps) && fps > 0.0))
        return ClockAmount::BadRate;
    if (hours < 0 || minutes < 0 || seconds < 0 || milliseconds < 0)
        return ClockAmount::TooLarge;
    // Seconds in double: no product of typed digits can overflow here.
    const double whole = (static_cast<double>(hours) * 60.0 + static_cast<double>(minutes)) * 60.0 +
                         static_cast<double>(seconds);
    double value = 0;
    if (precision == TimePrecision::Tenths) {
        // The seed's tenths: a fraction typed finer than them is cut.
        const double total = whole + static_cast<double>(milliseconds / 100) / 10.0;
        value = std::trunc(frameBased ? total * fps : total * 10.0);
    } else {
        value = frameBased ? std::round((whole + static_cast<double>(milliseconds) / 1000.0) * fps)
                           : whole * 1000.0 + static_cast<double>(milliseconds);
    }
    if (!FitsStandardField(value, precision))
        return ClockAmount::TooLarge;
    units = static_cast<long>(value);
    return ClockAmount::Ok;
}

void TellClockAmountRefused(Context& ctx, ClockAmount why, Owner owner)
{
    if (why == ClockAmount::BadRate)
        ctx.Tell(74, 73, Buttons::Ok, Icon::Stop, owner);
    else if (why == ClockAmount::TooLarge)
        ctx.Tell(kAmountTooLargeText, 44, Buttons::Ok, Icon::Stop, owner);
}

std::string FormatCount(const std::string& format, long long count)
{
    std::string out;
    bool filled = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        if (format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < format.size() && format[j] == 'l')
            ++j;
        if (!filled && j < format.size() && (format[j] == 'd' || format[j] == 'i' || format[j] == 'u')) {
            out += std::to_string(count);
            filled = true;
            i = j;
            continue;
        }
        out += format[i];
    }
    return out;
}

std::string DroppedSummary(Context& ctx, int dropped)
{
    if (dropped == 0)
        return ctx.Text(25);
    return ctx.Text(50) + " " + std::to_string(dropped) + " \n\n" + ctx.Text(25);
}

Outcome RemapStandardFile(Context& ctx, const std::string& source, const std::string& output, const TimeMap& map,
                          bool beepFirst, TimePrecision precision)
{
    Outcome outcome;
    const std::string question = ctx.Text(70);

    LineReader in;
    OutputFile out;
    if (!OpenPass(ctx, in, source, out, output))
        return outcome;

    ProgressPass progress(ctx);
    const std::int64_t size = FileSize(source);
    const std::uint64_t total = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    if (beepFirst)
        ctx.host.Beep();

    const auto abandon = [&]() {
        out.Close();
        in.Close();
        RemoveFile(output);
        progress.Cancel();
        return outcome;
    };

    bool asked = false;
    std::string_view line;
    std::string record;
    while (in.Next(line)) {
        if (IsRecordLine(line)) {
            const RecordFields f = ParseRecordLine(line);
            double newStart = 0.0;
            double newEnd = 0.0;
            map(f.start, f.end, newStart, newEnd);
            if (f.end == 0)
                newEnd = 0.0;
            if (!FitsStandardField(newStart, precision) || !FitsStandardField(newEnd, precision)) {
                ++outcome.dropped;
                if (!asked && ctx.Asks(key::AskWhenSkipping)) {
                    if (ctx.host.AskBeforeDiscarding(question, ctx.Text(44), Buttons::OkCancel, Icon::Exclamation,
                                                     Owner::Progress) != Answer::Ok)
                        return abandon();
                }
                asked = true;
            } else {
                record.clear();
                AppendRecord(record, static_cast<long>(newStart), static_cast<long>(newEnd), RecordText(line));
                out.Write(record);
            }
        }
        progress.Percent(in.BytesRead(), total);
    }

    in.Close();
    if (!ClosePass(ctx, out, output, Owner::Progress))
        return abandon();
    outcome.summary = DroppedSummary(ctx, outcome.dropped);
    progress.Complete(outcome.summary);
    outcome.done = true;
    return outcome;
}

int WriteReplacing(Context& ctx, const std::string& target, const std::function<int(const std::string&)>& write)
{
    // The workspace is this program's own: a fixed name beside the result will do.
    const std::string part = target + ".zv-part";
    const int result = write(part);
    if (result != 0) {
        RemoveFile(part);
        return result;
    }
    // A workspace file needs no flush to disk, only to change in one step.
    if (std::rename(part.c_str(), target.c_str()) != 0) {
        RemoveFile(part);
        ctx.CannotOpen();
        return -1;
    }
    return 0;
}

Outcome WriteResult(Context& ctx, FormatHandler& handler, const std::string& source, const std::string& target,
                    int firstEntryIndex, const Outcome& engine, const WriteOptions& options)
{
    Outcome written;
    // No conversion here: the writer keeps the numbers, in the options' unit.
    WriteOptions writing;
    writing.precision = options.precision;
    const int result = WriteReplacing(ctx, target, [&](const std::string& part) {
        written = handler.WriteSubtitleFile(source, part, 1, 0, firstEntryIndex, writing);
        return written.done ? 0 : -1;
    });
    written.dropped += engine.dropped;
    written.changed = engine.changed;
    written.summary = engine.summary;
    written.done = result == 0;
    return written;
}

Outcome WriteRepairResult(Context& ctx, FormatHandler& handler, long fixed, int countText,
                          const WriteOptions& options)
{
    Outcome mended;
    mended.changed = fixed;
    if (fixed < 0)
        return mended;
    mended.summary = RepairSummary(ctx, fixed, countText);
    if (fixed == 0)
        return mended;
    const Workspace& ws = ctx.workspace;
    AutoStampLine(ctx, ws.OutputStandardFile, handler.isFrameBased, options);
    return WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, mended, options);
}

} // namespace zv
