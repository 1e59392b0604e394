#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QRect>
#include <QSize>

#include "chart/CSubAreaCell.h"
#include "chart/CSubAreaDisplayOne.h"

class CDataElement;

namespace chart {

inline constexpr const char* kAxisLegendText = "2010/01~2010/10 每刻度表示月份";

// The drawing model of one chart control: the off-screen and spare images and the rows of
// sub-areas. Plain code without a window, so it can be driven and inspected directly; the
// control adds the window, the lock and the cross-hair.
//
// Sub-areas and displays are found by exact name; the first match in row order, then
// display order, wins, and a name that matches nothing makes an operation do nothing.
class ChartCanvas final
{
public:
    // `size` in logical pixels; the images hold size × devicePixelRatio device pixels, so a
    // chart on a high-density screen is drawn at its own resolution, not scaled up.
    explicit ChartCanvas(QSize size, qreal devicePixelRatio = 1.0);
    ChartCanvas(const ChartCanvas&) = delete;
    ChartCanvas& operator=(const ChartCanvas&) = delete;

    // A row keeps its first sub-area; adding into an occupied row does nothing.
    void AddSubArea(const std::string& name, int row, int heightPercent, int leftMargin, int topMargin,
                    int bottomMargin);
    bool AddDisplay(DisplayKind kind, int row, const std::string& name);
    // Appends a copy, so one template element may be refilled for every record.
    void AppendElement(const CDataElement& element, const std::string& displayName);
    void ClearDisplay(const std::string& displayName);
    // Keeps the display's oldest `count` elements.
    void truncateDisplay(const std::string& displayName, std::size_t count);
    // Makes the display hold `count` elements: it keeps those before `from` that it holds
    // and appends make(i), an element, for each index after them. A reload that changed only
    // the newest records costs only those.
    template <class Make>
    void refillDisplay(const std::string& displayName, std::size_t from, std::size_t count, Make make)
    {
        CSubAreaDisplayOne* d = findDisplay(displayName);
        if (!d)
            return;
        from = std::min(from, d->elementCount());
        d->truncate(from);
        for (std::size_t i = from; i < count; ++i) {
            auto element = make(i);
            d->AppendElement(std::make_unique<decltype(element)>(element));
        }
    }
    // Gives the rows, in row order, these heights in pixels and stacks them from the top
    // again; a row of height 0 is not drawn. The image is emptied: every row is drawn whole
    // at its next DrawRange.
    void layOutRows(const std::vector<int>& heights);
    // Every display emptied and the images blank, the layout and titles kept.
    void clearAll();
    void SetTitle(const std::string& subAreaName, const std::string& text);
    void SetAxisLegend(const std::string& subAreaName);
    void DrawRange(const std::string& subAreaName, int first, int last);

    // Paints into the image, within the rectangle just drawn again, after each draw of one
    // area (the trader's drawings over the candles), and says whether it painted anything;
    // the area's next draw then redraws in place or whole, never moving the plot's pixels.
    // Painting into the image, not over a copy of it, spares a copy of the whole image at
    // every change of the chart.
    using Overlay = std::function<bool(QImage&, const QRect& drawn)>;
    void setOverlay(const std::string& subAreaName, Overlay overlay);
    // The overlay changed: the area is drawn again whole over the range it shows, if it
    // shows one.
    void redrawOverlaid();

    CSubArea* findSubArea(const std::string& name) const;
    CSubAreaDisplayOne* findDisplay(const std::string& name) const;
    CSubArea* firstRowArea() const;
    const std::vector<CSubAreaCell>& Rows() const { return m_rows; }

    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }
    QImage& Spare() { return m_spare; }
    // Logical pixels, the units of every layout and drawing call.
    QSize Size() const { return m_size; }

private:
    QSize m_size;
    QImage m_image;
    QImage m_spare;
    std::vector<CSubAreaCell> m_rows;
    std::string m_overlaid;
    Overlay m_overlay;
};

} // namespace chart
