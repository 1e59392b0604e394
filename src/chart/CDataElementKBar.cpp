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

int CDataElementKBar::labelWidth() const
{
    return std::max({chart::valueTextWidth(high), chart::valueTextWidth(low), chart::valueTextWidth(open),
                     chart::valueTextWidth(close)});
}
