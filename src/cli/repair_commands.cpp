// The repairs: line ends, order, subtitles that vanish too fast.
#include "cli/commands.h"

#include "engine/operations/lengthen.h"
#include "engine/operations/repair.h"

#include <limits>

namespace zv::cli {

namespace {

// A repair that finds nothing to mend still hands the file on, unchanged.
int NothingToChange(Invocation& inv)
{
    inv.session.host.Print("nothing to change");
    return inv.session.Deliver(inv.File(), inv.Out());
}

// outcome.changed is what the repair mended: 0 for nothing, -1 after a failure.
int AfterRepair(Invocation& inv, const Outcome& outcome)
{
    if (outcome.changed == 0)
        return NothingToChange(inv);
    return DeliverResult(inv, Outcome{outcome.done});
}

int RunRepairEnds(Invocation& inv)
{
    Session& s = inv.session;
    if (!s.Ready())
        return kExitFailure;
    // The raw bytes: one that lost its CR bytes may not even be recognised.
    const InputFile* input = s.Take(inv.File(), InputMode::Raw);
    if (!input)
        return kExitFailure;
    Outcome repaired;
    repaired.changed = RepairLineEnds(s.ctx, input->copy);
    repaired.done = repaired.changed > 0;
    return AfterRepair(inv, repaired);
}

int RunSort(Invocation& inv)
{
    auto handler = inv.OpenInput();
    if (!handler)
        return kExitFailure;
    return AfterRepair(inv, RunSortRecords(inv.session.ctx, *handler, inv.session.Options()));
}

// A whole number of at least 0 for one of lengthen's settings.
bool CountOption(Invocation& inv, std::string_view name, int& value, int& exit)
{
    const auto given = inv.args.Value(name);
    if (!given)
        return true;
    long v = 0;
    if (!ParseInt32(*given, v) || v < 0) {
        exit = inv.Usage(std::string(name) + ": not a whole number of at least 0: " + *given);
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

int RunLengthen(Invocation& inv)
{
    LengthenSettings settings;
    int exit = 0;
    if (!CountOption(inv, "--base", settings.base, exit) || !CountOption(inv, "--max-rows", settings.maxRows, exit) ||
        !CountOption(inv, "--max-chars", settings.maxCharacters, exit))
        return exit;
    if (const auto given = inv.args.Value("--per-char")) {
        double v = 0;
        if (!ParseNumber(*given, v) || v < 0 || v > static_cast<double>(std::numeric_limits<float>::max()))
            return inv.Usage("--per-char: not a number of at least 0: " + *given);
        settings.perCharacter = static_cast<float>(v);
    }
    settings.joinAllowed = inv.args.Has("--no-join") ? 0 : 1;

    auto handler = inv.OpenInput();
    if (!handler)
        return kExitFailure;
    return AfterRepair(inv, RunLengthenAdvanced(inv.session.ctx, *handler, settings, inv.session.Options()));
}

constexpr OptionRule kOutOnly[] = {{"-o"}};
constexpr OptionRule kLengthenOptions[] = {{"--base"},     {"--per-char"}, {"--max-rows"},
                                           {"--max-chars"}, {"--no-join", false}, {"-o"}};

constexpr Command kCommands[] = {
    {"repair-ends", "repair-ends FILE [-o OUT]", kOutOnly, 1, RunRepairEnds},
    {"sort", "sort FILE [-o OUT]", kOutOnly, 1, RunSort},
    {"lengthen",
     "lengthen FILE [--base N] [--per-char F] [--max-rows N] [--max-chars N] [--no-join] [-o OUT]",
     kLengthenOptions, 1, RunLengthen},
};

} // namespace

std::span<const Command> RepairCommands()
{
    return kCommands;
}

} // namespace zv::cli
