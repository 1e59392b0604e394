#pragma once

#include <string>
#include <vector>

#include "chart/ChartColour.h"

class CSubArea;
class QImage;
class QRect;

namespace chart {

class ChartCanvas;

struct LegendItem
{
    std::string text;
    Colour colour = 0;

    bool operator==(const LegendItem&) const = default;
};

// One sub-area's legend: the indicators' names and each line's value at one element.
struct LegendRow
{
    const CSubArea* area = nullptr;
    std::vector<LegendItem> items;

    bool operator==(const LegendRow&) const = default;
};

inline constexpr Colour kLegendNameColour = Rgb(200, 200, 200);

// The legend of every sub-area that has displays with a legend label, at element `index`:
// a label's value is "--" where its line has none.
std::vector<LegendRow> legendRows(const ChartCanvas& canvas, int index);

// The element the legend describes: the one in the slot under the cross-hair at x of the
// first row's sub-area, or the newest one when there is no cross-hair (x = 0). -1 for none.
int legendIndex(const ChartCanvas& canvas, int crossHairX);

// Where a sub-area's legend row is painted: the top margin over the plot, reaching up into
// the area above when the margin is lower than a line of text.
QRect legendBand(const CSubArea& area);

// A legend row as painted over the chart at legendBand(*row.area).topLeft(): its texts on a
// transparent ground, right of the area's title.
QImage renderLegendRow(const LegendRow& row, qreal devicePixelRatio);

} // namespace chart
