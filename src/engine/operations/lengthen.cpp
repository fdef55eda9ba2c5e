#include "engine/operations/lengthen.h"

#include "engine/file_io.h"
#include "engine/operations/operation_common.h"
#include "engine/operations/stamp_line.h"
#include "engine/progress.h"
#include "engine/standard_file.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zv {

namespace {

struct Subtitle {
    long start = 0;
    long end = 0;
    std::string text; // with its line end
    long rows = 1;
    bool removed = false;

    std::size_t Length() const { return text.size() - LineEndLength(text); }
};

// A display time in whole units, cut toward zero; kept far inside long so
// absurd settings cannot overflow the comparisons.
long WholeUnits(double value)
{
    return static_cast<long>(std::trunc(std::clamp(value, -1e12, 1e12)));
}

// The second subtitle becomes the last row of the first.
void JoinInto(Subtitle& first, Subtitle& next)
{
    first.text.resize(first.Length());
    first.text += '|';
    first.text += next.text;
    first.rows += next.rows;
    next.removed = true;
}

} // namespace

long LengthenShortSubtitles(Context& ctx, const std::string& source, const std::string& output, int mayLengthen,
                            int isFrameBased, LengthenSettings settings)
{
    double perCharacter = static_cast<double>(settings.perCharacter);
    long base = settings.base;
    if (isFrameBased) {
        // The settings are tenths of a second; a frame file counts 25 per second.
        base = WholeUnits(static_cast<double>(base) * 2.5);
        perCharacter *= 2.5;
    }
    ctx.host.Message(ctx.Text(347), ctx.Text(44), Buttons::Ok, Icon::None, Owner::None);

    ctx.OperationDoneFlag = 0;
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

    std::vector<Subtitle> subs;
    std::string line;
    while (in.Next(line)) {
        if (!IsRecordLine(line))
            continue;
        const RecordFields f = ParseRecordLine(line);
        Subtitle s;
        s.start = f.start;
        s.end = f.end;
        s.text = std::string(RecordText(line));
        s.rows = static_cast<long>(std::count(line.begin(), line.end(), '|')) - 1;
        subs.push_back(std::move(s));
    }
    in.Close();

    const std::size_t n = subs.size();
    long fixed = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        Subtitle& cur = subs[i];
        Subtitle& next = subs[i + 1];
        if (!cur.removed) {
            const long shown = (cur.end == 0 ? next.start : std::min(cur.end, next.start)) - cur.start;
            if (shown == -1)
                ctx.host.Message("Orvek nie przewidziales jakiejs mozliwosci !", "BLAD", Buttons::Ok, Icon::None,
                                 Owner::None);
            const long need = WholeUnits(static_cast<double>(cur.Length()) * perCharacter + static_cast<double>(base));
            if (shown >= need) {
                // long enough already
            } else if (mayLengthen && cur.start + need <= next.start) {
                cur.end = cur.start + need;
                ++fixed;
            } else if (settings.joinAllowed && cur.rows + next.rows <= settings.maxRows) {
                const bool tooLong = settings.maxCharacters != 0 &&
                                     cur.Length() + next.Length() > static_cast<std::size_t>(settings.maxCharacters);
                const long combined = WholeUnits(static_cast<double>(next.Length()) * perCharacter +
                                                 static_cast<double>(need) + static_cast<double>(base));
                if (!tooLong) {
                    bool join = true;
                    if (i + 2 < n) {
                        const Subtitle& after = subs[i + 2];
                        const long room = (cur.end != 0 ? after.end : after.start) - cur.start;
                        join = combined <= room;
                    }
                    if (join) {
                        // The joined subtitle ends where the second one did (no end
                        // when it had none), also for the last pair of the file.
                        const long end = next.end;
                        JoinInto(cur, next);
                        cur.end = end;
                        ++fixed;
                    }
                }
            }
        }
        progress.SetPercent(static_cast<int>((i + 2) * 100 / n));
    }

    for (const Subtitle& s : subs)
        if (!s.removed)
            out.Write(FormatRecord(s.start, s.end, s.text));
    if (!out.Close()) {
        ctx.Tell(53, 44, Buttons::Ok, Icon::Stop, Owner::Progress);
        RemoveFile(output);
        progress.Cancel();
        return -1;
    }
    if (fixed == 0) {
        RemoveFile(output);
        progress.Complete(ctx.Text(25));
        return 0;
    }
    ctx.OperationDoneFlag = 1;
    progress.Complete(FormatCount(ctx.Text(345), fixed) + ctx.Text(25));
    return fixed;
}

int RunLengthenDefault(Context& ctx, FormatHandler& handler, long* fixedCount)
{
    const Workspace& ws = ctx.workspace;
    const long fixed = LengthenShortSubtitles(ctx, ws.SourceStandardFile, ws.OutputStandardFile,
                                              handler.mayLengthen, handler.isFrameBased, LengthenSettings{});
    if (fixedCount)
        *fixedCount = fixed;
    if (fixed <= 0 || ctx.OperationDoneFlag != 1)
        return -1;
    AutoStampLine(ctx, ws.OutputStandardFile, handler.isFrameBased);
    ctx.OperationDoneFlag = 1;
    return WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, 0);
}

int RunLengthenAdvanced(Context& ctx, FormatHandler& handler, const LengthenSettings& settings, long* fixedCount)
{
    const Workspace& ws = ctx.workspace;
    const long fixed = LengthenShortSubtitles(ctx, ws.SourceStandardFile, ws.OutputStandardFile,
                                              handler.mayLengthen, handler.isFrameBased, settings);
    if (fixedCount)
        *fixedCount = fixed;
    if (fixed <= 0 || ctx.OperationDoneFlag != 1)
        return -1;
    return WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, 0);
}

} // namespace zv
