#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "chart/formula/Language.h"

namespace chart::formula {

// The operations of a compiled formula.
enum class Op : std::uint8_t {
    Const, // `value`
    Open,
    High,
    Low,
    Close,
    Vol,
    Neg,
    Not,
    Add,
    Sub,
    Mul,
    Div,
    Lt,
    Gt,
    Le,
    Ge,
    Eq,
    Ne,
    And,
    Or,
    If,
    Abs,
    Sqrt,
    Max,
    Min,
    Ma,
    Ema,
    Sma,
    Ref,
    Hhv,
    Llv,
    Sum,
    Count,
    Cross,
    Std,
    Stdp,
    Avedev,
    BarsLast,
    BarsCount,
};

// One operation; its arguments are operations before it, so the list in order is an order
// of evaluation, and no formula can refer to itself.
struct Node
{
    Op op = Op::Const;
    std::array<std::uint32_t, 3> args{};
    double value = 0; // of a constant

    bool operator==(const Node&) const = default;
};

struct Program
{
    std::vector<Node> nodes;
    std::vector<OutputSpec> outputs;
};

// How many arguments an operation takes.
int arityOf(Op op);
// Whether the operation's value at a candle depends only on its arguments' values at that
// candle (so constants fold).
bool isElementwise(Op op);

} // namespace chart::formula
