#include "chart/CSubAreaDisplayOneFormula.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QPen>

#include "chart/CDataElementFormula.h"
#include "chart/CSubAreaScale.h"
#include "chart/private/GdiDraw.h"

using namespace chart;
using formula::Style;

namespace {

bool isLine(Style s)
{
    return s == Style::Line || s == Style::DotLine || s == Style::LineStick;
}

bool isStick(Style s)
{
    return s == Style::Stick || s == Style::ColorStick || s == Style::LineStick || s == Style::VolStick;
}

const CDataElementFormula* formulaOf(const DisplaySlot& slot)
{
    if (!slot.element || slot.element->Type() != ElementType::Formula)
        return nullptr;
    return static_cast<const CDataElementFormula*>(slot.element);
}

double valueOf(const CDataElementFormula& e, std::size_t k)
{
    return k < e.count && k < e.values.size() ? e.values[k] : std::nan("");
}

} // namespace

Colour CSubAreaDisplayOneFormula::colourAt(std::size_t k, const CDataElementFormula& e) const
{
    if (k >= m_lines.size())
        return kBlack;
    switch (m_lines[k].style) {
    case Style::ColorStick: return valueOf(e, k) >= 0 ? kCandleRise : kCandleFall;
    case Style::VolStick: return e.rising ? kVolumeUp : kVolumeDown;
    default: return m_lines[k].colour;
    }
}

void CSubAreaDisplayOneFormula::fillBody(DisplaySlot& slot) const
{
    slot.bodyLeft = slot.bodyRight = (slot.slotLeft + slot.slotRight) / 2;
}

void CSubAreaDisplayOneFormula::drawSlot(QPainter& p, const DisplaySlot& slot)
{
    const CDataElementFormula* e = formulaOf(slot);
    if (!e)
        return;
    const CSubAreaScale& s = Scale();
    const int zero = std::clamp(s.ValueToY(0), s.plotTop, s.plotBottom);
    for (std::size_t k = 0; k < m_lines.size(); ++k) {
        const Style style = m_lines[k].style;
        const double v = valueOf(*e, k);
        if (!isStick(style) || !std::isfinite(v))
            continue;
        const int y = std::clamp(s.ValueToY(v), s.plotTop, s.plotBottom);
        const Colour c = colourAt(k, *e);
        if (style == Style::VolStick) {
            // As the volume area draws its bars.
            const Colour fill = c == kVolumeDown ? c : kBlack;
            gdi::Rectangle(p, slot.slotLeft + 2, y, slot.slotRight - 2, zero, c, fill);
        } else {
            gdi::vLine(p, slot.bodyLeft, zero, y, c);
        }
    }
}

void CSubAreaDisplayOneFormula::eraseSlot(QPainter&, const DisplaySlot&) {}

void CSubAreaDisplayOneFormula::Connect(QPainter& p, int from, int to, Colour)
{
    const auto& placed = Slots();
    const CSubAreaScale& s = Scale();
    const int count = int(placed.size());
    thread_local std::vector<QLine> segments;
    for (std::size_t k = 0; k < m_lines.size(); ++k) {
        const Line& line = m_lines[k];
        if (!isLine(line.style))
            continue;
        segments.clear();
        for (int i = from < 0 ? 0 : from; i <= to - 1 && i <= count - 2; ++i) {
            const CDataElementFormula* a = formulaOf(placed[std::size_t(i)]);
            const CDataElementFormula* b = formulaOf(placed[std::size_t(i) + 1]);
            if (!a || !b)
                continue;
            const double va = valueOf(*a, k);
            const double vb = valueOf(*b, k);
            // A candle without a value breaks the line.
            if (!std::isfinite(va) || !std::isfinite(vb))
                continue;
            segments.emplace_back(placed[std::size_t(i)].bodyLeft, s.ValueToY(va), placed[std::size_t(i) + 1].bodyLeft,
                                  s.ValueToY(vb));
        }
        if (segments.empty())
            continue;
        if (line.style != Style::DotLine && line.thickness <= 1) {
            gdi::Lines(p, segments, line.colour);
            continue;
        }
        QPen pen(toQColor(line.colour), line.thickness);
        pen.setCosmetic(line.thickness <= 1);
        if (line.style == Style::DotLine)
            pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawLines(segments.data(), int(segments.size()));
    }
}

bool CSubAreaDisplayOneFormula::joinsSlots() const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [](const Line& l) { return isLine(l.style); });
}

bool CSubAreaDisplayOneFormula::reachesZero() const
{
    return std::any_of(m_lines.begin(), m_lines.end(), [](const Line& l) { return isStick(l.style); });
}
