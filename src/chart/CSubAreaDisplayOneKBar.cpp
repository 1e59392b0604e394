#include "chart/CSubAreaDisplayOneKBar.h"

#include "chart/CDataElementKBar.h"
#include "chart/CSubAreaScale.h"
#include "chart/private/GdiDraw.h"

using namespace chart;

void CSubAreaDisplayOneKBar::fillBody(DisplaySlot& slot) const
{
    slot.bodyLeft = slot.slotLeft + 2;
    slot.bodyRight = slot.slotRight - 2;
}

void CSubAreaDisplayOneKBar::drawSlot(QPainter& p, const DisplaySlot& slot)
{
    Paint(p, slot, false);
}

void CSubAreaDisplayOneKBar::eraseSlot(QPainter& p, const DisplaySlot& slot)
{
    Paint(p, slot, true);
}

void CSubAreaDisplayOneKBar::Paint(QPainter& p, const DisplaySlot& slot, bool erase) const
{
    if (!slot.element || slot.element->Type() != ElementType::KBar)
        return;
    const auto& bar = static_cast<const CDataElementKBar&>(*slot.element);
    const CSubAreaScale& s = Scale();
    const int mid = (slot.bodyLeft + slot.bodyRight) / 2;
    const int yHigh = s.ValueToY(bar.high);
    const int yLow = s.ValueToY(bar.low);
    const int yOpen = s.ValueToY(bar.open);
    const int yClose = s.ValueToY(bar.close);
    if (bar.close > bar.open) {
        // Hollow: the black fill covers the wick inside the body.
        const Colour c = erase ? kBlack : kCandleRise;
        gdi::vLine(p, mid, yHigh, yLow, c);
        gdi::Rectangle(p, slot.bodyLeft, yClose, slot.bodyRight, yOpen, c, kBlack);
    } else if (bar.close < bar.open) {
        const Colour c = erase ? kBlack : kCandleFall;
        gdi::vLine(p, mid, yHigh, yLow, c);
        gdi::Rectangle(p, slot.bodyLeft, yClose, slot.bodyRight, yOpen, c, c);
    } else {
        const Colour c = erase ? kBlack : (bar.open < bar.previousClose ? kCandleFall : kCandleRise);
        gdi::hLine(p, slot.bodyLeft, slot.bodyRight, yClose, c);
        gdi::vLine(p, mid, yHigh, yLow, c);
    }
}
