// Reading the command line: options, numbers, frame rates and time amounts.
// Everything here is strict: a value that is not exactly what the option
// takes is a usage error, never a silent zero.
#pragma once

#include "engine/time_units.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zv::cli {

struct OptionRule {
    std::string_view name; // "--by", "-o"
    bool takesValue = true;
    bool repeatable = false;
};

struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::vector<std::string>, std::less<>> options;

    bool Has(std::string_view name) const { return options.find(name) != options.end(); }
    // The value of a single-valued option, if given.
    std::optional<std::string> Value(std::string_view name) const;
    const std::vector<std::string>& Values(std::string_view name) const;
};

// Splits args into options and positional arguments. An option that takes a
// value always takes the next argument, even one starting with "-" (so
// "--by -50" works); "--name=value" is accepted too, and "--" ends the
// options. Returns an error text, empty on success.
std::string ParseArguments(std::span<char* const> args, std::span<const OptionRule> rules, ParsedArguments& out);

// A decimal integer that fits 32 bits, optionally signed.
bool ParseInt32(std::string_view text, long& value);
// A decimal number (as strtod reads it, nothing left over) that is finite.
bool ParseNumber(std::string_view text, double& value);
// A frame rate: a number greater than 0, also once narrowed to float.
bool ParseFrameRate(std::string_view text, double& value);

// A time amount as typed: frames or tenths of a second (the integer form), or
// a clock time [-]H:MM:SS with milliseconds if wanted ([-]H:MM:SS,mmm; a
// point works too, and fewer digits are a decimal fraction). Only the syntax
// is checked here; the file's format decides what the clock time becomes.
struct Amount {
    bool clock = false;
    long units = 0; // the integer form
    // The clock form; negative makes it earlier.
    bool negative = false;
    long hours = 0;
    long minutes = 0;
    long seconds = 0;
    long milliseconds = 0;
};
bool ParseAmount(std::string_view text, Amount& amount);

// The amount in the StandardFile's units. Time-based files: the integer
// form counts tenths, the clock form is exact in milliseconds (with tenths
// its fraction is cut to them). Frame files: the integer form as is, the
// clock form times the frame rate (cut with tenths, else the nearest frame).
// False (with the reason) when the clock form of a frame file has no frame
// rate or the result does not fit 32 bits.
bool ResolveAmount(const Amount& amount, bool frameBased, std::optional<double> fps, TimePrecision precision,
                   long& units, std::string& error);

} // namespace zv::cli
