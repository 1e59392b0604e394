#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "chart/ChartReplies.h"

// Technical indicators over a candle history. Plain arithmetic, no window system: the
// candle chart draws what this computes.
//
// The formulas are those of the terminals this market's traders already use, so that our
// lines match theirs value for value, on a new item's first candles too:
//   EMA(X, N)    Y = (2 X + (N - 1) Y') / (N + 1), seeded with the first value (Y0 = X0);
//   SMA(X, N, M) Y = (M X + (N - M) Y') / N, seeded with the first value;
//   MACD         DIF = EMA(C, 12) - EMA(C, 26), DEA = EMA(DIF, 9), MACD = 2 (DIF - DEA),
//                all from the first candle;
//   RSI(N)       SMA(MAX(C - LC, 0), N, 1) / SMA(ABS(C - LC), N, 1) x 100, LC the close
//                before: from the second candle, none while the close has not moved;
//   KDJ(9, 3, 3) RSV over the highs and lows of the last nine candles (fewer at the start),
//                K = SMA(RSV, 3, 1), D = SMA(K, 3, 1), both seeded with 50, J = 3 K - 2 D;
//   MA, BOLL     plain averages and population deviations once the period is full.
namespace chart {

// One value per candle; NaN where the indicator has none yet (its period is not full).
using IndicatorLine = std::vector<double>;

inline bool hasValue(double v)
{
    return std::isfinite(v);
}

enum class Oscillator { None, Macd, Kdj, Rsi, Boll };

// What the user chose to see on the K-line.
struct IndicatorChoice
{
    static constexpr int kMinPeriod = 1;
    static constexpr int kMaxPeriod = 999;

    bool movingAverages = true;
    std::array<int, 4> maPeriods{5, 10, 20, 60};
    bool volumeAverages = true;
    Oscillator oscillator = Oscillator::None;
    // The time-share's percentage scale centred on the previous close rather than the first
    // average price, so 0.00 % means unchanged on the day.
    bool timelineOnPreviousClose = false;
    // The trader's own formula shown instead of an oscillator, by its name; empty for none.
    // A formula is chosen as an oscillator is, one at a time: with one, `oscillator` is None.
    std::string formula;

    bool operator==(const IndicatorChoice&) const = default;
};

inline constexpr std::array<int, 2> kVolumeMaPeriods{5, 10};
inline constexpr int kMacdFast = 12;
inline constexpr int kMacdSlow = 26;
inline constexpr int kMacdSignal = 9;
inline constexpr int kKdjPeriod = 9;
inline constexpr int kKdjSmoothK = 3;
inline constexpr int kKdjSmoothD = 3;
inline constexpr std::array<int, 3> kRsiPeriods{6, 12, 24};
inline constexpr int kBollPeriod = 20;
inline constexpr double kBollWidth = 2.0;

// Each function brings `out` up to date with `in` (or `candles`) when the values before
// `from` are those it was last computed for: values from `from` on are computed again, the
// ones before are kept. `from` 0 computes the whole line. Lines keep their state in
// themselves (an average needs the one before), so extending by one candle costs one step.

// Simple moving average of the last `period` values, from the index where the period is full.
// A value no window can hold (infinite, or dwarfing the others) shows only in the windows
// that contain it.
void movingAverage(std::span<const double> in, int period, IndicatorLine& out, std::size_t from);

// EMA(X, period) of a line whose values start at its first finite one, which is the first
// average.
void exponentialAverage(std::span<const double> in, int period, IndicatorLine& out, std::size_t from);

// MACD (12, 26, 9), every line from the first candle.
struct MacdLines
{
    IndicatorLine emaFast;
    IndicatorLine emaSlow;
    IndicatorLine dif;
    IndicatorLine dea;
    IndicatorLine histogram;
};
void macd(std::span<const double> close, MacdLines& out, std::size_t from);

// KDJ (9, 3, 3) from the first candle. Where the highs and lows have no range (highest =
// lowest, a flat or a one-trade history) RSV is 50: K and D stay at or move towards the
// middle, instead of a division by zero.
struct KdjLines
{
    IndicatorLine k;
    IndicatorLine d;
    IndicatorLine j;
};
void kdj(std::span<const CandleRecord> candles, KdjLines& out, std::size_t from);

// RSI(period): `rise` is SMA(MAX(C - LC, 0), period, 1), `move` SMA(ABS(C - LC), period, 1).
// No value at the first candle, nor while `move` is 0 (the close has not moved yet).
struct RsiLine
{
    IndicatorLine rise;
    IndicatorLine move;
    IndicatorLine rsi;
};
void rsi(std::span<const double> close, int period, RsiLine& out, std::size_t from);

// Bollinger bands (20, 2): the 20-candle average of the close and two population standard
// deviations above and below it.
struct BollLines
{
    IndicatorLine mid;
    IndicatorLine upper;
    IndicatorLine lower;
};
void boll(std::span<const double> close, BollLines& out, std::size_t from);

// The lines of the chosen indicators over one candle history, kept up to date as polls
// append candles or change the newest ones.
class IndicatorSet final
{
public:
    // The lines of the choice are computed whole at the next update.
    void setChoice(const IndicatorChoice& choice);
    const IndicatorChoice& choice() const { return m_choice; }

    // Makes every chosen line match `candles`, whose records before `from` are those of the
    // last update. Returns the first index at which any line may have changed.
    std::size_t update(std::span<const CandleRecord> candles, std::size_t from);

    // One line per MA period of the choice; empty when the averages are off.
    const std::vector<IndicatorLine>& priceAverages() const { return m_priceAverages; }
    const std::vector<IndicatorLine>& volumeAverages() const { return m_volumeAverages; }
    // The oscillator's lines in drawing order: MACD histogram, DIF, DEA; K, D, J; RSI 6, 12,
    // 24; BOLL mid, upper, lower. Empty for none.
    std::vector<const IndicatorLine*> oscillatorLines() const;

private:
    IndicatorChoice m_choice;
    bool m_stale = true; // the choice changed since the last update
    std::vector<double> m_close;
    std::vector<double> m_volume;
    std::vector<IndicatorLine> m_priceAverages;
    std::vector<IndicatorLine> m_volumeAverages;
    MacdLines m_macd;
    KdjLines m_kdj;
    std::array<RsiLine, 3> m_rsi;
    BollLines m_boll;
};

} // namespace chart
