// The unit of a StandardFile's times. Frame-based files count frames either
// way; time-based files count tenths of a second (the arithmetic every
// earlier release used, kept for those who rely on its bytes) or
// milliseconds, which hold every time any of the formats can write.
#pragma once

#include <cmath>

namespace zv {

enum class TimePrecision { Tenths, Milliseconds };

constexpr long UnitsPerSecond(TimePrecision p) { return p == TimePrecision::Milliseconds ? 1000 : 10; }

// A time given in tenths of a second (the settings' unit) in the units of a
// time-based StandardFile.
constexpr long FromTenths(long tenths, TimePrecision p) { return tenths * (UnitsPerSecond(p) / 10); }

// The largest time a field holds: the same 277 hours in both units (frames
// share the tenths' seven digits).
constexpr long MaxStandardTime(TimePrecision p)
{
    return p == TimePrecision::Milliseconds ? 999'999'999 : 9'999'999;
}

// A computed time in whole units: tenths cut toward zero as they always
// did; exact times go to the nearest unit.
inline double WholeTime(double value, TimePrecision p)
{
    return p == TimePrecision::Milliseconds ? std::round(value) : std::trunc(value);
}

// Whether a time fits a StandardFile field.
inline bool FitsStandardField(double value, TimePrecision p = TimePrecision::Tenths)
{
    return value >= 0.0 && value <= static_cast<double>(MaxStandardTime(p));
}

} // namespace zv
