#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "chart/Indicators.h"

namespace testsupport {

// A random walk of daily candles from 50, the same for the same seed: closes to the cent when
// `cents` (as replies give them), otherwise as the walk leaves them.
inline std::vector<chart::CandleRecord> CandleWalk(int count, unsigned seed, bool cents = false)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0.0, 1.2);
    std::uniform_int_distribution<int> vol(10, 900);
    std::vector<chart::CandleRecord> candles;
    double price = 50;
    for (int i = 0; i < count; ++i) {
        chart::CandleRecord c;
        c.open = price;
        price = std::max(1.0, price + step(rng));
        c.close = cents ? std::round(price * 100) / 100 : price;
        c.high = std::max(c.open, c.close) + std::abs(step(rng));
        c.low = std::min(c.open, c.close) - std::abs(step(rng));
        c.vol = vol(rng);
        c.time = 1700000000 + i * 86400;
        candles.push_back(c);
    }
    return candles;
}

} // namespace testsupport
