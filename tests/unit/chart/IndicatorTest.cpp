// Indicators against values worked out by hand and against a plain, separate computation
// written from the definitions; updates that extend or rewrite the history against a whole
// computation.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "chart/Indicators.h"
#include "support/CandleWalk.h"

using namespace chart;

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

CandleRecord Candle(double close, double high = 0, double low = 0, std::int64_t vol = 0)
{
    CandleRecord c;
    c.open = close;
    c.close = close;
    c.high = high == 0 ? close : high;
    c.low = low == 0 ? close : low;
    c.vol = vol;
    return c;
}

std::vector<CandleRecord> Walk(int count, unsigned seed) { return testsupport::CandleWalk(count, seed); }

// --- The definitions, written out plainly. The seeded averages are not run as recursions,
// as the code runs them, but summed in closed form: a value is the weighted sum of every
// input so far, each weighted w (1 - w)^age, plus what is left of the value before the
// first, (1 - w)^count. ---

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

// Weight w from index `start` on, with `before` the value before the first.
std::vector<double> Decayed(const std::vector<double>& x, double w, std::size_t start, double before)
{
    std::vector<double> out(x.size(), kNone);
    for (std::size_t i = start; i < x.size(); ++i) {
        double y = std::pow(1 - w, double(i - start + 1)) * before;
        for (std::size_t j = start; j <= i; ++j)
            y += w * std::pow(1 - w, double(i - j)) * x[j];
        out[i] = y;
    }
    return out;
}

// EMA(X, N) and SMA(X, N, 1) seeded with the first value: as if the value before it had
// been the first value itself.
std::vector<double> PlainEma(const std::vector<double>& v, int n)
{
    return Decayed(v, 2.0 / (n + 1), 0, v.front());
}

std::vector<double> PlainSma(const std::vector<double>& v, int n, std::size_t start)
{
    return Decayed(v, 1.0 / n, start, v[start]);
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
    std::vector<double> rsv;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const auto window = std::span(c).subspan(i < 8 ? 0 : i - 8, i < 8 ? i + 1 : 9);
        const double hi = std::ranges::max(window, {}, &CandleRecord::high).high;
        const double lo = std::ranges::min(window, {}, &CandleRecord::low).low;
        rsv.push_back(hi == lo ? 50 : (c[i].close - lo) * 100 / (hi - lo));
    }
    Three out{Decayed(rsv, 1.0 / 3, 0, 50), {}, std::vector<double>(c.size())};
    out.b = Decayed(out.a, 1.0 / 3, 0, 50);
    for (std::size_t i = 0; i < c.size(); ++i)
        out.c[i] = 3 * out.a[i] - 2 * out.b[i];
    return out;
}

std::vector<double> PlainRsi(const std::vector<double>& close, int p)
{
    std::vector<double> rise(close.size(), kNone), move(close.size(), kNone);
    for (std::size_t i = 1; i < close.size(); ++i) {
        rise[i] = std::max(0.0, close[i] - close[i - 1]);
        move[i] = std::abs(close[i] - close[i - 1]);
    }
    std::vector<double> out(close.size(), kNone);
    if (close.size() < 2)
        return out;
    const std::vector<double> up = PlainSma(rise, p, 1), all = PlainSma(move, p, 1);
    for (std::size_t i = 1; i < close.size(); ++i)
        if (all[i] != 0)
            out[i] = up[i] / all[i] * 100;
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

    // EMA3 of 2, 4, 6, 8 from the first value: (2 x 4 + 2 x 2) / 4 = 3, then 4.5, 6.25.
    IndicatorLine ema;
    const std::vector<double> evens{2, 4, 6, 8};
    exponentialAverage(evens, 3, ema, 0);
    ExpectLine(ema, {2, 3, 4.5, 6.25}, "EMA3");

    // MACD of closes 10, 11: all 0 at the first candle; then EMA12 = 132/13, EMA26 = 272/27,
    // DIF = 28/351, DEA = DIF x 2/10, MACD = 2 (DIF - DEA).
    MacdLines m;
    const std::vector<double> twoCloses{10, 11};
    macd(twoCloses, m, 0);
    const double dif = 28.0 / 351;
    ExpectLine(m.dif, {0, dif}, "DIF");
    ExpectLine(m.dea, {0, dif / 5}, "DEA");
    ExpectLine(m.histogram, {0, 1.6 * dif}, "MACD");

    // RSI6 from the second candle: a rise of 1 is 100; a fall of 1 after it, rise (0 + 5 x 1)
    // / 6 over move (1 + 5 x 1) / 6. A close that has not moved yet has no RSI (0 / 0).
    RsiLine line;
    rsi(std::vector<double>{10, 11, 10}, 6, line, 0);
    ExpectLine(line.rsi, {kNone, 100, 500.0 / 6}, "RSI6");
    rsi(std::vector<double>{10, 10, 11, 11}, 6, line, 0);
    ExpectLine(line.rsi, {kNone, kNone, 100, 100}, "RSI6 after a flat start");

    // KDJ from the first candle, K and D seeded with 50: high 12, low 8, close 11 is RSV 75,
    // K = (75 + 2 x 50) / 3, D = (K + 2 x 50) / 3. The second candle's RSV is over both.
    KdjLines lines;
    kdj(std::vector<CandleRecord>{Candle(11, 12, 8), Candle(9, 10, 7)}, lines, 0);
    const double k0 = 175.0 / 3, d0 = (k0 + 100) / 3;
    const double k1 = (40 + 2 * k0) / 3, d1 = (k1 + 2 * d0) / 3; // RSV (9 - 7) / (12 - 7)
    ExpectLine(lines.k, {k0, k1}, "K");
    ExpectLine(lines.d, {d0, d1}, "D");
    ExpectLine(lines.j, {3 * k0 - 2 * d0, 3 * k1 - 2 * d1}, "J");
    // Only highs and lows bound RSV: an open below the low does not widen the range.
    CandleRecord wild = Candle(11, 12, 8);
    wild.open = 2;
    kdj(std::vector<CandleRecord>{wild}, lines, 0);
    EXPECT_NEAR(lines.k[0], k0, 1e-12);

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

TEST(Indicators, AFlatHistoryShowsZeroMacdMiddleKdjAndNoRsi)
{
    const std::vector<CandleRecord> flat(40, Candle(7.35));
    IndicatorSet set;
    for (const Oscillator o : {Oscillator::Macd, Oscillator::Kdj, Oscillator::Rsi, Oscillator::Boll}) {
        SCOPED_TRACE(int(o));
        set.setChoice(With(o));
        set.update(flat, 0);
        const double expected = o == Oscillator::Macd  ? 0
                                : o == Oscillator::Kdj ? 50
                                : o == Oscillator::Rsi ? kNone
                                                       : 7.35;
        for (const IndicatorLine* line : set.oscillatorLines())
            for (std::size_t i = 0; i < flat.size(); ++i) {
                if (o == Oscillator::Boll && i < 19)
                    continue;
                if (std::isnan(expected))
                    EXPECT_TRUE(std::isnan((*line)[i])) << i;
                else
                    EXPECT_NEAR((*line)[i], expected, 1e-12) << i;
            }
        EXPECT_NEAR(set.priceAverages()[0][4], 7.35, 1e-12);
    }
}

TEST(Indicators, OneGarbagePriceSpoilsOnlyTheAveragesOfItsWindows)
{
    for (const double garbage : {1e39, std::numeric_limits<double>::infinity(), kNone}) {
        SCOPED_TRACE(garbage);
        std::vector<double> close = Closes(Walk(60, 3));
        close[20] = garbage;
        for (const int period : {5, 20}) {
            IndicatorLine got;
            movingAverage(close, period, got, 0);
            const std::vector<double> want = PlainMa(close, period);
            for (std::size_t i = 0; i < close.size(); ++i) {
                if (i + 1 < std::size_t(period))
                    EXPECT_FALSE(hasValue(got[i])) << i;
                else if (i >= 20 && i < 20 + std::size_t(period))
                    EXPECT_FALSE(hasValue(got[i]) && got[i] < 1e30) << i; // the bad record shows
                else
                    EXPECT_NEAR(got[i], want[i], 1e-9) << i;
            }
        }
    }
}

TEST(Indicators, EveryLineMatchesItsDefinition)
{
    // 20 candles, a monthly history: MACD, KDJ and RSI all the way, no MA60, BOLL at the last.
    for (const int count : {20, 30, 300}) {
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
