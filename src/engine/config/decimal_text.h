// Numbers as the user reads and types them, independent of the locale: the
// desktop sets the user's locale for its widgets, and a Polish desktop must
// still hand "29.970030" between dialogs, never "29,970030".
#pragma once

#include <string>
#include <string_view>

namespace zv {

// value with the given number of decimals and a '.' point, as "%.*f" prints
// it in the C locale ("%f" is six decimals).
std::string FixedText(double value, int decimals = 6);

// The number a typed text starts with, read the way atof reads one: blanks
// and a sign before it, anything after it ignored, 0 when there is none.
// A ',' counts as the decimal point, so "23,976" is 23.976 and not 23.
double ReadDecimal(std::string_view text);

} // namespace zv
