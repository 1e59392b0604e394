#include "chart/ChartLegend.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QPainter>

#include "chart/CDataElementFormula.h"
#include "chart/CDataElementPoint.h"
#include "chart/CSubArea.h"
#include "chart/CSubAreaDisplayOne.h"
#include "chart/CSubAreaDisplayOneFormula.h"
#include "chart/CandleChart.h"
#include "chart/ChartCanvas.h"
#include "chart/ChartText.h"
#include "chart/private/ChartFonts.h"

namespace chart {
namespace {

constexpr int kItemGap = 10;
constexpr int kLegendHeight = 15;

std::string valueText(const CSubArea& area, double v)
{
    if (!std::isfinite(v))
        return "--";
    // Volumes are whole, as the volume area's labels are.
    if (area.Name() == "P")
        return valueLabel(v, true);
    if (area.Name() == CandleChart::kOscillatorArea)
        return oscillatorText(v);
    return fixedText(v, 2);
}

// A trader's formula: its name with its parameters, then each line's value in its colour.
void addFormulaItems(LegendRow& row, const CSubArea& area, const CSubAreaDisplayOne& d, const CDataElementFormula& e)
{
    const auto* display = dynamic_cast<const CSubAreaDisplayOneFormula*>(&d);
    if (!display)
        return;
    row.items.push_back({d.legendLabel(), kLegendNameColour});
    const auto& lines = display->lines();
    for (std::size_t k = 0; k < lines.size() && k < e.count; ++k)
        row.items.push_back({lines[k].name + ":" + valueText(area, e.values[k]), display->colourAt(k, e)});
}

} // namespace

std::vector<LegendRow> legendRows(const ChartCanvas& canvas, int index)
{
    std::vector<LegendRow> rows;
    if (index < 0)
        return rows;
    for (const CSubAreaCell& cell : canvas.Rows()) {
        const CSubArea& area = *cell.subArea;
        if (area.Height() <= 0)
            continue;
        LegendRow row{&area, {}};
        std::string group;
        for (int i = 0; i < area.displayCount(); ++i) {
            const CSubAreaDisplayOne& d = area.Display(i);
            if (d.legendLabel().empty() || std::size_t(index) >= d.elementCount())
                continue;
            const CDataElement& e = *d.Element(std::size_t(index));
            if (e.Type() == ElementType::Formula) {
                addFormulaItems(row, area, d, static_cast<const CDataElementFormula&>(e));
                group.clear();
                continue;
            }
            if (d.legendGroup() != group && !d.legendGroup().empty())
                row.items.push_back({d.legendGroup(), kLegendNameColour});
            group = d.legendGroup();
            const Colour colour = e.Type() == ElementType::Point ? static_cast<const CDataElementPoint&>(e).colour
                                                                : kLegendNameColour;
            row.items.push_back({d.legendLabel() + ":" + valueText(area, e.High()), colour});
        }
        if (!row.items.empty())
            rows.push_back(std::move(row));
    }
    return rows;
}

int legendIndex(const ChartCanvas& canvas, int crossHairX)
{
    const CSubArea* area = canvas.firstRowArea();
    if (!area || area->displayCount() == 0)
        return -1;
    const int count = int(area->Display(0).elementCount());
    if (count == 0)
        return -1;
    const int w = area->Scale().slotWidth;
    if (crossHairX == 0 || w <= 0)
        return count - 1;
    const int slot = std::max(0, crossHairX - area->Scale().plotLeft) / w;
    return std::clamp(area->firstDrawn() + slot, 0, count - 1);
}

QRect legendBand(const CSubArea& area)
{
    // The margin of the area above holds nothing in its lowest rows: the candle times end
    // 14 pixels under their plot.
    const int height = std::max(QFontMetrics(fonts::label()).height(), kLegendHeight);
    const int top = area.Scale().plotTop - height;
    return QRect(area.Left() + 10, top, area.Width() - CSubArea::kRightMargin - 10, height);
}

QImage renderLegendRow(const LegendRow& row, qreal devicePixelRatio)
{
    const CSubArea& area = *row.area;
    const QRect band = legendBand(area);
    QImage image((QSizeF(band.size()) * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const QFont& font = fonts::label();
    const QFontMetrics metrics(font);
    p.setFont(font);
    int x = 0;
    if (!area.Title().empty())
        x += QFontMetrics(fonts::title()).horizontalAdvance(QString::fromStdString(area.Title())) + kItemGap;
    for (const LegendItem& item : row.items) {
        const QString text = QString::fromStdString(item.text);
        p.setPen(toQColor(item.colour));
        p.drawText(x, metrics.ascent(), text);
        x += metrics.horizontalAdvance(text) + kItemGap;
    }
    return image;
}

} // namespace chart
