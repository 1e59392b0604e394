#pragma once

#include <cstdint>

#include "chart/CDataElement.h"

class CDataElementKBar final : public CDataElement
{
public:
    double open = 0;
    double close = 0;
    double high = 0;
    double low = 0;
    std::int32_t time = 0; // period start, Unix seconds
    std::int32_t periodCode = 0;
    double previousClose = 0; // 0 for the first candle of a reply

    // Inconsistent reply fields still keep the candle inside its range.
    double High() const override;
    double Low() const override;
    chart::ElementType Type() const override { return chart::ElementType::KBar; }
    int labelWidth() const override;
};
