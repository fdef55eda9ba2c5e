// How a command writes its result: values the face picks for the one call,
// never left behind for the next.
#pragma once

#include "engine/time_units.h"

#include <functional>
#include <optional>
#include <string>

namespace zv {

struct WriteOptions {
    // The frame rate a conversion applies; empty when the writer keeps the
    // numbers as they are. Any rate, 1 included, converts.
    std::optional<float> fps;
    // The unit of the StandardFile the command reads: the face fixes it when
    // it opens the file, so every step of one command agrees on it.
    TimePrecision precision = TimePrecision::Tenths;
    // Turns a stamp text as the settings and dialogs hold it (UTF-8) into the
    // open file's own encoding; unset, the text is written as it is.
    std::function<std::string(const std::string& utf8)> encodeStamp;
};

} // namespace zv
