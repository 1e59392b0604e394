#include "chart/private/GdiDraw.h"

#include <algorithm>

#include <QFontMetrics>

namespace chart::gdi {

namespace {

// One device pixel, in logical pixels.
qreal Hair(const QPainter& p)
{
    const qreal ratio = p.device() ? p.device()->devicePixelRatio() : 1.0;
    return ratio > 1.0 ? 1.0 / ratio : 1.0;
}

// Fills the logical rectangle; at ratio 1 the very same integer fill as ever.
void Fill(QPainter& p, qreal left, qreal top, qreal right, qreal bottom, Colour c)
{
    if (right <= left || bottom <= top)
        return;
    p.fillRect(QRectF(left, top, right - left, bottom - top), ToQColor(c));
}

} // namespace

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
    const qreal t = Hair(p);
    if (t == 1.0) {
        FillRect(p, left, top, right, bottom, pen);
        FillRect(p, left + 1, top + 1, right - 1, bottom - 1, brush);
        return;
    }
    FillRect(p, left, top, right, bottom, pen);
    Fill(p, left + t, top + t, right - t, bottom - t, brush);
}

void FrameBand(QPainter& p, int left, int top, int right, int bottom, Colour pen, Colour brush)
{
    if (right <= left || bottom - top < 1)
        return;
    const qreal t = Hair(p);
    FillRect(p, left, top, right, bottom, pen);
    Fill(p, left, top + t, right, bottom - t, brush);
}

void VLine(QPainter& p, int x, int y1, int y2, Colour c)
{
    const qreal t = Hair(p);
    if (y1 < y2)
        Fill(p, x, y1, x + t, y2, c);
    else if (y1 > y2)
        Fill(p, x, y2 + 1, x + t, y1 + 1, c);
}

void HLine(QPainter& p, int x1, int x2, int y, Colour c)
{
    const qreal t = Hair(p);
    if (x1 < x2)
        Fill(p, x1, y, x2, y + t, c);
    else if (x1 > x2)
        Fill(p, x2 + 1, y, x1 + 1, y + t, c);
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
    QPen pen(ToQColor(c), 1);
    pen.setCosmetic(true);
    p.setPen(pen);
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
