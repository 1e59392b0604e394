// Indicators against values worked out by hand and against a plain, separate computation
// written from the definitions; updates that extend or rewrite the history against a whole
// computation.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "chart/Indicators.h"

using namespace chart;

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

CandleRecord Candle(float close, float high = 0, float low = 0, int vol = 0)
{
    CandleRecord c;
    c.open = close;
    c.close = close;
    c.high = high == 0 ? close : high;
    c.low = low == 0 ? close : low;
    c.vol = vol;
    return c;
}

std::vector<CandleRecord> Walk(int count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0.0, 1.2);
    std::uniform_int_distribution<int> vol(10, 900);
    std::vector<CandleRecord> candles;
    double price = 50;
    for (int i = 0; i < count; ++i) {
        CandleRecord c;
        c.open = float(price);
        price = std::max(1.0, price + step(rng));
        c.close = float(price);
        c.high = std::max(c.open, c.close) + float(std::abs(step(rng)));
        c.low = std::min(c.open, c.close) - float(std::abs(step(rng)));
        c.vol = vol(rng);
        candles.push_back(c);
    }
    return candles;
}

// --- The definitions, written out plainly: every value from its own window. ---

std::vector<double> Closes(const std::vector<CandleRecord>& c)
{
    std::vector<double> v;
    for (const CandleRecord& r : c)
        v.push_back(r.close);
    return v;
}

std::vector<double> PlainMa(const std::vector<double>& v, int p)
{
    std::vector<double> out(v.size(), kNone);
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (int(i) + 1 < p)
            continue;
        double sum = 0;
        for (int j = 0; j < p; ++j)
            sum += v[i - std::size_t(j)];
        out[i] = sum / p;
    }
    return out;
}

std::vector<double> PlainEma(const std::vector<double>& v, int p)
{
    std::vector<double> out(v.size(), kNone);
    std::size_t s = 0;
    while (s < v.size() && std::isnan(v[s]))
        ++s;
    for (std::size_t i = s + std::size_t(p) - 1; i < v.size(); ++i) {
        if (i == s + std::size_t(p) - 1) {
            double sum = 0;
            for (std::size_t j = s; j <= i; ++j)
                sum += v[j];
            out[i] = sum / p;
        } else {
            out[i] = (2.0 * v[i] + (p - 1.0) * out[i - 1]) / (p + 1.0);
        }
    }
    return out;
}

struct Three
{
    std::vector<double> a, b, c;
};

Three PlainMacd(const std::vector<double>& close)
{
    const std::vector<double> fast = PlainEma(close, 12);
    const std::vector<double> slow = PlainEma(close, 26);
    std::vector<double> dif(close.size());
    for (std::size_t i = 0; i < close.size(); ++i)
        dif[i] = fast[i] - slow[i];
    const std::vector<double> dea = PlainEma(dif, 9);
    std::vector<double> bar(close.size());
    for (std::size_t i = 0; i < close.size(); ++i)
        bar[i] = 2 * (dif[i] - dea[i]);
    return {bar, dif, dea};
}

Three PlainKdj(const std::vector<CandleRecord>& c)
{
    Three out{std::vector<double>(c.size(), kNone), std::vector<double>(c.size(), kNone),
              std::vector<double>(c.size(), kNone)};
    double k = 50, d = 50;
    for (std::size_t i = 8; i < c.size(); ++i) {
        double hi = -1e300, lo = 1e300;
        for (std::size_t j = i - 8; j <= i; ++j) {
            hi = std::max({hi, double(c[j].high), double(c[j].open), double(c[j].close), double(c[j].low)});
            lo = std::min({lo, double(c[j].low), double(c[j].open), double(c[j].close), double(c[j].high)});
        }
        const double rsv = hi == lo ? 50 : (c[i].close - lo) * 100 / (hi - lo);
        k = k * 2 / 3 + rsv / 3;
        d = d * 2 / 3 + k / 3;
        out.a[i] = k;
        out.b[i] = d;
        out.c[i] = 3 * k - 2 * d;
    }
    return out;
}

std::vector<double> PlainRsi(const std::vector<double>& close, int p)
{
    std::vector<double> out(close.size(), kNone);
    double up = 0, down = 0;
    for (std::size_t i = 1; i < close.size(); ++i) {
        const double gain = std::max(0.0, close[i] - close[i - 1]);
        const double loss = std::max(0.0, close[i - 1] - close[i]);
        if (int(i) <= p) {
            up += gain / p;
            down += loss / p;
        } else {
            up = (up * (p - 1) + gain) / p;
            down = (down * (p - 1) + loss) / p;
        }
        if (int(i) >= p)
            out[i] = up + down == 0 ? 50 : up * 100 / (up + down);
    }
    return out;
}

Three PlainBoll(const std::vector<double>& close)
{
    const std::vector<double> mid = PlainMa(close, 20);
    Three out{mid, std::vector<double>(close.size(), kNone), std::vector<double>(close.size(), kNone)};
    for (std::size_t i = 19; i < close.size(); ++i) {
        double var = 0;
        for (std::size_t j = i - 19; j <= i; ++j)
            var += (close[j] - mid[i]) * (close[j] - mid[i]) / 20;
        out.b[i] = mid[i] + 2 * std::sqrt(var);
        out.c[i] = mid[i] - 2 * std::sqrt(var);
    }
    return out;
}

void ExpectLine(const std::vector<double>& got, const std::vector<double>& want, const char* what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (std::isnan(want[i]))
            EXPECT_TRUE(std::isnan(got[i])) << what << " has a value at " << i << " before its period is full";
        else
            EXPECT_NEAR(got[i], want[i], 1e-9 * std::max(1.0, std::abs(want[i]))) << what << " at " << i;
    }
}

IndicatorChoice With(Oscillator o)
{
    IndicatorChoice c;
    c.oscillator = o;
    return c;
}

void ExpectSameLines(const IndicatorSet& got, const IndicatorSet& want)
{
    ASSERT_EQ(got.priceAverages().size(), want.priceAverages().size());
    for (std::size_t i = 0; i < want.priceAverages().size(); ++i)
        ExpectLine(got.priceAverages()[i], want.priceAverages()[i], "MA");
    for (std::size_t i = 0; i < want.volumeAverages().size(); ++i)
        ExpectLine(got.volumeAverages()[i], want.volumeAverages()[i], "volume MA");
    ASSERT_EQ(got.oscillatorLines().size(), want.oscillatorLines().size());
    for (std::size_t i = 0; i < want.oscillatorLines().size(); ++i)
        ExpectLine(*got.oscillatorLines()[i], *want.oscillatorLines()[i], "oscillator");
}

} // namespace

TEST(Indicators, ValuesWorkedOutByHand)
{
    // MA3 of 1..5.
    IndicatorLine ma;
    const std::vector<double> ones{1, 2, 3, 4, 5};
    movingAverage(ones, 3, ma, 0);
    ExpectLine(ma, {kNone, kNone, 2, 3, 4}, "MA3");

    // EMA3 of 2, 4, 6, 8: seeded by the average of the first three (4), then 8/2 + 4/2 = 6.
    IndicatorLine ema;
    const std::vector<double> evens{2, 4, 6, 8};
    exponentialAverage(evens, 3, ema, 0);
    ExpectLine(ema, {kNone, kNone, 4, 6}, "EMA3");

    // RSI6 over closes rising 1 a candle for six candles: all gain, 100; then one fall of 6:
    // gain (1 x 5 + 0) / 6, loss 6 / 6 = 1 -> 100 x (5/6) / (5/6 + 1) = 45.4545...
    RsiLine line;
    const std::vector<double> closes{10, 11, 12, 13, 14, 15, 16, 10};
    rsi(closes, 6, line, 0);
    ExpectLine(line.rsi, {kNone, kNone, kNone, kNone, kNone, kNone, 100, 100.0 * 5 / 11}, "RSI6");

    // KDJ on nine candles from 1 to 9 closing at their highs: RSV 100, K = (100 + 100) / 3,
    // D = (66.67 + 100) / 3, J = 3K - 2D. A flat window reads RSV 50 and leaves K and D at 50.
    std::vector<CandleRecord> rising;
    for (int i = 1; i <= 9; ++i)
        rising.push_back(Candle(float(i), float(i), float(i) - 0.5f));
    KdjLines lines;
    kdj(rising, lines, 0);
    const double k = 200.0 / 3, d = (k + 100) / 3;
    EXPECT_TRUE(std::isnan(lines.k[7]));
    EXPECT_NEAR(lines.k[8], k, 1e-9);
    EXPECT_NEAR(lines.d[8], d, 1e-9);
    EXPECT_NEAR(lines.j[8], 3 * k - 2 * d, 1e-9);
    const std::vector<CandleRecord> flat(9, Candle(7));
    kdj(flat, lines, 0);
    EXPECT_DOUBLE_EQ(lines.k[8], 50);
    EXPECT_DOUBLE_EQ(lines.j[8], 50);

    // BOLL of 20 closes alternating 9 and 11: mid 10, deviation 1, bands 12 and 8.
    std::vector<double> zigzag;
    for (int i = 0; i < 20; ++i)
        zigzag.push_back(i % 2 ? 11 : 9);
    BollLines bands;
    boll(zigzag, bands, 0);
    EXPECT_TRUE(std::isnan(bands.upper[18]));
    EXPECT_NEAR(bands.mid[19], 10, 1e-12);
    EXPECT_NEAR(bands.upper[19], 12, 1e-12);
    EXPECT_NEAR(bands.lower[19], 8, 1e-12);
}

TEST(Indicators, EveryLineMatchesItsDefinitionFromTheFirstFullPeriod)
{
    // 30 candles: longer than MACD's first DIF, shorter than MA60 and MACD's first DEA (34).
    for (const int count : {30, 300}) {
        SCOPED_TRACE(count);
        const std::vector<CandleRecord> candles = Walk(count, 5);
        const std::vector<double> close = Closes(candles);
        std::vector<double> volume;
        for (const CandleRecord& c : candles)
            volume.push_back(c.vol);
        for (const Oscillator o : {Oscillator::Macd, Oscillator::Kdj, Oscillator::Rsi, Oscillator::Boll}) {
            IndicatorSet set;
            set.setChoice(With(o));
            EXPECT_EQ(set.update(candles, 0), 0u);
            const std::array<int, 4> periods{5, 10, 20, 60};
            for (std::size_t i = 0; i < periods.size(); ++i)
                ExpectLine(set.priceAverages()[i], PlainMa(close, periods[i]), "MA");
            ExpectLine(set.volumeAverages()[0], PlainMa(volume, 5), "volume MA5");
            ExpectLine(set.volumeAverages()[1], PlainMa(volume, 10), "volume MA10");
            const auto lines = set.oscillatorLines();
            ASSERT_EQ(lines.size(), 3u);
            Three want;
            switch (o) {
            case Oscillator::Macd: want = PlainMacd(close); break;
            case Oscillator::Kdj: want = PlainKdj(candles); break;
            case Oscillator::Rsi: want = {PlainRsi(close, 6), PlainRsi(close, 12), PlainRsi(close, 24)}; break;
            default: want = PlainBoll(close); break;
            }
            ExpectLine(*lines[0], want.a, "first line");
            ExpectLine(*lines[1], want.b, "second line");
            ExpectLine(*lines[2], want.c, "third line");
        }
    }
    // Nothing chosen, nothing computed.
    IndicatorChoice none;
    none.movingAverages = none.volumeAverages = false;
    IndicatorSet set;
    set.setChoice(none);
    set.update(Walk(50, 1), 0);
    EXPECT_TRUE(set.priceAverages().empty());
    EXPECT_TRUE(set.oscillatorLines().empty());
}

TEST(Indicators, UpdatesComputeFromTheFirstChangedCandleAsAWholeComputationWould)
{
    for (const Oscillator o : {Oscillator::Macd, Oscillator::Kdj, Oscillator::Rsi, Oscillator::Boll}) {
        SCOPED_TRACE(int(o));
        std::vector<CandleRecord> candles = Walk(120, 9);
        IndicatorSet polled;
        polled.setChoice(With(o));
        polled.update(std::span(candles).first(100), 0);
        auto expectWhole = [&] {
            IndicatorSet whole;
            whole.setChoice(With(o));
            whole.update(candles, 0);
            ExpectSameLines(polled, whole);
        };
        // Candles appended one by one: each update starts at the new candle.
        for (std::size_t n = 101; n <= 120; ++n)
            EXPECT_EQ(polled.update(std::span(candles).first(n), n - 1), n - 1);
        expectWhole();
        // The running candle changes.
        candles.back() = Candle(80, 90, 70, 5000);
        polled.update(candles, candles.size() - 1);
        expectWhole();
        // An old candle is rewritten: everything after it follows.
        candles[40] = Candle(10, 12, 1, 1);
        polled.update(candles, 40);
        expectWhole();
        // The history gets shorter.
        candles.resize(90);
        polled.update(candles, 90);
        expectWhole();
        // Another choice is computed whole whatever the caller says.
        IndicatorChoice periods = With(o);
        periods.maPeriods = {3, 7, 30, 45};
        polled.setChoice(periods);
        EXPECT_EQ(polled.update(candles, 89), 0u);
        IndicatorSet whole;
        whole.setChoice(periods);
        whole.update(candles, 0);
        ExpectSameLines(polled, whole);
    }
}
