// How a command writes its result: values the face picks for the one call,
// never left behind for the next.
#pragma once

#include <optional>

namespace zv {

// How finely times are written. Every format holds tenths of a second today.
enum class TimePrecision { Tenths };

struct WriteOptions {
    // The frame rate a conversion applies; empty when the writer keeps the
    // numbers as they are. Any rate, 1 included, converts.
    std::optional<float> fps;
    TimePrecision precision = TimePrecision::Tenths;
};

} // namespace zv
