// split and join: a file for a film in two parts, and back.
#include "cli/commands.h"

#include "engine/operations/join.h"
#include "engine/operations/split.h"

namespace zv::cli {

namespace {

int RunSplitCommand(Invocation& inv)
{
    const auto after = inv.args.Value("--after-line");
    if (!after)
        return inv.Usage("missing --after-line L");
    long line = 0;
    if (!ParseInt32(*after, line) || line < 1)
        return inv.Usage("--after-line: not a line number of at least 1: " + *after);
    Amount amount;
    if (const int usage = inv.AmountArgument("--shift", false, amount))
        return usage;
    const auto& outs = inv.args.Values("-o");
    if (outs.size() != 2)
        return inv.Usage("split needs exactly two -o, one for each part");
    // Compared as files: "s1", "./s1" and a link to it are one file.
    if (Session::SameOutput(outs[0], outs[1]))
        return inv.Usage("both parts would go to the same file");
    Session& s = inv.session;
    for (const std::string& out : outs)
        if (!s.WritableOutput(out))
            return kExitFailure;

    auto handler = inv.OpenInput();
    if (!handler)
        return kExitFailure;
    long shift = 0;
    if (const int usage = inv.AmountOption(amount, "--shift", handler->isFrameBased == 1, shift))
        return usage;
    // The line counts as the selected line of the source window; multi-line
    // formats count the subtitles that start up to it.
    const long n = SplitPointForLine(*handler, line, s.Copy(inv.File()));
    if (n < 0)
        return kExitFailure;
    const Outcome outcome = RunSplit(s.ctx, *handler, n, shift, s.Options());
    if (!outcome.done) {
        if (s.host.printed() == 0)
            s.Failed("the split did not complete");
        return kExitFailure;
    }
    s.ReportDropped(outcome.dropped);
    return s.DeliverBoth(s.ctx.workspace.WorkingCopy, outs[0], s.ctx.workspace.SecondWorkingCopy, outs[1]);
}

int RunJoinCommand(Invocation& inv)
{
    Amount amount;
    if (const int usage = inv.AmountArgument("--offset", false, amount))
        return usage;

    Session& s = inv.session;
    if (!s.Ready())
        return kExitFailure;
    const std::string& first = inv.args.positional[0];
    const std::string& second = inv.args.positional[1];
    const SubtitleFormat format = s.Detect(first);
    if (format == SubtitleFormat::None)
        return kExitFailure;
    const SubtitleFormat secondFormat = s.Detect(second);
    if (secondFormat == SubtitleFormat::None)
        return kExitFailure;
    if (secondFormat != format) {
        s.ctx.Tell(191, 52, Buttons::Ok, Icon::Stop, Owner::Frame);
        return kExitFailure;
    }
    auto handler = s.Read(first, format);
    if (!handler)
        return kExitFailure;
    long offset = 0;
    if (const int usage = inv.AmountOption(amount, "--offset", handler->isFrameBased == 1, offset))
        return usage;
    if (handler->ReadSecondSubtitleFile(s.Copy(second), s.ctx.workspace.SecondStandardFile) != 0)
        return kExitFailure;
    return DeliverResult(inv, RunJoin(s.ctx, *handler, offset, s.Options()));
}

constexpr OptionRule kSplitOptions[] = {{"--after-line"}, {"--shift"}, {"--fps"}, {"-o", true, true}};
constexpr OptionRule kJoinOptions[] = {{"--offset"}, {"--fps"}, {"-o"}};

constexpr Command kCommands[] = {
    {"split", "split FILE --after-line L [--shift AMOUNT] [--fps F] -o OUT1 -o OUT2", kSplitOptions, 1,
     RunSplitCommand},
    {"join", "join FILE SECOND [--offset AMOUNT] [--fps F] [-o OUT]", kJoinOptions, 2, RunJoinCommand},
};

} // namespace

std::span<const Command> SplitJoinCommands()
{
    return kCommands;
}

} // namespace zv::cli
