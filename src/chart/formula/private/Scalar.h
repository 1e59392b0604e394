#pragma once

#include <cmath>
#include <limits>

#include "chart/formula/Program.h"

// The value of an elementwise operation at one candle, shared by the evaluator and by the
// compiler when it works out constants, so both give the same numbers. "No value" is NaN;
// any result that is not a finite number (an overflow) is no value too.
namespace chart::formula::scalar {

inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

inline bool has(double v)
{
    return std::isfinite(v);
}

inline double finiteOrNone(double v)
{
    return std::isfinite(v) ? v : kNone;
}

inline double truth(bool b)
{
    return b ? 1.0 : 0.0;
}

inline double unary(Op op, double a)
{
    if (!has(a))
        return kNone;
    switch (op) {
    case Op::Neg: return -a;
    case Op::Not: return truth(a == 0);
    case Op::Abs: return std::fabs(a);
    case Op::Sqrt: return a >= 0 ? std::sqrt(a) : kNone;
    default: return kNone;
    }
}

inline double binary(Op op, double a, double b)
{
    if (!has(a) || !has(b))
        return kNone;
    switch (op) {
    case Op::Add: return finiteOrNone(a + b);
    case Op::Sub: return finiteOrNone(a - b);
    case Op::Mul: return finiteOrNone(a * b);
    case Op::Div: return b == 0 ? kNone : finiteOrNone(a / b);
    case Op::Lt: return truth(a < b);
    case Op::Gt: return truth(a > b);
    case Op::Le: return truth(a <= b);
    case Op::Ge: return truth(a >= b);
    case Op::Eq: return truth(a == b);
    case Op::Ne: return truth(a != b);
    case Op::And: return truth(a != 0 && b != 0);
    case Op::Or: return truth(a != 0 || b != 0);
    // As std::max and std::min, and the built-in indicators, take them.
    case Op::Max: return a < b ? b : a;
    case Op::Min: return b < a ? b : a;
    default: return kNone;
    }
}

// IF(C, A, B): A where C is not 0, B where it is; nothing where C has no value.
inline double choose(double c, double a, double b)
{
    if (!has(c))
        return kNone;
    return c != 0 ? a : b;
}

} // namespace chart::formula::scalar
