#pragma once

#include "chart/CDataElement.h"
#include "chart/ChartColour.h"

class CDataElementPoint final : public CDataElement
{
public:
    chart::Colour colour = chart::kBlack;
    double value = 0;

    double High() const override { return value; }
    double Low() const override { return value; }
    chart::ElementType Type() const override { return chart::ElementType::Point; }
    int labelWidth() const override;
};
