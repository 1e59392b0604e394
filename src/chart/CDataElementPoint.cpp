#include "chart/CDataElementPoint.h"

#include "chart/ChartText.h"

int CDataElementPoint::LabelWidth() const
{
    return chart::ValueTextWidth(value);
}
