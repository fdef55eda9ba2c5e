#include "cli/cli.h"

#include "cli/commands.h"
#include "cli/interrupt_cleanup.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zv::cli {

namespace {

std::vector<const Command*> AllCommands()
{
    std::vector<const Command*> all;
    for (auto table : {InfoCommands(), ConvertCommands(), TimingCommands(), RepairCommands(), SplitJoinCommands(),
                        StampCommands(), MediaCommands()})
        for (const Command& c : table)
            all.push_back(&c);
    return all;
}

// A synopsis may hold several forms, one a line; each is printed as a
// whole command line, ready to paste into a shell.
void PrintSynopsis(std::FILE* to, std::string_view synopsis, const char* first, const char* next)
{
    const char* prefix = first;
    while (!synopsis.empty()) {
        const std::size_t end = std::min(synopsis.find('\n'), synopsis.size());
        std::fprintf(to, "%szentavo-cli %.*s\n", prefix, static_cast<int>(end), synopsis.data());
        synopsis.remove_prefix(std::min(end + 1, synopsis.size()));
        prefix = next;
    }
}

void PrintUsage(std::FILE* to)
{
    std::fputs("usage:\n", to);
    for (const Command* c : AllCommands())
        PrintSynopsis(to, c->synopsis, "  ", "  ");
    std::fputs("  zentavo-cli --version | --help\n", to);
    std::fputs("FMT: tmplayer (1), tmplayer-short (2), microdvd (3), mpl2 (4), subrip (5),\n"
               "     subviewer1 (6), ssa (7), subviewer2 (8)\n"
               "AMOUNT: a whole number of the file's units (frames for microdvd, tenths of a\n"
               "        second otherwise), or [-]H:MM:SS[,mmm] (microdvd needs --fps F for it)\n"
               "MOVIE: a film or sound file; N: its sound track's number from audio-tracks\n",
               to);
}

int GeneralUsage(const std::string& why)
{
    std::fprintf(stderr, "zentavo-cli: %s\n", why.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}

} // namespace

int Invocation::Usage(const std::string& why) const
{
    std::fprintf(stderr, "zentavo-cli %.*s: %s\n", static_cast<int>(command.name.size()), command.name.data(),
                 why.c_str());
    PrintSynopsis(stderr, command.synopsis, "usage: ", "       ");
    return kExitUsage;
}

int Invocation::AmountArgument(std::string_view name, bool required, Amount& amount) const
{
    const auto given = args.Value(name);
    if (!given)
        return required ? Usage("missing " + std::string(name) + " AMOUNT") : 0;
    if (!ParseAmount(*given, amount))
        return Usage(std::string(name) + ": not an amount: " + *given);
    return 0;
}

int Invocation::FrameRateOption(std::optional<double>& fps) const
{
    if (const auto text = args.Value("--fps")) {
        double value = 0;
        if (!ParseFrameRate(*text, value))
            return Usage("--fps: not a frame rate greater than 0: " + *text);
        fps = value;
    }
    return 0;
}

std::unique_ptr<FormatHandler> Invocation::OpenInput()
{
    if (!session.Ready())
        return nullptr;
    return session.OpenSource(File());
}

int Invocation::AmountOption(const Amount& amount, std::string_view name, bool frameBased, long& units) const
{
    std::optional<double> fps;
    if (amount.clock && frameBased) {
        if (const int usage = FrameRateOption(fps))
            return usage;
    }
    std::string error;
    if (!ResolveAmount(amount, frameBased, fps, session.precision, units, error))
        return Usage(std::string(name) + ": " + error);
    return 0;
}

int DeliverResult(Invocation& inv, const Outcome& outcome)
{
    Session& s = inv.session;
    if (!outcome.done) {
        if (s.host.printed() == 0)
            s.Failed("the command did not complete");
        return kExitFailure;
    }
    s.ReportDropped(outcome.dropped);
    return s.Deliver(s.ctx.workspace.WorkingCopy, inv.Out());
}

int Run(int argc, char** argv)
{
    // A closed pipe on standard output is a failed write, reported like any
    // other, and the run still cleans up its workspace.
    std::signal(SIGPIPE, SIG_IGN);
    InstallInterruptCleanup();

    if (argc < 2)
        return GeneralUsage("no command given");
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("zentavo-cli %s\n", ZENTAVO_VERSION);
        return 0;
    }
    const Command* command = nullptr;
    for (const Command* c : AllCommands())
        if (c->name == name)
            command = c;
    if (!command)
        return GeneralUsage("unknown command " + std::string(name));

    Session session;
    Invocation inv{*command, {}, session};
    // --tenths belongs to every command: the arithmetic of earlier releases,
    // byte for byte.
    std::vector<char*> args(argv + 2, argv + argc);
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (std::string_view(*it) == "--")
            break;
        if (std::string_view(*it) == "--tenths") {
            session.precision = TimePrecision::Tenths;
            args.erase(it);
            break;
        }
    }
    const std::span<char* const> rest(args.data(), args.size());
    if (const std::string error = ParseArguments(rest, command->options, inv.args); !error.empty())
        return inv.Usage(error);
    if (inv.args.positional.size() < command->positional)
        return inv.Usage("missing file argument");
    if (inv.args.positional.size() > command->positional)
        return inv.Usage("unexpected argument " + inv.args.positional[command->positional]);
    return command->run(inv);
}

} // namespace zv::cli
