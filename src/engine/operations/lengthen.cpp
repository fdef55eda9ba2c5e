#include "engine/operations/lengthen.h"

#include "engine/io/file_io.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"
#include "engine/host/progress.h"
#include "engine/standard_file.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zv {

namespace {

// A display time in whole units, cut toward zero; kept far inside long so
// absurd settings cannot overflow the comparisons.
long WholeUnits(double value)
{
    return static_cast<long>(std::trunc(std::clamp(value, -1e12, 1e12)));
}

// Characters of a subtitle's text, its rows' bars included.
std::size_t Length(const RecordTable& table, const TableRecord& r)
{
    return WithoutLineEnd(table.Text(r)).size();
}

} // namespace

long LengthenShortSubtitles(Context& ctx, const std::string& source, const std::string& output, int mayLengthen,
                            int isFrameBased, LengthenSettings settings, TimePrecision precision)
{
    double perCharacter = static_cast<double>(settings.perCharacter);
    // A time per character below 0 or not a number would shorten subtitles.
    if (!ValidPerCharacter(perCharacter))
        return -1;
    long base = settings.base;
    if (isFrameBased) {
        // The settings are tenths of a second; a frame file counts 25 per second.
        base = WholeUnits(static_cast<double>(base) * 2.5);
        perCharacter *= 2.5;
    } else if (precision == TimePrecision::Milliseconds) {
        base = FromTenths(base, precision);
        perCharacter *= static_cast<double>(FromTenths(1, precision));
    }
    ctx.host.Message(ctx.Text(347), ctx.Text(44), Buttons::Ok, Icon::None, Owner::None);

    LineReader in;
    OutputFile out;
    if (!OpenPass(ctx, in, source, out, output))
        return -1;
    ProgressPass progress(ctx);

    RecordTable table;
    // Rows of each subtitle: its line's bars, less the two after the times, and one.
    std::vector<long> rows;
    table.Read(in, [&](std::string_view line) {
        rows.push_back(static_cast<long>(std::count(line.begin(), line.end(), '|')) - 1);
    });
    in.Close();
    std::vector<TableRecord>& subs = table.records;

    const std::size_t n = subs.size();
    long fixed = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        TableRecord& cur = subs[i];
        TableRecord& next = subs[i + 1];
        if (!cur.removed) {
            const long shown = (cur.end == 0 ? next.start : std::min(cur.end, next.start)) - cur.start;
            const std::size_t length = Length(table, cur);
            const std::size_t nextLength = Length(table, next);
            const long need = WholeUnits(static_cast<double>(length) * perCharacter + static_cast<double>(base));
            if (shown >= need) {
                // long enough already
            } else if (mayLengthen && cur.start + need <= next.start) {
                cur.end = cur.start + need;
                ++fixed;
            } else if (settings.joinAllowed && rows[i] + rows[i + 1] <= settings.maxRows &&
                       next.start >= cur.start) {
                // An unsorted pair (the next one starting earlier) is never
                // joined: the joined subtitle would end before it starts.
                const bool tooLong = settings.maxCharacters != 0 &&
                                     length + nextLength > static_cast<std::size_t>(settings.maxCharacters);
                const long combined = WholeUnits(static_cast<double>(nextLength) * perCharacter +
                                                 static_cast<double>(need) + static_cast<double>(base));
                if (!tooLong) {
                    bool join = true;
                    if (i + 2 < n) {
                        const TableRecord& after = subs[i + 2];
                        const long room = (cur.end != 0 ? after.end : after.start) - cur.start;
                        join = combined <= room;
                    }
                    if (join) {
                        // The second subtitle becomes the last row of the
                        // first, which ends where the second one did (no end
                        // when it had none), also for the last pair of the file.
                        std::string joined(WithoutLineEnd(table.Text(cur)));
                        joined += '|';
                        joined += table.Text(next);
                        table.SetText(cur, joined);
                        cur.end = next.end;
                        rows[i] += rows[i + 1];
                        next.removed = true;
                        ++fixed;
                    }
                }
            }
        }
        progress.SetPercent(static_cast<int>((i + 2) * 100 / n));
    }

    return FinishRepair(ctx, progress, table, out, output, fixed, kLengthenedCountText);
}

Outcome RunLengthenDefault(Context& ctx, FormatHandler& handler, const WriteOptions& options)
{
    return RunLengthenAdvanced(ctx, handler, LengthenSettings{}, options);
}

Outcome RunLengthenAdvanced(Context& ctx, FormatHandler& handler, const LengthenSettings& settings,
                            const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    const long fixed = LengthenShortSubtitles(ctx, ws.SourceStandardFile, ws.OutputStandardFile,
                                              handler.mayLengthen, handler.isFrameBased, settings, options.precision);
    return WriteRepairResult(ctx, handler, fixed, kLengthenedCountText, options);
}

} // namespace zv
