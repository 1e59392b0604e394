// The functions of the formula language over a candle history. Their conventions are those of
// the built-in indicators (chart/Indicators.cpp), so that the built-ins written as formulas
// give the same numbers:
//   MA(X,N)      the plain average of the last N values once N are there, by a running sum
//                taken afresh when a value that dwarfs the sum leaves the window;
//   EMA(X,N)     Y = (2X + (N-1)Y') / (N+1), SMA(X,N,M) Y = (MX + (N-M)Y') / N, both seeded
//                with X's first value;
//   HHV, LLV     over the last N candles, fewer at the start (N = 0: all so far);
//   SUM(X,N)     the last N values once N are there (N = 0: all so far);
//   STD, STDP    sample and population deviation of the last N values, AVEDEV their mean
//                absolute deviation.
// A missing value gives no value where it is used, never an error; the seeded averages carry
// on from their last value after one. Every function reads its candle and those before it
// only, which is what lets a poll compute from the first changed candle.
#include "chart/formula/Evaluator.h"

#include <algorithm>
#include <cmath>

#include "chart/formula/Program.h"
#include "chart/formula/private/Scalar.h"

namespace chart::formula {
namespace {

using scalar::has;
using scalar::kNone;

// An argument's values: a line, or one constant for every candle.
struct In
{
    const double* data = nullptr;
    double constant = 0;

    double operator[](std::size_t i) const { return data ? data[i] : constant; }
    bool isConstant() const { return data == nullptr; }
};

// A count of candles from a number: whole (rounded down), -1 for none (negative, no value),
// and at most `limit`: a window longer than the history is the history and one more.
long long whole(double v, long long limit)
{
    if (!std::isfinite(v) || v < 0)
        return -1;
    const double f = std::floor(v);
    return f >= double(limit) ? limit : static_cast<long long>(f);
}

void fillNone(double* out, std::size_t from, std::size_t n)
{
    std::fill(out + from, out + n, kNone);
}

template <class F>
void map1(double* out, In a, std::size_t from, std::size_t n, F f)
{
    if (a.isConstant()) {
        std::fill(out + from, out + n, f(a.constant));
        return;
    }
    for (std::size_t i = from; i < n; ++i)
        out[i] = f(a.data[i]);
}

template <class F>
void map2(double* out, In a, In b, std::size_t from, std::size_t n, F f)
{
    if (!a.isConstant() && !b.isConstant()) {
        for (std::size_t i = from; i < n; ++i)
            out[i] = f(a.data[i], b.data[i]);
    } else if (!a.isConstant()) {
        const double c = b.constant;
        for (std::size_t i = from; i < n; ++i)
            out[i] = f(a.data[i], c);
    } else if (!b.isConstant()) {
        const double c = a.constant;
        for (std::size_t i = from; i < n; ++i)
            out[i] = f(c, b.data[i]);
    } else {
        std::fill(out + from, out + n, f(a.constant, b.constant));
    }
}

template <Op op>
void binary(double* out, In a, In b, std::size_t from, std::size_t n)
{
    map2(out, a, b, from, n, [](double x, double y) { return scalar::binary(op, x, y); });
}

double windowSum(In x, std::size_t first, std::size_t last)
{
    double sum = 0;
    for (std::size_t j = first; j <= last; ++j)
        sum += x[j];
    return sum;
}

// As the built-in averages: a value leaving the window that is this many times the sum left
// behind took the smaller values' digits with it when it came in.
constexpr double kFreshSumRatio = 4096;

// The sums of the last p values, from the candle where p are there; divided by `divisor`.
void movingSum(In x, long long period, double divisor, double* out, std::size_t from, std::size_t n)
{
    if (period < 1) {
        fillNone(out, from, n);
        return;
    }
    const auto p = std::size_t(period);
    const std::size_t start = std::max(from, p - 1);
    for (std::size_t i = from; i < std::min(start, n); ++i)
        out[i] = kNone;
    if (start >= n)
        return;
    double sum = windowSum(x, start + 1 - p, start);
    out[start] = scalar::finiteOrNone(sum / divisor);
    for (std::size_t i = start + 1; i < n; ++i) {
        const double leaving = x[i - p];
        sum += x[i] - leaving;
        if (!std::isfinite(sum) || std::fabs(leaving) > kFreshSumRatio * std::fabs(sum))
            sum = windowSum(x, i + 1 - p, i);
        out[i] = scalar::finiteOrNone(sum / divisor);
    }
}

// The seeded averages: Y = (w X + (d - w) Y') / d from X's first value on. `state` holds the
// value carried past a candle without one.
void seededAverage(In x, double weight, double divisor, double* out, double* state, std::size_t from,
                   std::size_t n)
{
    for (std::size_t i = from; i < n; ++i) {
        const double before = i > 0 ? state[i - 1] : kNone;
        const double xi = x[i];
        if (!has(xi)) {
            out[i] = kNone;
            state[i] = before;
            continue;
        }
        const double y = has(before) ? scalar::finiteOrNone((weight * xi + (divisor - weight) * before) / divisor) : xi;
        out[i] = y;
        state[i] = has(y) ? y : before;
    }
}

void ema(In x, double n_, double* out, double* state, std::size_t from, std::size_t n)
{
    const long long p = whole(n_, 1LL << 40);
    if (p < 1) {
        fillNone(out, from, n);
        std::fill(state + from, state + n, kNone);
        return;
    }
    // (2X + (N-1)Y') / (N+1): the weight 2 of a divisor N+1.
    seededAverage(x, 2, double(p) + 1, out, state, from, n);
}

void sma(In x, double n_, double m, double* out, double* state, std::size_t from, std::size_t n)
{
    const long long p = whole(n_, 1LL << 40);
    if (p < 1 || !has(m)) {
        fillNone(out, from, n);
        std::fill(state + from, state + n, kNone);
        return;
    }
    seededAverage(x, m, double(p), out, state, from, n);
}

void ref(In x, In periods, double* out, std::size_t from, std::size_t n)
{
    for (std::size_t i = from; i < n; ++i) {
        const long long k = whole(periods[i], (long long)i + 1);
        out[i] = k < 0 || k > (long long)i ? kNone : x[i - std::size_t(k)];
    }
}

template <bool highest>
double better(double a, double b)
{
    if (!has(a))
        return b;
    if (!has(b))
        return a;
    return highest ? (a < b ? b : a) : (b < a ? b : a);
}

template <bool highest>
void extreme(In x, In periods, double* out, std::size_t from, std::size_t n)
{
    for (std::size_t i = from; i < n; ++i) {
        const long long k = whole(periods[i], (long long)i + 1);
        if (k < 0) {
            out[i] = kNone;
            continue;
        }
        if (k == 0 && periods.isConstant()) {
            // All so far: one step from the candle before.
            out[i] = better<highest>(i > 0 ? out[i - 1] : kNone, x[i]);
            continue;
        }
        const std::size_t w = k == 0 ? i + 1 : std::size_t(k);
        double v = kNone;
        for (std::size_t j = i + 1 - w; j <= i; ++j)
            v = better<highest>(v, x[j]);
        out[i] = v;
    }
}

void sum(In x, In periods, double* out, std::size_t from, std::size_t n)
{
    if (periods.isConstant()) {
        const long long k = whole(periods.constant, (long long)n + 1);
        if (k != 0) {
            movingSum(x, k, 1, out, from, n);
            return;
        }
        // All so far, the missing values left out.
        for (std::size_t i = from; i < n; ++i) {
            const double before = i > 0 ? out[i - 1] : kNone;
            out[i] = has(x[i]) ? scalar::finiteOrNone((has(before) ? before : 0) + x[i]) : before;
        }
        return;
    }
    for (std::size_t i = from; i < n; ++i) {
        const long long k = whole(periods[i], (long long)i + 2);
        if (k < 0 || k > (long long)i + 1) {
            out[i] = kNone;
            continue;
        }
        double s = 0;
        bool any = false;
        bool missing = false;
        for (std::size_t j = k == 0 ? 0 : i + 1 - std::size_t(k); j <= i; ++j) {
            if (has(x[j])) {
                s += x[j];
                any = true;
            } else {
                missing = true;
            }
        }
        out[i] = (k == 0 ? any : !missing) ? scalar::finiteOrNone(s) : kNone;
    }
}

double counted(In x, std::size_t i)
{
    const double v = x[i];
    return has(v) && v != 0 ? 1 : 0;
}

void count(In x, In periods, double* out, std::size_t from, std::size_t n)
{
    if (periods.isConstant()) {
        const long long k = whole(periods.constant, (long long)n + 1);
        if (k < 0) {
            fillNone(out, from, n);
            return;
        }
        if (k == 0) {
            for (std::size_t i = from; i < n; ++i)
                out[i] = (i > 0 ? out[i - 1] : 0) + counted(x, i);
            return;
        }
        const auto p = std::size_t(k);
        double c = 0;
        for (std::size_t i = from; i < n; ++i) {
            if (i == from) {
                for (std::size_t j = i + 1 >= p ? i + 1 - p : 0; j <= i; ++j)
                    c += counted(x, j);
            } else {
                c += counted(x, i) - (i >= p ? counted(x, i - p) : 0);
            }
            out[i] = c;
        }
        return;
    }
    for (std::size_t i = from; i < n; ++i) {
        const long long k = whole(periods[i], (long long)i + 1);
        if (k < 0) {
            out[i] = kNone;
            continue;
        }
        const std::size_t w = k == 0 ? i + 1 : std::size_t(k);
        double c = 0;
        for (std::size_t j = i + 1 - w; j <= i; ++j)
            c += counted(x, j);
        out[i] = c;
    }
}

void cross(In a, In b, double* out, std::size_t from, std::size_t n)
{
    for (std::size_t i = from; i < n; ++i) {
        const double ai = a[i];
        const double bi = b[i];
        if (!has(ai) || !has(bi)) {
            out[i] = kNone;
            continue;
        }
        if (i == 0) {
            out[i] = 0;
            continue;
        }
        const double pa = a[i - 1];
        const double pb = b[i - 1];
        out[i] = has(pa) && has(pb) && pa < pb && ai > bi ? 1 : 0;
    }
}

enum class Spread { Sample, Population, MeanAbsolute };

void spread(In x, double periods, Spread kind, double* out, std::size_t from, std::size_t n)
{
    const long long k = whole(periods, (long long)n + 1);
    const long long least = kind == Spread::Sample ? 2 : 1;
    if (k < least) {
        fillNone(out, from, n);
        return;
    }
    const auto p = std::size_t(k);
    for (std::size_t i = from; i < n; ++i) {
        if (i + 1 < p) {
            out[i] = kNone;
            continue;
        }
        const std::size_t first = i + 1 - p;
        const double mean = windowSum(x, first, i) / double(p);
        if (!has(mean)) {
            out[i] = kNone;
            continue;
        }
        double total = 0;
        for (std::size_t j = first; j <= i; ++j) {
            const double d = x[j] - mean;
            total += kind == Spread::MeanAbsolute ? std::fabs(d) : d * d;
        }
        switch (kind) {
        case Spread::Sample: out[i] = scalar::finiteOrNone(std::sqrt(total / double(p - 1))); break;
        case Spread::Population: out[i] = scalar::finiteOrNone(std::sqrt(total / double(p))); break;
        case Spread::MeanAbsolute: out[i] = scalar::finiteOrNone(total / double(p)); break;
        }
    }
}

void barsLast(In x, double* out, std::size_t from, std::size_t n)
{
    for (std::size_t i = from; i < n; ++i) {
        if (counted(x, i) != 0)
            out[i] = 0;
        else
            out[i] = i > 0 && has(out[i - 1]) ? out[i - 1] + 1 : kNone;
    }
}

void barsCount(In x, double* out, std::size_t from, std::size_t n)
{
    for (std::size_t i = from; i < n; ++i) {
        if (i > 0 && has(out[i - 1]))
            out[i] = out[i - 1] + 1;
        else
            out[i] = has(x[i]) ? 1 : kNone;
    }
}

bool keepsValues(Op op)
{
    switch (op) {
    case Op::Const:
    case Op::Open:
    case Op::High:
    case Op::Low:
    case Op::Close:
    case Op::Vol: return false;
    default: return true;
    }
}

bool carriesState(Op op)
{
    return op == Op::Ema || op == Op::Sma;
}

} // namespace

void History::assign(std::span<const Bar> bars, std::size_t from)
{
    from = std::min(from, size());
    resize(bars.size());
    for (std::size_t i = from; i < bars.size(); ++i)
        set(i, bars[i]);
}

void History::set(std::size_t i, const Bar& bar)
{
    if (i >= size())
        resize(i + 1);
    m_open[i] = bar.open;
    m_high[i] = bar.high;
    m_low[i] = bar.low;
    m_close[i] = bar.close;
    m_volume[i] = bar.volume;
}

void History::resize(std::size_t count)
{
    for (std::vector<double>* column : {&m_open, &m_high, &m_low, &m_close, &m_volume})
        column->resize(count, 0);
}

Evaluation::Evaluation(std::shared_ptr<const Program> program)
    : m_program(std::move(program))
{
    if (!m_program)
        m_program = std::make_shared<const Program>();
    const std::size_t count = m_program->nodes.size();
    m_values.resize(count);
    m_state.resize(count);
    m_lines.resize(m_program->outputs.size());
}

const std::vector<OutputSpec>& Evaluation::outputs() const
{
    return m_program->outputs;
}

std::size_t Evaluation::lineCount() const
{
    return m_program->outputs.size();
}

std::span<const double> Evaluation::line(std::size_t output) const
{
    if (output >= m_lines.size())
        return {};
    const std::uint32_t node = m_program->outputs[output].node;
    const std::vector<double>& values = keepsValues(m_program->nodes[node].op) ? m_values[node] : m_lines[output];
    return {values.data(), std::min(values.size(), m_size)};
}

std::size_t Evaluation::update(const History& history, std::size_t from)
{
    const std::size_t n = history.size();
    from = m_fresh ? 0 : std::min({from, m_size, n});
    m_fresh = false;
    const std::vector<Node>& nodes = m_program->nodes;
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        if (keepsValues(nodes[k].op))
            m_values[k].resize(n, kNone);
        if (carriesState(nodes[k].op))
            m_state[k].resize(n, kNone);
    }
    for (std::size_t k = 0; k < nodes.size(); ++k)
        run(k, history, from);
    // Outputs that are a constant or a data series are copied: their lines are the output's own.
    for (std::size_t o = 0; o < m_lines.size(); ++o) {
        const Node& node = nodes[m_program->outputs[o].node];
        if (keepsValues(node.op))
            continue;
        std::vector<double>& line = m_lines[o];
        line.resize(n, kNone);
        const std::vector<double>* column = nullptr;
        switch (node.op) {
        case Op::Open: column = &history.open(); break;
        case Op::High: column = &history.high(); break;
        case Op::Low: column = &history.low(); break;
        case Op::Close: column = &history.close(); break;
        case Op::Vol: column = &history.volume(); break;
        default: break;
        }
        for (std::size_t i = from; i < n; ++i)
            line[i] = column ? (*column)[i] : node.value;
    }
    m_size = n;
    return from;
}

void Evaluation::run(std::size_t k, const History& history, std::size_t from)
{
    const Node& node = m_program->nodes[k];
    if (!keepsValues(node.op))
        return;
    const std::size_t n = history.size();
    const auto in = [&](int arg) -> In {
        const std::uint32_t a = node.args[std::size_t(arg)];
        const Node& source = m_program->nodes[a];
        switch (source.op) {
        case Op::Const: return {nullptr, source.value};
        case Op::Open: return {history.open().data(), 0};
        case Op::High: return {history.high().data(), 0};
        case Op::Low: return {history.low().data(), 0};
        case Op::Close: return {history.close().data(), 0};
        case Op::Vol: return {history.volume().data(), 0};
        default: return {m_values[a].data(), 0};
        }
    };
    double* out = m_values[k].data();
    double* state = m_state[k].data();
    switch (node.op) {
    case Op::Neg:
    case Op::Not:
    case Op::Abs:
    case Op::Sqrt: {
        const Op op = node.op;
        map1(out, in(0), from, n, [op](double a) { return scalar::unary(op, a); });
        break;
    }
    case Op::Add: binary<Op::Add>(out, in(0), in(1), from, n); break;
    case Op::Sub: binary<Op::Sub>(out, in(0), in(1), from, n); break;
    case Op::Mul: binary<Op::Mul>(out, in(0), in(1), from, n); break;
    case Op::Div: binary<Op::Div>(out, in(0), in(1), from, n); break;
    case Op::Lt: binary<Op::Lt>(out, in(0), in(1), from, n); break;
    case Op::Gt: binary<Op::Gt>(out, in(0), in(1), from, n); break;
    case Op::Le: binary<Op::Le>(out, in(0), in(1), from, n); break;
    case Op::Ge: binary<Op::Ge>(out, in(0), in(1), from, n); break;
    case Op::Eq: binary<Op::Eq>(out, in(0), in(1), from, n); break;
    case Op::Ne: binary<Op::Ne>(out, in(0), in(1), from, n); break;
    case Op::And: binary<Op::And>(out, in(0), in(1), from, n); break;
    case Op::Or: binary<Op::Or>(out, in(0), in(1), from, n); break;
    case Op::Max: binary<Op::Max>(out, in(0), in(1), from, n); break;
    case Op::Min: binary<Op::Min>(out, in(0), in(1), from, n); break;
    case Op::If: {
        const In c = in(0), a = in(1), b = in(2);
        for (std::size_t i = from; i < n; ++i)
            out[i] = scalar::choose(c[i], a[i], b[i]);
        break;
    }
    case Op::Ma: {
        const long long p = whole(in(1).constant, (long long)n + 1);
        movingSum(in(0), p, double(p), out, from, n);
        break;
    }
    case Op::Ema: ema(in(0), in(1).constant, out, state, from, n); break;
    case Op::Sma: sma(in(0), in(1).constant, in(2).constant, out, state, from, n); break;
    case Op::Ref: ref(in(0), in(1), out, from, n); break;
    case Op::Hhv: extreme<true>(in(0), in(1), out, from, n); break;
    case Op::Llv: extreme<false>(in(0), in(1), out, from, n); break;
    case Op::Sum: sum(in(0), in(1), out, from, n); break;
    case Op::Count: count(in(0), in(1), out, from, n); break;
    case Op::Cross: cross(in(0), in(1), out, from, n); break;
    case Op::Std: spread(in(0), in(1).constant, Spread::Sample, out, from, n); break;
    case Op::Stdp: spread(in(0), in(1).constant, Spread::Population, out, from, n); break;
    case Op::Avedev: spread(in(0), in(1).constant, Spread::MeanAbsolute, out, from, n); break;
    case Op::BarsLast: barsLast(in(0), out, from, n); break;
    case Op::BarsCount: barsCount(in(0), out, from, n); break;
    default: fillNone(out, from, n); break;
    }
}

std::vector<std::vector<double>> evaluateText(std::string_view text, std::span<const Bar> bars,
                                              std::span<const Parameter> parameters)
{
    const Compiled compiled = compile(text, parameters);
    if (!compiled.ok())
        return {};
    History history;
    history.assign(bars);
    Evaluation evaluation(compiled.program);
    evaluation.update(history, 0);
    std::vector<std::vector<double>> lines;
    for (std::size_t o = 0; o < evaluation.lineCount(); ++o) {
        const std::span<const double> line = evaluation.line(o);
        lines.emplace_back(line.begin(), line.end());
    }
    return lines;
}

} // namespace chart::formula
