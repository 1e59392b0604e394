#include "chart/Indicators.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart {
namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// Sizes the lines to n and returns where computing has to start: no later than `from`, and
// no later than the end of the shortest line (a line just chosen is empty, so it is
// computed whole).
template <class... Lines>
std::size_t prepare(std::size_t n, std::size_t from, Lines&... lines)
{
    from = std::min({from, n, lines.size()...});
    (lines.resize(n, kNoValue), ...);
    return from;
}

// One step of EMA(X, N) and of SMA(X, N, M), written as the formula language writes them so
// that the rounding is theirs too.
double emaStep(double x, int n, double before)
{
    return (2 * x + (n - 1) * before) / (n + 1);
}

double smaStep(double x, int n, int m, double before)
{
    return (m * x + (n - m) * before) / n;
}

double windowSum(std::span<const double> in, std::size_t first, std::size_t last)
{
    double sum = 0;
    for (std::size_t j = first; j <= last; ++j)
        sum += in[j];
    return sum;
}

// A value leaving the window that is this many times the sum left behind took the smaller
// values' digits with it when it came in.
constexpr double kFreshSumRatio = 4096;

} // namespace

void movingAverage(std::span<const double> in, int period, IndicatorLine& out, std::size_t from)
{
    const std::size_t n = in.size();
    from = prepare(n, from, out);
    if (period < 1) {
        std::fill(out.begin() + std::ptrdiff_t(from), out.end(), kNoValue);
        return;
    }
    const std::size_t p = std::size_t(period);
    const std::size_t start = std::max(from, p - 1);
    for (std::size_t i = from; i < std::min(start, n); ++i)
        out[i] = kNoValue;
    if (start >= n)
        return;
    // A running sum: one step per candle, so a poll that adds one candle costs one window.
    double sum = windowSum(in, start + 1 - p, start);
    out[start] = sum / double(p);
    for (std::size_t i = start + 1; i < n; ++i) {
        const double leaving = in[i - p];
        sum += in[i] - leaving;
        // One garbage record (an overflowed price) must not spoil every later average: once
        // it has left the window the sum is taken afresh.
        if (!std::isfinite(sum) || std::fabs(leaving) > kFreshSumRatio * std::fabs(sum))
            sum = windowSum(in, i + 1 - p, i);
        out[i] = sum / double(p);
    }
}

void exponentialAverage(std::span<const double> in, int period, IndicatorLine& out, std::size_t from)
{
    const std::size_t n = in.size();
    from = prepare(n, from, out);
    const auto first = std::find_if(in.begin(), in.end(), hasValue);
    if (period < 1 || first == in.end()) {
        std::fill(out.begin() + std::ptrdiff_t(from), out.end(), kNoValue);
        return;
    }
    const std::size_t seed = std::size_t(first - in.begin());
    for (std::size_t i = from; i < n; ++i) {
        if (i < seed)
            out[i] = kNoValue;
        else if (i == seed)
            out[i] = in[i];
        else
            out[i] = emaStep(in[i], period, out[i - 1]);
    }
}

void macd(std::span<const double> close, MacdLines& out, std::size_t from)
{
    const std::size_t n = close.size();
    from = prepare(n, from, out.emaFast, out.emaSlow, out.dif, out.dea, out.histogram);
    exponentialAverage(close, kMacdFast, out.emaFast, from);
    exponentialAverage(close, kMacdSlow, out.emaSlow, from);
    for (std::size_t i = from; i < n; ++i)
        out.dif[i] = out.emaFast[i] - out.emaSlow[i];
    exponentialAverage(out.dif, kMacdSignal, out.dea, from);
    for (std::size_t i = from; i < n; ++i)
        out.histogram[i] = 2 * (out.dif[i] - out.dea[i]);
}

void kdj(std::span<const CandleRecord> candles, KdjLines& out, std::size_t from)
{
    const std::size_t n = candles.size();
    from = prepare(n, from, out.k, out.d, out.j);
    constexpr double kSeed = 50;
    const std::size_t p = std::size_t(kKdjPeriod);
    for (std::size_t i = from; i < n; ++i) {
        double highest = -std::numeric_limits<double>::infinity();
        double lowest = std::numeric_limits<double>::infinity();
        for (std::size_t j = i + 1 >= p ? i + 1 - p : 0; j <= i; ++j) {
            highest = std::max(highest, candles[j].high);
            lowest = std::min(lowest, candles[j].low);
        }
        const double rsv = highest > lowest ? (candles[i].close - lowest) / (highest - lowest) * 100 : 50;
        out.k[i] = smaStep(rsv, kKdjSmoothK, 1, i == 0 ? kSeed : out.k[i - 1]);
        out.d[i] = smaStep(out.k[i], kKdjSmoothD, 1, i == 0 ? kSeed : out.d[i - 1]);
        out.j[i] = 3 * out.k[i] - 2 * out.d[i];
    }
}

void rsi(std::span<const double> close, int period, RsiLine& out, std::size_t from)
{
    const std::size_t n = close.size();
    from = prepare(n, from, out.rise, out.move, out.rsi);
    for (std::size_t i = from; i < n; ++i) {
        if (i == 0 || period < 1) {
            out.rise[i] = out.move[i] = out.rsi[i] = kNoValue;
            continue;
        }
        const double change = close[i] - close[i - 1];
        const double rise = std::max(change, 0.0);
        const double move = std::fabs(change);
        // Seeded with the first change, at the second candle.
        out.rise[i] = i == 1 ? rise : smaStep(rise, period, 1, out.rise[i - 1]);
        out.move[i] = i == 1 ? move : smaStep(move, period, 1, out.move[i - 1]);
        out.rsi[i] = out.move[i] > 0 ? out.rise[i] / out.move[i] * 100 : kNoValue;
    }
}

void boll(std::span<const double> close, BollLines& out, std::size_t from)
{
    const std::size_t n = close.size();
    from = prepare(n, from, out.mid, out.upper, out.lower);
    movingAverage(close, kBollPeriod, out.mid, from);
    const std::size_t p = std::size_t(kBollPeriod);
    for (std::size_t i = from; i < n; ++i) {
        if (!hasValue(out.mid[i])) {
            out.upper[i] = out.lower[i] = kNoValue;
            continue;
        }
        double squares = 0;
        for (std::size_t j = i + 1 - p; j <= i; ++j)
            squares += (close[j] - out.mid[i]) * (close[j] - out.mid[i]);
        const double deviation = std::sqrt(squares / double(p));
        out.upper[i] = out.mid[i] + kBollWidth * deviation;
        out.lower[i] = out.mid[i] - kBollWidth * deviation;
    }
}

void IndicatorSet::setChoice(const IndicatorChoice& choice)
{
    if (choice == m_choice)
        return;
    m_choice = choice;
    m_stale = true;
    // Emptied lines are computed whole at the next update.
    m_priceAverages.clear();
    m_volumeAverages.clear();
    m_macd = {};
    m_kdj = {};
    m_rsi = {};
    m_boll = {};
}

std::size_t IndicatorSet::update(std::span<const CandleRecord> candles, std::size_t from)
{
    const std::size_t n = candles.size();
    if (m_stale)
        from = 0;
    m_stale = false;
    from = prepare(n, from, m_close, m_volume);
    for (std::size_t i = from; i < n; ++i) {
        m_close[i] = candles[i].close;
        m_volume[i] = candles[i].vol;
    }
    m_priceAverages.resize(m_choice.movingAverages ? m_choice.maPeriods.size() : 0);
    for (std::size_t i = 0; i < m_priceAverages.size(); ++i)
        movingAverage(m_close, m_choice.maPeriods[i], m_priceAverages[i], from);
    m_volumeAverages.resize(m_choice.volumeAverages ? kVolumeMaPeriods.size() : 0);
    for (std::size_t i = 0; i < m_volumeAverages.size(); ++i)
        movingAverage(m_volume, kVolumeMaPeriods[i], m_volumeAverages[i], from);
    switch (m_choice.oscillator) {
    case Oscillator::None:
        break;
    case Oscillator::Macd:
        macd(m_close, m_macd, from);
        break;
    case Oscillator::Kdj:
        kdj(candles, m_kdj, from);
        break;
    case Oscillator::Rsi:
        for (std::size_t i = 0; i < m_rsi.size(); ++i)
            rsi(m_close, kRsiPeriods[i], m_rsi[i], from);
        break;
    case Oscillator::Boll:
        boll(m_close, m_boll, from);
        break;
    }
    return from;
}

std::vector<const IndicatorLine*> IndicatorSet::oscillatorLines() const
{
    switch (m_choice.oscillator) {
    case Oscillator::None:
        return {};
    case Oscillator::Macd:
        return {&m_macd.histogram, &m_macd.dif, &m_macd.dea};
    case Oscillator::Kdj:
        return {&m_kdj.k, &m_kdj.d, &m_kdj.j};
    case Oscillator::Rsi:
        return {&m_rsi[0].rsi, &m_rsi[1].rsi, &m_rsi[2].rsi};
    case Oscillator::Boll:
        return {&m_boll.mid, &m_boll.upper, &m_boll.lower};
    }
    return {};
}

} // namespace chart
