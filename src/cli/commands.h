// The subcommands of zentavo-cli. Each file of commands offers its table; the
// dispatcher in cli.cpp lists the tables.
#pragma once

#include "cli/arguments.h"
#include "cli/session.h"
#include "engine/outcome.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zv::cli {

struct Command;

// One call of a command: its arguments and the run it works in.
struct Invocation {
    const Command& command;
    ParsedArguments args;
    Session& session;

    // Prints why and the command's usage; returns the usage exit code 2.
    int Usage(const std::string& why) const;
    const std::string& File() const { return args.positional.front(); }
    std::optional<std::string> Out() const { return args.Value("-o"); }
    // The amount option name as typed; a missing one is a usage error when
    // required, else the amount stays 0. 0, or 2 after the usage text.
    int AmountArgument(std::string_view name, bool required, Amount& amount) const;
    // The amount of option name in the units of the open file (--fps read
    // only when a clock time meets a frame-numbered file). 0, or 2 after the
    // usage text.
    int AmountOption(const Amount& amount, std::string_view name, bool frameBased, long& units) const;
    // --fps when given. 0, or 2 after the usage text.
    int FrameRateOption(std::optional<double>& fps) const;
    // The run's workspace, then the input file detected and read into the
    // SourceStandardFile. Null after the message (exit 1).
    std::unique_ptr<FormatHandler> OpenInput();
};

struct Command {
    std::string_view name;
    std::string_view synopsis; // after "zentavo-cli "
    std::span<const OptionRule> options;
    std::size_t positional; // how many file arguments
    int (*run)(Invocation&);
};

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Ends a command whose engine leaves its result in the WorkingCopy: on
// success the dropped-records line and the result to -o or standard output;
// a failed engine run is exit 1 (with a word even when the engine said none).
int DeliverResult(Invocation& inv, const Outcome& outcome);

std::span<const Command> InfoCommands();
std::span<const Command> ConvertCommands();
std::span<const Command> TimingCommands();
std::span<const Command> RepairCommands();
std::span<const Command> SplitJoinCommands();
std::span<const Command> StampCommands();
std::span<const Command> MediaCommands();

} // namespace zv::cli
