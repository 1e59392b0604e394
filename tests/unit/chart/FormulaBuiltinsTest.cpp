// The built-in indicators written as formulas give the built-in module's numbers to 1e-9 on
// several histories; a formula brought up to date from the first changed candle, as polls do,
// gives the numbers of a whole evaluation.
#include <algorithm>
#include <cmath>
#include <random>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/Indicators.h"
#include "support/CandleWalk.h"
#include "chart/formula/Definition.h"
#include "chart/formula/Evaluator.h"

using namespace chart;
using namespace chart::formula;

namespace {

std::vector<CandleRecord> Walk(int count, unsigned seed) { return testsupport::CandleWalk(count, seed, true); }

// A history that stands still for a while (no range for KDJ, no move for RSI), then moves,
// with one-trade candles (high = low) in it.
std::vector<CandleRecord> Flat(int count)
{
    std::vector<CandleRecord> candles;
    for (int i = 0; i < count; ++i) {
        const double p = i < count / 2 ? 36.2 : 36.2 + 0.1 * (i % 5);
        candles.push_back({p, p, p, p, 1700000000 + i, i % 3 == 0 ? 0 : 10});
    }
    return candles;
}

std::vector<std::vector<CandleRecord>> Histories()
{
    return {Walk(300, 1), Walk(61, 2), Walk(27, 3), Walk(5, 4), Walk(1, 5), Walk(2, 6), Flat(40), Walk(1000, 7)};
}

std::vector<Bar> BarsOf(std::span<const CandleRecord> candles)
{
    std::vector<Bar> bars;
    for (const CandleRecord& c : candles)
        bars.push_back({c.open, c.high, c.low, c.close, double(c.vol)});
    return bars;
}

std::vector<double> Closes(std::span<const CandleRecord> candles)
{
    std::vector<double> v;
    for (const CandleRecord& c : candles)
        v.push_back(c.close);
    return v;
}

const Definition& Builtin(const std::string& name)
{
    for (const Definition& d : builtinFormulas())
        if (d.name == name)
            return d;
    throw std::runtime_error("no built-in " + name);
}

std::vector<std::vector<double>> Evaluate(const Definition& d, std::span<const CandleRecord> candles)
{
    const std::vector<Bar> bars = BarsOf(candles);
    auto lines = evaluateText(d.text, bars, d.parameters);
    EXPECT_FALSE(lines.empty()) << d.name;
    return lines;
}

void ExpectSame(std::span<const double> formula, std::span<const double> builtin, const std::string& what)
{
    ASSERT_EQ(formula.size(), builtin.size()) << what;
    for (std::size_t i = 0; i < formula.size(); ++i) {
        if (!std::isfinite(builtin[i])) {
            EXPECT_FALSE(std::isfinite(formula[i])) << what << " at " << i << ": " << formula[i];
            continue;
        }
        EXPECT_NEAR(formula[i], builtin[i], 1e-9) << what << " at " << i;
    }
}

} // namespace

TEST(FormulaBuiltins, AllSixAreThereAndCompile)
{
    std::vector<std::string> names;
    for (const Definition& d : builtinFormulas()) {
        names.push_back(d.name);
        EXPECT_TRUE(checkDefinition(Definition{"copy", d.description, d.placement, d.parameters, d.text}).empty())
            << d.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"MA", "VOL-MA", "MACD", "KDJ", "RSI", "BOLL"}));
    EXPECT_TRUE(isBuiltinName("macd"));
    EXPECT_FALSE(isBuiltinName("MACD2"));
    EXPECT_EQ(titleOf(Builtin("MACD")), "MACD(12,26,9)");
    EXPECT_EQ(titleOf(Builtin("BOLL")), "BOLL(20,2)");
}

TEST(FormulaBuiltins, MovingAveragesAndVolumeAverages)
{
    for (const auto& candles : Histories()) {
        IndicatorSet set;
        set.setChoice(IndicatorChoice{});
        set.update(candles, 0);
        const auto ma = Evaluate(Builtin("MA"), candles);
        ASSERT_EQ(ma.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i)
            ExpectSame(ma[i], set.priceAverages()[i], "MA" + std::to_string(i + 1));
        const auto vol = Evaluate(Builtin("VOL-MA"), candles);
        ASSERT_EQ(vol.size(), 3u);
        for (std::size_t i = 0; i < candles.size(); ++i)
            EXPECT_EQ(vol[0][i], double(candles[i].vol));
        ExpectSame(vol[1], set.volumeAverages()[0], "MAVOL1");
        ExpectSame(vol[2], set.volumeAverages()[1], "MAVOL2");
    }
}

TEST(FormulaBuiltins, Macd)
{
    for (const auto& candles : Histories()) {
        MacdLines builtin;
        macd(Closes(candles), builtin, 0);
        const auto lines = Evaluate(Builtin("MACD"), candles);
        ASSERT_EQ(lines.size(), 3u);
        ExpectSame(lines[0], builtin.dif, "DIF");
        ExpectSame(lines[1], builtin.dea, "DEA");
        ExpectSame(lines[2], builtin.histogram, "MACD");
    }
}

TEST(FormulaBuiltins, Kdj)
{
    for (const auto& candles : Histories()) {
        KdjLines builtin;
        kdj(candles, builtin, 0);
        const auto lines = Evaluate(Builtin("KDJ"), candles);
        ASSERT_EQ(lines.size(), 3u);
        ExpectSame(lines[0], builtin.k, "K");
        ExpectSame(lines[1], builtin.d, "D");
        ExpectSame(lines[2], builtin.j, "J");
    }
}

TEST(FormulaBuiltins, Rsi)
{
    for (const auto& candles : Histories()) {
        const auto lines = Evaluate(Builtin("RSI"), candles);
        ASSERT_EQ(lines.size(), 3u);
        for (std::size_t i = 0; i < kRsiPeriods.size(); ++i) {
            RsiLine builtin;
            rsi(Closes(candles), kRsiPeriods[i], builtin, 0);
            ExpectSame(lines[i], builtin.rsi, "RSI" + std::to_string(kRsiPeriods[i]));
        }
    }
}

TEST(FormulaBuiltins, Boll)
{
    for (const auto& candles : Histories()) {
        BollLines builtin;
        boll(Closes(candles), builtin, 0);
        const auto lines = Evaluate(Builtin("BOLL"), candles);
        ASSERT_EQ(lines.size(), 3u);
        ExpectSame(lines[0], builtin.mid, "MID");
        ExpectSame(lines[1], builtin.upper, "UPPER");
        ExpectSame(lines[2], builtin.lower, "LOWER");
    }
}

// Polls: the newest candle changes, candles are added, the history is cut and grows again.
// Each update from the first changed candle gives what a whole evaluation of that history
// gives.
TEST(FormulaBuiltins, UpdatesFromTheFirstChangedCandleMatchAWholeEvaluation)
{
    std::vector<std::string> texts;
    std::vector<std::vector<Parameter>> parameters;
    for (const Definition& d : builtinFormulas()) {
        texts.push_back(d.text);
        parameters.push_back(d.parameters);
    }
    for (const char* extra :
         {"A:HHV(H,0); B:LLV(L,5); D:SUM(V,0); E:SUM(C,7); F:COUNT(C>REF(C,1),0); G:COUNT(C>O,4);",
          "A:BARSLAST(CROSS(C,MA(C,5))); B:BARSCOUNT(C); D:REF(C,BARSLAST(C>O));",
          "A:EMA(IF(C>O,C,C/0),5); B:SMA(IF(C>O,C,C/0),5,2); D:HHV(C,BARSCOUNT(C)); E:SUM(C,BARSCOUNT(C));",
          "A:STD(C,10); B:AVEDEV(H-L,6); D:STDP(C,3); E:COUNT(C>O,BARSCOUNT(C));"}) {
        texts.push_back(extra);
        parameters.emplace_back();
    }
    const std::vector<CandleRecord> all = Walk(400, 11);
    for (std::size_t t = 0; t < texts.size(); ++t) {
        const Compiled compiled = compile(texts[t], parameters[t]);
        ASSERT_TRUE(compiled.ok()) << texts[t];
        Evaluation polled(compiled.program);
        History history;
        std::vector<Bar> bars = BarsOf(std::span(all).first(300));
        history.assign(bars);
        polled.update(history, 0);
        std::mt19937 rng(t + 1);
        for (int poll = 0; poll < 40; ++poll) {
            // The newest candle trades on, now and then a new one starts, once the history is
            // cut back (another reply).
            std::size_t from = bars.size() - 1;
            bars.back().close += std::uniform_real_distribution<double>(-0.5, 0.5)(rng);
            bars.back().high = std::max(bars.back().high, bars.back().close);
            if (poll % 7 == 3) {
                bars.push_back(BarsOf(std::span(all).subspan(bars.size(), 1))[0]);
            }
            if (poll == 20) {
                bars.resize(250);
                from = 250;
            }
            history.assign(bars, from);
            EXPECT_LE(polled.update(history, from), from);
            Evaluation whole(compiled.program);
            whole.update(history, 0);
            for (std::size_t o = 0; o < whole.lineCount(); ++o) {
                const auto a = polled.line(o);
                const auto b = whole.line(o);
                ASSERT_EQ(a.size(), b.size());
                for (std::size_t i = 0; i < a.size(); ++i) {
                    if (std::isnan(b[i]))
                        ASSERT_TRUE(std::isnan(a[i])) << texts[t] << " line " << o << " at " << i;
                    else
                        ASSERT_NEAR(a[i], b[i], 1e-9 * std::max(1.0, std::fabs(b[i])))
                            << texts[t] << " line " << o << " at " << i << " poll " << poll;
                }
            }
        }
    }
}
