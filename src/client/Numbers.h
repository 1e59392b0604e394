#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace client {

// Numbers read and written the same way whatever the desktop's language: Qt sets the C
// library's locale from the environment, under which its reading of "12.50" stops at the
// point and its "%.2f" prints "12,50" in a German session. Prices, amounts and settings go
// through these.

// The number at the start of `text` as the C library reads it in the "C" locale: leading blanks
// and a sign allowed, anything after the number ignored. nullopt when none starts it.
std::optional<double> leadingDecimal(std::string_view text);

// The whole text as one finite decimal number; nullopt for anything else.
std::optional<double> wholeDecimal(std::string_view text);

// `value` with `decimals` digits after a point: printf's "%.*f" in the "C" locale (an exact
// half rounds to even, as the exchange's own terminals print it).
std::string fixedDecimals(double value, int decimals);

} // namespace client
