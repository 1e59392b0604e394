#include "chart/ChartCanvas.h"

#include <algorithm>

#include <QtMath>

#include "chart/CDataElementFormula.h"
#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CSubAreaDisplayOneFormula.h"
#include "chart/CSubAreaDisplayOneHistogram.h"
#include "chart/CSubAreaDisplayOneKBar.h"
#include "chart/CSubAreaDisplayOnePixelLine.h"
#include "chart/CSubAreaDisplayOneStick.h"
#include "chart/CSubAreaDisplayOneVLine.h"

namespace chart {
namespace {

std::unique_ptr<CSubAreaDisplayOne> makeDisplay(DisplayKind kind, CSubArea& area)
{
    switch (kind) {
    case DisplayKind::KBar:
        return std::make_unique<CSubAreaDisplayOneKBar>(area);
    case DisplayKind::Histogram:
        return std::make_unique<CSubAreaDisplayOneHistogram>(area);
    case DisplayKind::VLine:
        return std::make_unique<CSubAreaDisplayOneVLine>(area);
    case DisplayKind::PixelLine:
        return std::make_unique<CSubAreaDisplayOnePixelLine>(area);
    case DisplayKind::Stick:
        return std::make_unique<CSubAreaDisplayOneStick>(area);
    case DisplayKind::Formula:
        return std::make_unique<CSubAreaDisplayOneFormula>(area);
    }
    return nullptr;
}

std::unique_ptr<CDataElement> Copy(const CDataElement& element)
{
    if (element.Type() == ElementType::KBar)
        return std::make_unique<CDataElementKBar>(static_cast<const CDataElementKBar&>(element));
    if (element.Type() == ElementType::Formula)
        return std::make_unique<CDataElementFormula>(static_cast<const CDataElementFormula&>(element));
    return std::make_unique<CDataElementPoint>(static_cast<const CDataElementPoint&>(element));
}

} // namespace

ChartCanvas::ChartCanvas(QSize size, qreal devicePixelRatio)
    : m_size(size.expandedTo(QSize(1, 1)))
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize device(qCeil(m_size.width() * ratio), qCeil(m_size.height() * ratio));
    for (QImage* image : {&m_image, &m_spare}) {
        *image = QImage(device, QImage::Format_RGB32);
        image->setDevicePixelRatio(ratio);
        image->fill(Qt::black);
    }
}

void ChartCanvas::AddSubArea(const std::string& name, int row, int heightPercent, int leftMargin, int topMargin,
                             int bottomMargin)
{
    int top = 0;
    for (const CSubAreaCell& cell : m_rows) {
        if (cell.row == row)
            return;
        top += cell.bottom - cell.top;
    }
    CSubAreaCell cell;
    cell.row = row;
    cell.heightPercent = heightPercent;
    cell.left = 0;
    cell.right = m_size.width();
    cell.top = top;
    cell.bottom = top + heightPercent * m_size.height() / 100;
    CSubArea::Band band;
    band.left = cell.left;
    band.top = cell.top;
    band.width = cell.right - cell.left;
    band.height = cell.bottom - cell.top;
    band.leftMargin = leftMargin;
    band.topMargin = topMargin;
    band.bottomMargin = bottomMargin;
    cell.subArea = std::make_unique<CSubArea>(name, band, &m_image, &m_spare, this);
    cell.scale = &cell.subArea->Scale();
    m_rows.push_back(std::move(cell));
}

bool ChartCanvas::AddDisplay(DisplayKind kind, int row, const std::string& name)
{
    for (CSubAreaCell& cell : m_rows) {
        if (cell.row != row)
            continue;
        auto display = makeDisplay(kind, *cell.subArea);
        display->setName(name);
        return cell.subArea->AddDisplay(std::move(display));
    }
    return false;
}

void ChartCanvas::AppendElement(const CDataElement& element, const std::string& displayName)
{
    if (CSubAreaDisplayOne* d = findDisplay(displayName))
        d->AppendElement(Copy(element));
}

void ChartCanvas::ClearDisplay(const std::string& displayName)
{
    if (CSubAreaDisplayOne* d = findDisplay(displayName))
        d->Clear();
}

void ChartCanvas::truncateDisplay(const std::string& displayName, std::size_t count)
{
    if (CSubAreaDisplayOne* d = findDisplay(displayName))
        d->truncate(count);
}

void ChartCanvas::layOutRows(const std::vector<int>& heights)
{
    int top = 0;
    for (std::size_t i = 0; i < m_rows.size() && i < heights.size(); ++i) {
        CSubAreaCell& cell = m_rows[i];
        CSubArea& area = *cell.subArea;
        cell.top = top;
        cell.bottom = top + std::max(0, heights[i]);
        cell.heightPercent = m_size.height() > 0 ? (cell.bottom - cell.top) * 100 / m_size.height() : 0;
        CSubArea::Band band;
        band.left = area.Left();
        band.top = cell.top;
        band.width = area.Width();
        band.height = cell.bottom - cell.top;
        band.leftMargin = area.LeftMargin();
        band.topMargin = area.TopMargin();
        band.bottomMargin = area.BottomMargin();
        area.setBand(band);
        top = cell.bottom;
    }
    m_image.fill(Qt::black);
}

void ChartCanvas::clearAll()
{
    for (const CSubAreaCell& cell : m_rows) {
        for (int i = 0; i < cell.subArea->displayCount(); ++i)
            cell.subArea->Display(i).truncate(0);
        // The areas' frames, scales and time labels go with the image; a next day with the
        // same range would otherwise redraw only its plot.
        cell.subArea->redrawWholeNext();
    }
    m_image.fill(Qt::black);
    m_spare.fill(Qt::black);
}

void ChartCanvas::SetTitle(const std::string& subAreaName, const std::string& text)
{
    if (CSubArea* a = findSubArea(subAreaName))
        a->SetTitle(text);
}

void ChartCanvas::SetAxisLegend(const std::string& subAreaName)
{
    if (CSubArea* a = findSubArea(subAreaName))
        a->SetAxisLegend(kAxisLegendText);
}

void ChartCanvas::DrawRange(const std::string& subAreaName, int first, int last)
{
    CSubArea* a = findSubArea(subAreaName);
    if (!a)
        return;
    const QRect drawn = a->Draw(first, last);
    if (!drawn.isEmpty() && m_overlay && subAreaName == m_overlaid && m_overlay(m_image, drawn))
        a->drawnOver();
}

void ChartCanvas::setOverlay(const std::string& subAreaName, Overlay overlay)
{
    m_overlaid = subAreaName;
    m_overlay = std::move(overlay);
}

void ChartCanvas::redrawOverlaid()
{
    CSubArea* a = findSubArea(m_overlaid);
    if (!a || !a->hasDrawing())
        return;
    const int first = a->firstDrawn();
    const int last = a->lastDrawn();
    a->redrawWholeNext();
    DrawRange(m_overlaid, first, last);
}

CSubArea* ChartCanvas::findSubArea(const std::string& name) const
{
    for (const CSubAreaCell& cell : m_rows)
        if (cell.subArea->Name() == name)
            return cell.subArea.get();
    return nullptr;
}

CSubAreaDisplayOne* ChartCanvas::findDisplay(const std::string& name) const
{
    for (const CSubAreaCell& cell : m_rows)
        for (int i = 0; i < cell.subArea->displayCount(); ++i)
            if (cell.subArea->Display(i).Name() == name)
                return &cell.subArea->Display(i);
    return nullptr;
}

CSubArea* ChartCanvas::firstRowArea() const
{
    return m_rows.empty() ? nullptr : m_rows.front().subArea.get();
}

} // namespace chart
