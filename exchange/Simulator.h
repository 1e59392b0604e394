#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "Engine.h"
#include "MarketData.h"

namespace exchange {

// Simulated participants: one market maker per item quoting five levels each side around a
// drifting fair value, and a few takers crossing the spread. Same seed, same market.
class Simulator final
{
public:
    explicit Simulator(std::uint64_t seed);

    // Creates the participants' accounts and holdings unless they exist (restored).
    static void CreateParticipants(Engine& engine, std::int64_t now);
    static bool IsParticipant(const std::string& account);

    // Every market maker quotes once.
    std::vector<Trade> quoteAll(Engine& engine, const MarketData& market, std::int64_t now);
    // One action: a market maker requotes or a taker trades.
    std::vector<Trade> step(Engine& engine, const MarketData& market, std::int64_t now);

private:
    std::vector<Trade> requote(Engine& engine, const MarketData& market, int item, std::int64_t now);
    std::vector<Trade> take(Engine& engine, const MarketData& market, int item, std::int64_t now);

    std::mt19937_64 m_rng;
    std::map<int, double> m_fair; // fen
};

} // namespace exchange
