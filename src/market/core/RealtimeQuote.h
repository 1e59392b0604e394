#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace market {

// What colour a value is drawn in; the views map roles to their palette.
enum class Tone { Level, Up, Down, Volume };

struct Cell
{
    std::string text;
    Tone tone = Tone::Level;
};

// The quote panel's 38 value slots and title, worked out from one quote reply.
struct RealtimeQuote
{
    bool parsed = false;
    std::string title;
    std::array<Cell, 38> values;
    double opening = 0.0;   // kept by the panel: ticks are coloured against it
    double reference = 0.0; // opening − 0.01: prices equal to the opening show as up
    // The prices of the ten level rows, top down (卖⑤ … 卖①, 买① … 买⑤), as the reply gives
    // them: an order taken from the quote goes out at exactly this price. 0 for an empty level.
    std::array<double, 10> levelPrices{};
    std::optional<double> latest; // for the price alerts; none before the day's first trade
};

// A level row of the quote panel: rows 0–4 are the asks (卖⑤ … 卖①), rows 5–9 the bids.
constexpr bool isAskRow(int row) { return row < 5; }

// Parses the reply of the real-time quote (text already in UTF-8). A reply that does
// not parse gives parsed == false; missing members read as 0.
RealtimeQuote parseRealtime(const std::string& utf8Reply);

struct TickRow
{
    std::string time; // local time "%02d:%02d:%02d"
    Cell price;
    Cell volume;
};

struct DealTick
{
    std::string time; // local time "%02d:%02d:%02d"
    double price = 0.0;
    int volume = 0;
    bool operator==(const DealTick&) const = default;
};

// The ticks of a tick reply; nothing unless it parses and "success" is "true".
std::vector<DealTick> readDealTicks(const std::string& utf8Reply);
// The rows the panel shows, prices coloured against its opening price itself.
std::vector<TickRow> dealTickRows(const std::vector<DealTick>& ticks, double opening);
std::vector<TickRow> parseDealTicks(const std::string& utf8Reply, double opening);

// The 28 row labels, in slot order.
const std::array<const char*, 28>& QuoteLabels();

} // namespace market
