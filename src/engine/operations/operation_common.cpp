#include "engine/operations/operation_common.h"

#include "engine/file_io.h"
#include "engine/progress.h"
#include "engine/standard_file.h"

#include <cmath>

namespace zv {

std::string_view RecordText(std::string_view line)
{
    if (line.size() > 16)
        return line.substr(16);
    return line.substr(line.size() - LineEndLength(line));
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

std::string DroppedSummary(Context& ctx)
{
    if (ctx.DroppedRecordCount == 0)
        return ctx.Text(25);
    return ctx.Text(50) + " " + std::to_string(ctx.DroppedRecordCount) + " \n\n" + ctx.Text(25);
}

int RemapStandardFile(Context& ctx, const std::string& source, const std::string& output, const TimeMap& map,
                      bool beepFirst)
{
    ctx.OperationDoneFlag = 0;
    ctx.DroppedRecordCount = 0;
    const std::string question = ctx.Text(70);

    LineReader in;
    OutputFile out;
    if (!in.Open(source) || !out.Open(output)) {
        ctx.CannotOpen();
        in.Close();
        out.Close();
        RemoveFile(output);
        return -1;
    }

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
        ctx.OperationDoneFlag = 0;
        return -1;
    };

    bool asked = false;
    std::string line;
    std::string record;
    while (in.Next(line)) {
        if (IsRecordLine(line)) {
            const RecordFields f = ParseRecordLine(line);
            double newStart = 0.0;
            double newEnd = 0.0;
            map(f.start, f.end, newStart, newEnd);
            if (f.end == 0)
                newEnd = 0.0;
            if (!FitsStandardField(newStart) || !FitsStandardField(newEnd)) {
                ++ctx.DroppedRecordCount;
                if (!asked && ctx.Asks("_CNF_ASK_4")) {
                    if (ctx.host.Message(question, ctx.Text(44), Buttons::OkCancel, Icon::Exclamation,
                                         Owner::Progress) != Answer::Ok)
                        return abandon();
                }
                asked = true;
            } else {
                record = FormatRecord(static_cast<long>(newStart), static_cast<long>(newEnd), RecordText(line));
                out.Write(record);
            }
        }
        progress.Percent(in.BytesRead(), total);
    }

    in.Close();
    if (!out.Close()) {
        ctx.Tell(53, 44, Buttons::Ok, Icon::Stop, Owner::Progress);
        return abandon();
    }
    ctx.OperationDoneFlag = 1;
    progress.Complete(DroppedSummary(ctx));
    return 0;
}

int WriteResult(Context& ctx, FormatHandler& handler, const std::string& source, const std::string& target,
                int firstEntryIndex, int engineDropped)
{
    const int result = handler.WriteSubtitleFile(source, target, 1, 0, firstEntryIndex);
    ctx.DroppedRecordCount += engineDropped;
    if (result != 0)
        ctx.OperationDoneFlag = 0;
    return result == 0 ? 0 : -1;
}

} // namespace zv
