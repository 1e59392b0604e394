#pragma once

#include <array>
#include <cstdint>
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
    float opening = 0.0f;   // kept by the panel: ticks are coloured against it
    float reference = 0.0f; // opening − 0.01: prices equal to the opening show as up
};

// Parses the reply of the real-time quote (text already in UTF-8). A reply that does
// not parse gives parsed == false; missing members read as 0.
RealtimeQuote parseRealtime(const std::string& utf8Reply);

struct TickRow
{
    std::string time; // local time "%02d:%02d:%02d"
    Cell price;
    Cell volume;
};

// Parses a tick reply; nothing unless it parses and "success" is "true". Prices are
// coloured against the panel's opening price itself.
std::vector<TickRow> parseDealTicks(const std::string& utf8Reply, float opening);

// The 28 row labels, in slot order.
const std::array<const char*, 28>& QuoteLabels();

} // namespace market
