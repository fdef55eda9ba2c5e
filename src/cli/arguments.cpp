#include "cli/arguments.h"

#include "engine/standard_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace zv::cli {

namespace {

constexpr long long kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr long long kInt32Min = std::numeric_limits<std::int32_t>::min();

bool AllDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

const OptionRule* FindRule(std::span<const OptionRule> rules, std::string_view name)
{
    for (const auto& rule : rules)
        if (rule.name == name)
            return &rule;
    return nullptr;
}

} // namespace

std::optional<std::string> ParsedArguments::Value(std::string_view name) const
{
    const auto it = options.find(name);
    if (it == options.end() || it->second.empty())
        return std::nullopt;
    return it->second.front();
}

const std::vector<std::string>& ParsedArguments::Values(std::string_view name) const
{
    static const std::vector<std::string> none;
    const auto it = options.find(name);
    return it == options.end() ? none : it->second;
}

std::string ParseArguments(std::span<char* const> args, std::span<const OptionRule> rules, ParsedArguments& out)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        // A lone "-" is a positional argument (a file of that name).
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            out.positional.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            inlineValue = std::string(arg.substr(eq + 1));
        }
        const OptionRule* rule = FindRule(rules, name);
        if (!rule)
            return "unknown option " + std::string(name);
        std::string value;
        if (rule->takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else {
                if (i + 1 >= args.size())
                    return "option " + std::string(name) + " needs a value";
                value = args[++i];
            }
        } else if (inlineValue) {
            return "option " + std::string(name) + " takes no value";
        }
        auto& values = out.options[std::string(name)];
        if (!values.empty() && !rule->repeatable)
            return "option " + std::string(name) + " given twice";
        values.push_back(std::move(value));
    }
    return {};
}

bool ParseInt32(std::string_view text, long& value)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (!AllDigits(text))
        return false;
    long long v = 0;
    for (char c : text) {
        v = v * 10 + (c - '0');
        if (v > kInt32Max + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v < kInt32Min || v > kInt32Max)
        return false;
    value = static_cast<long>(v);
    return true;
}

bool ParseNumber(std::string_view text, double& value)
{
    // strtod would skip leading blanks and read "nan" or hexadecimal forms;
    // a frame rate or a per-character time is a plain decimal number.
    if (text.empty())
        return false;
    for (char c : text) {
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
        if (!allowed)
            return false;
    }
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || errno == ERANGE || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool ParseFrameRate(std::string_view text, double& value)
{
    double v = 0;
    if (!ParseNumber(text, v) || !(v > 0) || !(static_cast<float>(v) > 0.0f) ||
        v > static_cast<double>(std::numeric_limits<float>::max()))
        return false;
    value = v;
    return true;
}

bool ParseAmount(std::string_view text, Amount& amount)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        amount = {};
        return ParseInt32(text, amount.units);
    }
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    // H:MM:SS, hours of any length that fits, minutes and seconds two digits each.
    const auto first = text.find(':');
    const auto second = text.find(':', first + 1);
    if (first == std::string_view::npos || second == std::string_view::npos)
        return false;
    const std::string_view h = text.substr(0, first);
    const std::string_view m = text.substr(first + 1, second - first - 1);
    std::string_view s = text.substr(second + 1);
    std::string_view fraction;
    if (const auto point = s.find_first_of(",."); point != std::string_view::npos) {
        fraction = s.substr(point + 1);
        s = s.substr(0, point);
        if (fraction.empty() || fraction.size() > 3 || !AllDigits(fraction))
            return false;
    }
    if (!AllDigits(h) || h.size() > 9 || m.size() != 2 || s.size() != 2 || !AllDigits(m) || !AllDigits(s))
        return false;
    amount = {};
    for (std::size_t i = 0; i < 3; ++i)
        amount.milliseconds = amount.milliseconds * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    amount.clock = true;
    amount.negative = negative;
    amount.minutes = (m[0] - '0') * 10 + (m[1] - '0');
    amount.seconds = (s[0] - '0') * 10 + (s[1] - '0');
    if (amount.minutes > 59 || amount.seconds > 59)
        return false;
    amount.hours = std::stol(std::string(h));
    return true;
}

bool ResolveAmount(const Amount& amount, bool frameBased, std::optional<double> fps, TimePrecision precision,
                   long& units, std::string& error)
{
    if (!amount.clock) {
        // Tenths as typed; their milliseconds cannot leave 32 bits unnoticed.
        const long long value = frameBased ? amount.units
                                           : static_cast<long long>(amount.units) * FromTenths(1, precision);
        if (value < kInt32Min || value > kInt32Max) {
            error = "the amount does not fit 32 bits";
            return false;
        }
        units = static_cast<long>(value);
        return true;
    }
    // With tenths a finer fraction is cut, as a dialog's tenths would have it.
    const long milliseconds =
        precision == TimePrecision::Milliseconds ? amount.milliseconds : amount.milliseconds / 100 * 100;
    long long value = 0;
    if (frameBased) {
        if (!fps) {
            error = "a clock time for a frame-numbered file needs --fps";
            return false;
        }
        const long long seconds = (static_cast<long long>(amount.hours) * 60 + amount.minutes) * 60 + amount.seconds;
        const double exactFrames = (static_cast<double>(seconds) + static_cast<double>(milliseconds) / 1000.0) * *fps;
        double frames = WholeTime(exactFrames, precision);
        if (amount.negative)
            frames = -frames;
        if (frames < static_cast<double>(kInt32Min) || frames > static_cast<double>(kInt32Max)) {
            error = "the amount does not fit 32 bits";
            return false;
        }
        value = static_cast<long long>(frames);
    } else {
        value = ((static_cast<long long>(amount.hours) * 60 + amount.minutes) * 60 + amount.seconds) *
                    UnitsPerSecond(precision) +
                milliseconds * UnitsPerSecond(precision) / 1000;
        if (amount.negative)
            value = -value;
    }
    if (value < kInt32Min || value > kInt32Max) {
        error = "the amount does not fit 32 bits";
        return false;
    }
    units = static_cast<long>(value);
    return true;
}

} // namespace zv::cli
