#include "chart/private/GdiDraw.h"

#include <algorithm>

#include <QFontMetrics>

namespace chart::gdi {

void FillRect(QPainter& p, int left, int top, int right, int bottom, Colour c)
{
    if (right <= left || bottom <= top)
        return;
    p.fillRect(QRect(left, top, right - left, bottom - top), ToQColor(c));
}

void Rectangle(QPainter& p, int left, int top, int right, int bottom, Colour pen, Colour brush)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1)
        return;
    FillRect(p, left, top, right, bottom, pen);
    FillRect(p, left + 1, top + 1, right - 1, bottom - 1, brush);
}

void VLine(QPainter& p, int x, int y1, int y2, Colour c)
{
    if (y1 < y2)
        FillRect(p, x, y1, x + 1, y2, c);
    else if (y1 > y2)
        FillRect(p, x, y2 + 1, x + 1, y1 + 1, c);
}

void HLine(QPainter& p, int x1, int x2, int y, Colour c)
{
    if (x1 < x2)
        FillRect(p, x1, y, x2, y + 1, c);
    else if (x1 > x2)
        FillRect(p, x2 + 1, y, x1 + 1, y + 1, c);
}

void Line(QPainter& p, int x1, int y1, int x2, int y2, Colour c)
{
    if (x1 == x2) {
        VLine(p, x1, y1, y2, c);
        return;
    }
    if (y1 == y2) {
        HLine(p, x1, x2, y1, c);
        return;
    }
    p.setPen(QPen(ToQColor(c), 1));
    p.drawLine(x1, y1, x2, y2);
}

void TextOut(QPainter& p, const QFont& font, int x, int y, const QString& text, Colour fg, Colour bg)
{
    if (text.isEmpty())
        return;
    p.setFont(font);
    const QFontMetrics fm(font);
    p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), ToQColor(bg));
    p.setPen(ToQColor(fg));
    p.drawText(x, y + fm.ascent(), text);
}

void TextInBox(QPainter& p, const QFont& font, const QRect& box, const QString& text, Colour fg, Colour bg)
{
    if (text.isEmpty())
        return;
    p.setFont(font);
    // A number has no break: it keeps one line and grows leftwards into the free margin
    // rather than being cut at the box.
    const int flags = Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip;
    const QRect bound = p.boundingRect(box, flags, text);
    p.fillRect(bound, ToQColor(bg));
    p.setPen(ToQColor(fg));
    p.drawText(box, flags, text);
}

} // namespace chart::gdi
