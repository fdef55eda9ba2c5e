// stamp: the user's own line as a subtitle at the beginning and/or the end.
#include "cli/commands.h"

#include "engine/io/encoding.h"
#include "engine/operations/stamp_line.h"

namespace zv::cli {

namespace {

// A stamp becomes one StandardFile record: a line break inside it would cut
// the record in two and shift every time after it.
bool UsableStamp(const std::string& text)
{
    return !text.empty() && text.find_first_of("\r\n") == std::string::npos;
}

int RunStamp(Invocation& inv)
{
    const auto begin = inv.args.Value("--begin");
    const auto end = inv.args.Value("--end");
    if (!begin && !end)
        return inv.Usage("give --begin TEXT, --end TEXT or both");
    for (const auto* text : {&begin, &end})
        if (*text && !UsableStamp(**text))
            return inv.Usage("a stamp is one line of text, not empty");
    const StampPlace place = begin && end ? StampPlace::Both : begin ? StampPlace::Beginning : StampPlace::End;

    auto handler = inv.OpenInput();
    if (!handler)
        return kExitFailure;
    // The stamp is typed in UTF-8; the file is written back byte for byte, so
    // the stamp goes in in the file's own encoding, as the desktop writes it.
    const std::string encoding = DetectFileEncoding(inv.session.Copy(inv.File()));
    WriteOptions options = inv.session.Options();
    options.encodeStamp = [encoding](const std::string& utf8) { return EncodeUtf8Text(utf8, encoding); };
    const Outcome stamped =
        RunStampLine(inv.session.ctx, *handler, place, begin.value_or(""), end.value_or(""), options);
    return DeliverResult(inv, Outcome{stamped.done});
}

constexpr OptionRule kOptions[] = {{"--begin"}, {"--end"}, {"-o"}};

constexpr Command kCommands[] = {
    {"stamp", "stamp FILE [--begin TEXT] [--end TEXT] [-o OUT]", kOptions, 1, RunStamp},
};

} // namespace

std::span<const Command> StampCommands()
{
    return kCommands;
}

} // namespace zv::cli
