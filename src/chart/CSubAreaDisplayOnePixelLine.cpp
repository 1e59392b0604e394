#include "chart/CSubAreaDisplayOnePixelLine.h"

#include <cmath>
#include <vector>

#include "chart/CDataElement.h"
#include "chart/CSubAreaScale.h"
#include "chart/private/GdiDraw.h"

using namespace chart;

void CSubAreaDisplayOnePixelLine::fillBody(DisplaySlot& slot) const
{
    slot.bodyLeft = slot.bodyRight = (slot.slotLeft + slot.slotRight) / 2;
}

void CSubAreaDisplayOnePixelLine::drawSlot(QPainter&, const DisplaySlot&) {}

void CSubAreaDisplayOnePixelLine::eraseSlot(QPainter&, const DisplaySlot&) {}

void CSubAreaDisplayOnePixelLine::Connect(QPainter& p, int from, int to, Colour colour)
{
    const auto& placed = Slots();
    const CSubAreaScale& s = Scale();
    const int count = int(placed.size());
    // The segments share only their ends, in one colour: drawn together, they give the same
    // pixels as one by one.
    thread_local std::vector<QLine> segments;
    segments.clear();
    for (int i = from < 0 ? 0 : from; i <= to - 1 && i <= count - 2; ++i) {
        const DisplaySlot& a = placed[std::size_t(i)];
        const DisplaySlot& b = placed[std::size_t(i) + 1];
        // An element without a value (an average whose period is not full) breaks the line.
        if (!a.element || !b.element || !std::isfinite(a.element->High()) || !std::isfinite(b.element->High()))
            continue;
        segments.emplace_back(a.bodyLeft, s.ValueToY(a.element->High()), b.bodyLeft, s.ValueToY(b.element->High()));
    }
    gdi::Lines(p, segments, colour);
}

void CSubAreaDisplayOnePixelLine::eraseNewestSegment(QPainter& p)
{
    const DisplaySlot& a = savedSecondToLast();
    const DisplaySlot& b = savedLast();
    if (!a.element || !b.element || !std::isfinite(a.element->High()) || !std::isfinite(b.element->High()))
        return;
    const CSubAreaScale& s = Scale();
    gdi::Line(p, a.bodyLeft, s.ValueToY(a.element->High()), b.bodyLeft, s.ValueToY(b.element->High()), kBlack);
}
