#pragma once

#include <cstdint>

#include "chart/CDataElement.h"

class CDataElementKBar final : public CDataElement
{
public:
    float open = 0;
    float close = 0;
    float high = 0;
    float low = 0;
    std::int32_t time = 0; // period start, Unix seconds
    std::int32_t periodCode = 0;
    float previousClose = 0; // 0 for the first candle of a reply

    // Inconsistent reply fields still keep the candle inside its range.
    float High() const override;
    float Low() const override;
    chart::ElementType Type() const override { return chart::ElementType::KBar; }
    int labelWidth() const override;
};
