#include "chart/CSubAreaDisplayOneStick.h"

#include <algorithm>
#include <cmath>

#include "chart/CDataElementPoint.h"
#include "chart/CSubAreaScale.h"
#include "chart/private/GdiDraw.h"

using namespace chart;

namespace {

void stick(QPainter& p, const CSubAreaScale& s, const DisplaySlot& slot, double value, Colour colour)
{
    if (!std::isfinite(value))
        return;
    const int zero = std::clamp(s.ValueToY(0), s.plotTop, s.plotBottom);
    gdi::vLine(p, slot.bodyLeft, zero, std::clamp(s.ValueToY(value), s.plotTop, s.plotBottom), colour);
}

} // namespace

void CSubAreaDisplayOneStick::fillBody(DisplaySlot& slot) const
{
    slot.bodyLeft = slot.bodyRight = (slot.slotLeft + slot.slotRight) / 2;
}

void CSubAreaDisplayOneStick::drawSlot(QPainter& p, const DisplaySlot& slot)
{
    if (!slot.element || slot.element->Type() != ElementType::Point)
        return;
    const auto& point = static_cast<const CDataElementPoint&>(*slot.element);
    stick(p, Scale(), slot, point.value, point.colour);
}

void CSubAreaDisplayOneStick::eraseSlot(QPainter& p, const DisplaySlot& slot)
{
    if (slot.element)
        stick(p, Scale(), slot, slot.element->High(), kBlack);
}
