#include "Numbers.h"

#include <charconv>
#include <cmath>

namespace client {

namespace {

struct Scanned
{
    double value = 0.0;
    std::size_t end = 0; // just past the number; 0 when none was read
};

// strtod's reading in the "C" locale, but for hexadecimal (no price or setting is written so).
Scanned scan(std::string_view text)
{
    std::size_t at = text.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos)
        return {};
    bool negative = false;
    if (text[at] == '+' || text[at] == '-') {
        negative = text[at] == '-';
        ++at;
    }
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        return {}; // one sign only; from_chars would take a second minus
    double value = 0.0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    // A magnitude past a double's range is no number a caller could use.
    if (end == first || error != std::errc())
        return {};
    return {negative ? -value : value, std::size_t(end - text.data())};
}

} // namespace

std::optional<double> leadingDecimal(std::string_view text)
{
    const Scanned s = scan(text);
    return s.end > 0 ? std::optional(s.value) : std::nullopt;
}

std::optional<double> wholeDecimal(std::string_view text)
{
    const Scanned s = scan(text);
    if (s.end == 0 || s.end != text.size() || !std::isfinite(s.value))
        return std::nullopt;
    return s.value;
}

std::string fixedDecimals(double value, int decimals)
{
    // Wide enough for any double in fixed notation (309 digits before the point).
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(text, result.ptr) : std::string();
}

} // namespace client
