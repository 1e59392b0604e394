#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace exchange {

// Money and prices are whole fen (0.01 yuan): exact sums, no drift in the invariants.
using Cents = std::int64_t;

// Commission of 3 per mille, rounded down. Rounding down keeps the fee superadditive,
// so releasing a buy reservation fill by fill never falls short of what the fill costs.
inline Cents Fee(Cents value)
{
    return value * 3 / 1000;
}

// A price or amount typed as yuan: digits with at most two decimals, no sign, no exponent.
std::optional<Cents> ParseYuan(std::string_view text);

// A whole positive quantity in decimal, at most 9 digits.
std::optional<std::int64_t> ParseQuantity(std::string_view text);

double ToYuan(Cents cents);
std::string YuanText(Cents cents); // "12.34"

// A date "YYYY-MM-DD" (leading zeros optional) as a local day number, or nothing.
struct Date
{
    int year = 0, month = 0, day = 0;
};
std::optional<Date> ParseDate(std::string_view text);
// Local midnight of a date, in Unix seconds.
std::int64_t LocalMidnight(const Date& date);
Date LocalDate(std::int64_t unixSeconds);
int MinuteOfDay(std::int64_t unixSeconds); // local time

} // namespace exchange
