#include "engine/operations/stamp_line.h"

#include "engine/io/file_io.h"
#include "engine/operations/operation_common.h"
#include "engine/standard_file.h"
#include "engine/config/setting_names.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace zv {

namespace {

constexpr const char* kZeroTimes = "0000000|0000000|";

// Room the first subtitle must leave for a stamp of its own, and how far
// after the last subtitle the end stamp starts: frames, or tenths in the
// file's units.
long BeginningRoom(int isFrameBased, TimePrecision p) { return isFrameBased ? 50 : FromTenths(20, p); }
long GapAfterEnd(int isFrameBased, TimePrecision p) { return isFrameBased ? 25 : FromTenths(10, p); }
long GapAfterStart(int isFrameBased, TimePrecision p) { return isFrameBased ? 100 : FromTenths(40, p); }

void TellAlreadyThere(Context& ctx, const std::string& text, int message)
{
    ctx.host.Beep();
    ctx.host.Message(text + "\n\n" + ctx.Text(message), ctx.Text(44), Buttons::Ok, Icon::Exclamation, Owner::None);
}

// A blank stamp adds nothing: the target is the source as it is.
Outcome CopyUnstamped(Context& ctx, const std::string& source, const std::string& target)
{
    if (CopyFileOver(source, target))
        return Outcome{true};
    ctx.CannotOpen();
    RemoveFile(target);
    return Outcome{};
}

// A stamp pass whose target stands; changed says whether the stamp went in.
Outcome Stamped(bool added)
{
    Outcome outcome{true};
    outcome.changed = added ? 1 : 0;
    return outcome;
}

// The text of a stamp as the settings or a dialog give it, cleaned and in the
// open file's encoding.
std::string FileStampText(const WriteOptions& options, const std::string& utf8)
{
    const std::string clean = CleanStampText(utf8);
    return options.encodeStamp ? options.encodeStamp(clean) : clean;
}

} // namespace

std::string CleanStampText(std::string_view text)
{
    std::string clean;
    for (const char c : text)
        if (c != '\r' && c != '\n')
            clean += c;
    return clean;
}

bool IsBlankStampText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::string CutUtf8(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = maxBytes;
    // Back over continuation bytes (10xxxxxx) to the start of the character
    // that would be cut.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

Outcome StampBeginning(Context& ctx, const std::string& source, const std::string& target,
                       const std::string& rawText, bool interactive, int isFrameBased, TimePrecision precision)
{
    const std::string text = CleanStampText(rawText);
    if (IsBlankStampText(text))
        return CopyUnstamped(ctx, source, target);
    LineReader in;
    OutputFile out;
    if (!OpenPass(ctx, in, source, out, target))
        return Outcome{};

    std::string first;
    const bool hasFirst = in.Next(first);
    bool added = true;
    if (!hasFirst || ParseRecordLine(first).start > BeginningRoom(isFrameBased, precision)) {
        // Room enough before the first subtitle (or none at all): a record of its own.
        out.Write(kZeroTimes + text + "\r\n");
        out.Write(first);
    } else {
        const std::string_view firstText = RecordText(first);
        if (firstText.substr(0, text.size()) == text) {
            added = false;
            out.Write(first);
        } else {
            // The stamp becomes the first row of the first subtitle, which then
            // starts at 0 and keeps its own end: an end of 0 would hide it.
            const long end = std::clamp(ParseRecordLine(first).end, 0L, MaxStandardTime(precision));
            out.Write("0000000|" + WriteStandardNumber(end) + text + "|");
            out.Write(firstText.empty() ? std::string_view("\r\n") : firstText);
        }
    }
    CopyRest(in, out);
    in.Close();
    if (!ClosePass(ctx, out, target, Owner::None))
        return Outcome{};
    if (!added && interactive)
        TellAlreadyThere(ctx, text, 374);
    return Stamped(added);
}

Outcome StampEnd(Context& ctx, const std::string& source, const std::string& target, const std::string& rawText,
                 bool interactive, int isFrameBased, TimePrecision precision)
{
    const std::string text = CleanStampText(rawText);
    if (IsBlankStampText(text))
        return CopyUnstamped(ctx, source, target);
    LineReader in;
    OutputFile out;
    if (!OpenPass(ctx, in, source, out, target))
        return Outcome{};

    // The last line that holds a record; with a single record that is the
    // first line, and an empty file has none.
    std::string line;
    std::string last;
    bool hasLast = false;
    while (in.Next(line)) {
        out.Write(line);
        if (HasRecordTimes(line)) {
            last = line;
            hasLast = true;
        }
    }
    in.Close();

    bool added = false;
    bool already = false;
    if (hasLast) {
        const RecordFields f = ParseRecordLine(last);
        if (WithoutLineEnd(f.text) == text) {
            already = true;
        } else {
            const long start = f.end != 0 ? f.end + GapAfterEnd(isFrameBased, precision)
                                          : f.start + GapAfterStart(isFrameBased, precision);
            // A stamp past the last time a field can hold goes at that last time.
            out.Write(WriteStandardNumber(std::clamp(start, 0L, MaxStandardTime(precision))) + "0000000|" + text +
                      "\r\n");
            added = true;
        }
    }
    if (!ClosePass(ctx, out, target, Owner::None))
        return Outcome{};
    if (already && interactive)
        TellAlreadyThere(ctx, text, 375);
    return Stamped(added);
}

Outcome AutoStampLine(Context& ctx, const std::string& path, int isFrameBased, const WriteOptions& options)
{
    Outcome stamped{true};
    if (!StampLineAutomatic(ctx.settings))
        return stamped;
    const std::string temporary = ctx.workspace.OutputStandardFile + "_TEMP_STOPKA";
    const long place = ctx.settings.ReadNumber(key::StampPlace);
    const auto put = [&](const Outcome& pass) {
        if (pass.done && CopyFileOver(temporary, path))
            stamped.changed += pass.changed;
        else
            stamped.done = false;
    };
    const auto text = [&](const char* setting) { return FileStampText(options, ctx.settings.ReadSetting(setting)); };
    if (place == 2 || place == 3)
        put(StampEnd(ctx, path, temporary, text(key::StampEnd), false, isFrameBased, options.precision));
    if (place == 1 || place == 3)
        put(StampBeginning(ctx, path, temporary, text(key::StampBeginning), false, isFrameBased, options.precision));
    RemoveFile(temporary);
    return stamped;
}

Outcome RunStampLine(Context& ctx, FormatHandler& handler, StampPlace place, const std::string& beginUtf8,
                     const std::string& endUtf8, const WriteOptions& options)
{
    const Workspace& ws = ctx.workspace;
    const std::string beginText = FileStampText(options, beginUtf8);
    const std::string endText = FileStampText(options, endUtf8);
    const int frames = handler.isFrameBased;
    Outcome stamped;
    switch (place) {
    case StampPlace::Both: {
        const Outcome end = StampEnd(ctx, ws.SourceStandardFile, ws.SecondOutputStandardFile, endText, true, frames,
                                     options.precision);
        stamped = end;
        if (end.done) {
            stamped = StampBeginning(ctx, ws.SecondOutputStandardFile, ws.OutputStandardFile, beginText, true, frames,
                                     options.precision);
            stamped.changed += end.changed;
        }
        RemoveFile(ws.SecondOutputStandardFile);
        break;
    }
    case StampPlace::End:
        stamped = StampEnd(ctx, ws.SourceStandardFile, ws.OutputStandardFile, endText, true, frames, options.precision);
        break;
    case StampPlace::Beginning:
        stamped = StampBeginning(ctx, ws.SourceStandardFile, ws.OutputStandardFile, beginText, true, frames,
                                  options.precision);
        break;
    case StampPlace::None:
        return Outcome{};
    }
    if (!stamped.done)
        return Outcome{};
    // The count tells of either stamp, not only the last one tried.
    return WriteResult(ctx, handler, ws.OutputStandardFile, ws.WorkingCopy, 0, stamped, options);
}

std::string RegisteredOwner()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        std::string name = found->pw_gecos ? found->pw_gecos : "";
        name = name.substr(0, name.find(','));
        if (!name.empty())
            return name;
        if (found->pw_name && *found->pw_name)
            return found->pw_name;
    }
    for (const char* variable : {"LOGNAME", "USER"})
        if (const char* login = std::getenv(variable); login && *login)
            return login;
    return {};
}

} // namespace zv
