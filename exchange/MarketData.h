#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include <json/value.h>

#include "Engine.h"
#include "Money.h"

namespace exchange {

struct Candle
{
    std::int64_t time = 0; // start of the period
    Cents open = 0, close = 0, high = 0, low = 0;
    std::int64_t vol = 0;
};

struct Tick
{
    std::int64_t time = 0;
    Cents price = 0;
    std::int64_t vol = 0;
    Side aggressor = Side::Buy;
};

// One item's trading day, derived from the tape.
struct ItemDay
{
    std::int64_t dayStart = 0; // local midnight
    Cents prevClose = 0;
    Cents opening = 0;
    Cents high = 0, low = 0, last = 0;
    std::int64_t vol = 0, outVol = 0, inVol = 0, newVol = 0, count = 0;
    Cents amount = 0;
    std::vector<Tick> ticks;
    Cents limitUp() const { return opening * 110 / 100; }
    Cents limitDown() const { return (opening * 90 + 99) / 100; }
};

// Slot of the 361-slot time-share axis for a local minute of the day: the three trading
// periods minute by minute, each break squeezed into 30 slots.
int TimelineSlot(int minuteOfDay);

// Market data of every listed item: today's tape and a generated history before it.
class MarketData final
{
public:
    MarketData(std::uint64_t seed, std::int64_t now);

    // Starts a new day when `now` lies past the current one.
    void advance(std::int64_t now);
    // Adds a trade to the tape (trades of earlier days only move the previous close).
    void record(const Trade& trade);

    const ItemDay& day(int item) const;
    Cents reference(int item) const { return day(item).prevClose; }

    Json::Value quote(int item, const Engine& engine) const;
    Json::Value ticks(int item, std::size_t latest) const; // newest first; 0: the whole day
    Json::Value priceDetail(int item) const;
    Json::Value timeline(int item, std::int64_t now) const;
    // From then on the time-share counts its minutes from `start` (or from the day's start,
    // whichever is later) as if the trading day had opened at that moment.
    void setSessionStart(std::int64_t start) { m_sessionStart = start; }
    Json::Value candles(int item, int period) const;
    Json::Value overviewRow(int item, const Engine& engine, int rowNumber) const;

    std::vector<Candle> candleSeries(int item, int period) const;

private:
    std::int64_t m_sessionStart = 0; // 0: the time-share follows the local clock
    struct History
    {
        std::vector<Candle> daily;   // whole days before today, oldest first
        std::vector<Candle> minutes; // one-minute bars of the last days before today
        std::vector<Candle> todayMinutes;
    };
    void generate(int item, Cents reference, std::uint64_t seed);
    void startDay(std::int64_t dayStart);
    Candle todayCandle(int item) const;

    std::map<int, ItemDay> m_days;
    std::map<int, History> m_history;
    std::int64_t m_dayStart = 0;
};

} // namespace exchange
