#include "chart/CDataElementPoint.h"

#include "chart/ChartText.h"

int CDataElementPoint::labelWidth() const
{
    return chart::valueTextWidth(value);
}
