#include "chart/CSubAreaDisplayOneVLine.h"

#include "chart/CDataElementPoint.h"
#include "chart/CSubAreaScale.h"
#include "chart/private/GdiDraw.h"

using namespace chart;

void CSubAreaDisplayOneVLine::fillBody(DisplaySlot& slot) const
{
    slot.bodyLeft = slot.bodyRight = (slot.slotLeft + slot.slotRight) / 2;
}

void CSubAreaDisplayOneVLine::drawSlot(QPainter& p, const DisplaySlot& slot)
{
    if (!slot.element || slot.element->Type() != ElementType::Point)
        return;
    const auto& point = static_cast<const CDataElementPoint&>(*slot.element);
    gdi::vLine(p, slot.bodyLeft, Scale().ValueToY(point.value), Scale().plotBottom, point.colour);
}

void CSubAreaDisplayOneVLine::eraseSlot(QPainter& p, const DisplaySlot& slot)
{
    if (!slot.element)
        return;
    gdi::vLine(p, slot.bodyLeft, Scale().ValueToY(slot.element->High()), Scale().plotBottom, kBlack);
}
