#pragma once

#include <array>
#include <cstdint>

#include "chart/CDataElement.h"
#include "chart/formula/Language.h"

// One candle's values of a trader's formula, one per output line (NaN where a line has none),
// drawn by one formula display. Its range is that of the lines drawn: a NODRAW line is in
// the legend only.
class CDataElementFormula final : public CDataElement
{
public:
    static constexpr std::size_t kMaxValues = chart::formula::kMaxOutputs;

    std::array<double, kMaxValues> values{};
    std::uint8_t count = 0;
    std::uint8_t ranged = 0; // bit k: value k takes part in the range
    bool rising = true;      // the candle closed at or over its open (VOLSTICK's look)

    double High() const override;
    double Low() const override;
    chart::ElementType Type() const override { return chart::ElementType::Formula; }
    int labelWidth() const override;
};
