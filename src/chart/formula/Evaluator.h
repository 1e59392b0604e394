#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "chart/formula/Language.h"

namespace chart::formula {

// One candle as a formula reads it.
struct Bar
{
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    double volume = 0;
};

// A candle history by columns, the form the formula's operations read; kept up to date from
// the first changed candle as polls come.
class History final
{
public:
    // Makes the history `bars`, whose values before `from` are already here.
    void assign(std::span<const Bar> bars, std::size_t from = 0);
    // Sets candle i (the history grows to hold it) or cuts the history to `count` candles.
    void set(std::size_t i, const Bar& bar);
    void resize(std::size_t count);

    std::size_t size() const { return m_close.size(); }
    const std::vector<double>& open() const { return m_open; }
    const std::vector<double>& high() const { return m_high; }
    const std::vector<double>& low() const { return m_low; }
    const std::vector<double>& close() const { return m_close; }
    const std::vector<double>& volume() const { return m_volume; }

private:
    std::vector<double> m_open;
    std::vector<double> m_high;
    std::vector<double> m_low;
    std::vector<double> m_close;
    std::vector<double> m_volume;
};

// The values of one compiled formula over one history, one line per output, NaN where a
// line has no value. Vectorised: each operation runs over the candles in one loop, in the
// program's order. Incremental: every operation looks only at its candle and those before
// it, so when a poll changes the history from a candle on, only the values from there on
// are computed again.
class Evaluation final
{
public:
    explicit Evaluation(std::shared_ptr<const Program> program);

    // Makes every line match `history`, whose candles before `from` are those of the last
    // update (0: compute everything). Returns the first index at which a line may have
    // changed.
    std::size_t update(const History& history, std::size_t from);

    std::size_t size() const { return m_size; }
    std::size_t lineCount() const;
    std::span<const double> line(std::size_t output) const;
    const std::vector<OutputSpec>& outputs() const;
    const Program& program() const { return *m_program; }

private:
    void run(std::size_t node, const History& history, std::size_t from);

    std::shared_ptr<const Program> m_program;
    std::vector<std::vector<double>> m_values; // per operation; empty for constants and data
    std::vector<std::vector<double>> m_state;  // per operation that carries a running value
    std::vector<std::vector<double>> m_lines;  // per output whose operation keeps no values
    std::size_t m_size = 0;
    bool m_fresh = true;
};

// The lines of `text` over `bars`, whole: for tests and the fuzzer. Empty when it does not
// compile.
std::vector<std::vector<double>> evaluateText(std::string_view text, std::span<const Bar> bars,
                                              std::span<const Parameter> parameters = {});

} // namespace chart::formula
