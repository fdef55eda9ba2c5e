#include "engine/config/decimal_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace zv {

std::string FixedText(double value, int decimals)
{
    if (!std::isfinite(value))
        return {};
    char buffer[400];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return {};
    return std::string(buffer, end);
}

double ReadDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::string number(text.substr(i, 64));
    // Only the first comma can be the decimal point; after it the number ends
    // as atof would end it.
    if (const auto comma = number.find(','); comma != std::string::npos && number.find('.') > comma)
        number[comma] = '.';
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)ptr;
    if (ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

} // namespace zv
