// The formula language against the built-in indicators: MACD written as a formula over 1,000
// and 10,000 candles against the built-in module on a whole load, reading the formula alone,
// and a poll that changes the newest of 1,000 candles (goals: within 3x of the built-in on a
// whole load, a poll under 0.1 ms). Run by hand, in a Release build; figures go in the issue
// note.
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "chart/Indicators.h"
#include "chart/formula/Definition.h"
#include "chart/formula/Evaluator.h"

namespace {

using chart::CandleRecord;
namespace formula = chart::formula;

std::vector<CandleRecord> walk(int count)
{
    std::mt19937 rng(7);
    std::normal_distribution<double> step(0.0, 0.9);
    std::vector<CandleRecord> candles;
    double price = 98;
    for (int i = 0; i < count; ++i) {
        CandleRecord c;
        c.open = price;
        price = std::max(1.0, price + step(rng));
        c.close = std::round(price * 100) / 100;
        c.high = std::max(c.open, c.close) + 0.3;
        c.low = std::min(c.open, c.close) - 0.3;
        c.vol = 100 + i % 977;
        candles.push_back(c);
    }
    return candles;
}

formula::Bar barOf(const CandleRecord& c)
{
    return {c.open, c.high, c.low, c.close, double(c.vol)};
}

const formula::Definition& macdFormula()
{
    for (const formula::Definition& d : formula::builtinFormulas())
        if (d.name == "MACD")
            return d;
    std::abort();
}

chart::IndicatorChoice macdOnly()
{
    chart::IndicatorChoice choice;
    choice.movingAverages = choice.volumeAverages = false;
    choice.oscillator = chart::Oscillator::Macd;
    return choice;
}

// A whole load by the built-in module: the closes taken from the candles, the five lines.
void BM_MacdBuiltin(benchmark::State& state)
{
    const std::vector<CandleRecord> candles = walk(int(state.range(0)));
    for (auto _ : state) {
        chart::IndicatorSet set;
        set.setChoice(macdOnly());
        set.update(candles, 0);
        benchmark::DoNotOptimize(set.oscillatorLines().front()->back());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MacdBuiltin)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same load as a formula: the candles taken into the history's columns and every
// operation run over them. The formula is read once, when it is chosen.
void BM_MacdFormula(benchmark::State& state)
{
    const std::vector<CandleRecord> candles = walk(int(state.range(0)));
    const formula::Compiled compiled = formula::compileDefinition(macdFormula());
    for (auto _ : state) {
        formula::History history;
        history.resize(candles.size());
        for (std::size_t i = 0; i < candles.size(); ++i)
            history.set(i, barOf(candles[i]));
        formula::Evaluation evaluation(compiled.program);
        evaluation.update(history, 0);
        benchmark::DoNotOptimize(evaluation.line(2).back());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MacdFormula)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// Reading the formula's text: what choosing it or pressing "测试公式" costs.
void BM_MacdRead(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(formula::compileDefinition(macdFormula()).program);
}
BENCHMARK(BM_MacdRead)->Unit(benchmark::kMicrosecond);

// A poll that changed the newest candle: the built-in and the formula from that candle on.
void BM_MacdBuiltinPoll(benchmark::State& state)
{
    std::vector<CandleRecord> candles = walk(int(state.range(0)));
    chart::IndicatorSet set;
    set.setChoice(macdOnly());
    set.update(candles, 0);
    int i = 0;
    for (auto _ : state) {
        candles.back().close += ++i % 2 ? 0.05 : -0.05;
        set.update(candles, candles.size() - 1);
        benchmark::DoNotOptimize(set.oscillatorLines().front()->back());
    }
}
BENCHMARK(BM_MacdBuiltinPoll)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_MacdFormulaPoll(benchmark::State& state)
{
    std::vector<CandleRecord> candles = walk(int(state.range(0)));
    const formula::Compiled compiled = formula::compileDefinition(macdFormula());
    formula::History history;
    for (std::size_t i = 0; i < candles.size(); ++i)
        history.set(i, barOf(candles[i]));
    formula::Evaluation evaluation(compiled.program);
    evaluation.update(history, 0);
    const std::size_t last = candles.size() - 1;
    int i = 0;
    for (auto _ : state) {
        candles.back().close += ++i % 2 ? 0.05 : -0.05;
        history.set(last, barOf(candles.back()));
        evaluation.update(history, last);
        benchmark::DoNotOptimize(evaluation.line(2).back());
    }
}
BENCHMARK(BM_MacdFormulaPoll)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Every built-in written as a formula, on a whole load of 1,000 candles: the cost of the
// heavier windows (KDJ's highs and lows, BOLL's deviations).
void BM_BuiltinFormulas(benchmark::State& state)
{
    const formula::Definition& d = formula::builtinFormulas()[std::size_t(state.range(0))];
    state.SetLabel(d.name);
    const std::vector<CandleRecord> candles = walk(1000);
    const formula::Compiled compiled = formula::compileDefinition(d);
    formula::History history;
    for (std::size_t i = 0; i < candles.size(); ++i)
        history.set(i, barOf(candles[i]));
    for (auto _ : state) {
        formula::Evaluation evaluation(compiled.program);
        evaluation.update(history, 0);
        benchmark::DoNotOptimize(evaluation.line(0).back());
    }
}
BENCHMARK(BM_BuiltinFormulas)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
