#include "chart/CSubAreaDisplayOneHistogram.h"

#include "chart/CDataElementPoint.h"
#include "chart/CSubAreaScale.h"
#include "chart/private/GdiDraw.h"

using namespace chart;

void CSubAreaDisplayOneHistogram::fillBody(DisplaySlot& slot) const
{
    slot.bodyLeft = slot.slotLeft + 2;
    slot.bodyRight = slot.slotRight - 2;
}

void CSubAreaDisplayOneHistogram::drawSlot(QPainter& p, const DisplaySlot& slot)
{
    if (!slot.element || slot.element->Type() != ElementType::Point)
        return;
    const auto& point = static_cast<const CDataElementPoint&>(*slot.element);
    const CSubAreaScale& s = Scale();
    int top = s.ValueToY(point.value);
    if (top < 0)
        top = 0;
    const Colour fill = point.colour == kVolumeDown ? point.colour : kBlack;
    gdi::Rectangle(p, slot.bodyLeft, top, slot.bodyRight, s.plotBottom, point.colour, fill);
}

void CSubAreaDisplayOneHistogram::eraseSlot(QPainter& p, const DisplaySlot& slot)
{
    drawSlot(p, slot);
}
