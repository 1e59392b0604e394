#include "chart/CDataElementKBar.h"

#include <algorithm>

#include "chart/ChartText.h"

float CDataElementKBar::High() const
{
    return std::max({open, close, high, low});
}

float CDataElementKBar::Low() const
{
    return std::min({open, close, high, low});
}

int CDataElementKBar::LabelWidth() const
{
    return std::max({chart::ValueTextWidth(high), chart::ValueTextWidth(low), chart::ValueTextWidth(open),
                     chart::ValueTextWidth(close)});
}
