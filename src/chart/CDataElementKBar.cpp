#include "chart/CDataElementKBar.h"

#include <algorithm>

#include "chart/ChartText.h"

double CDataElementKBar::High() const
{
    return std::max({open, close, high, low});
}

double CDataElementKBar::Low() const
{
    return std::min({open, close, high, low});
}

int CDataElementKBar::labelWidth() const
{
    return std::max({chart::valueTextWidth(high), chart::valueTextWidth(low), chart::valueTextWidth(open),
                     chart::valueTextWidth(close)});
}
