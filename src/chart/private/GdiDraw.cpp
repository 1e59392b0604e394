#include "chart/private/GdiDraw.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

#include <QFontMetrics>
#include <QStaticText>

namespace chart::gdi {

namespace {

// One device pixel, in logical pixels.
qreal hair(const QPainter& p)
{
    const qreal ratio = p.device() ? p.device()->devicePixelRatio() : 1.0;
    return ratio > 1.0 ? 1.0 / ratio : 1.0;
}

// Fills the logical rectangle; at ratio 1 the very same integer fill as ever.
void Fill(QPainter& p, qreal left, qreal top, qreal right, qreal bottom, Colour c)
{
    if (right <= left || bottom <= top)
        return;
    p.fillRect(QRectF(left, top, right - left, bottom - top), toQColor(c));
}

// Texts of one font laid out once: measuring or drawing a text shapes it, which costs more
// than the pixels it covers, and a chart's labels repeat from frame to frame. Per thread (the
// loaders draw on the poller's), for the last two fonts used.
struct LaidOutText
{
    int width = 0;
    QStaticText text;
};

const LaidOutText& laidOut(const QFont& font, const QFontMetrics& fm, const QString& text)
{
    struct FontTexts
    {
        QFont font;
        std::unordered_map<QString, LaidOutText> texts;
    };
    thread_local std::array<std::optional<FontTexts>, 2> cache;
    thread_local std::size_t next = 0;
    FontTexts* fonts = nullptr;
    for (auto& c : cache)
        if (c && c->font == font)
            fonts = &*c;
    if (!fonts) {
        cache[next].emplace(FontTexts{font, {}});
        fonts = &*cache[next];
        next = (next + 1) % cache.size();
    }
    if (fonts->texts.size() > 4096)
        fonts->texts.clear();
    const auto [it, added] = fonts->texts.try_emplace(text);
    if (added) {
        it->second.width = fm.horizontalAdvance(text);
        it->second.text.setText(text);
        it->second.text.setTextFormat(Qt::PlainText);
        it->second.text.prepare(QTransform(), font);
    }
    return it->second;
}

} // namespace

void FillRect(QPainter& p, int left, int top, int right, int bottom, Colour c)
{
    if (right <= left || bottom <= top)
        return;
    p.fillRect(QRect(left, top, right - left, bottom - top), toQColor(c));
}

void Rectangle(QPainter& p, int left, int top, int right, int bottom, Colour pen, Colour brush)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1)
        return;
    const qreal t = hair(p);
    if (t == 1.0) {
        FillRect(p, left, top, right, bottom, pen);
        FillRect(p, left + 1, top + 1, right - 1, bottom - 1, brush);
        return;
    }
    FillRect(p, left, top, right, bottom, pen);
    Fill(p, left + t, top + t, right - t, bottom - t, brush);
}

void frameBand(QPainter& p, int left, int top, int right, int bottom, Colour pen, Colour brush)
{
    if (right <= left || bottom - top < 1)
        return;
    const qreal t = hair(p);
    FillRect(p, left, top, right, bottom, pen);
    Fill(p, left, top + t, right, bottom - t, brush);
}

void vLine(QPainter& p, int x, int y1, int y2, Colour c)
{
    const qreal t = hair(p);
    if (y1 < y2)
        Fill(p, x, y1, x + t, y2, c);
    else if (y1 > y2)
        Fill(p, x, y2 + 1, x + t, y1 + 1, c);
}

void hLine(QPainter& p, int x1, int x2, int y, Colour c)
{
    const qreal t = hair(p);
    if (x1 < x2)
        Fill(p, x1, y, x2, y + t, c);
    else if (x1 > x2)
        Fill(p, x2 + 1, y, x1 + 1, y + t, c);
}

void Line(QPainter& p, int x1, int y1, int x2, int y2, Colour c)
{
    const QLine line(x1, y1, x2, y2);
    Lines(p, std::span(&line, 1), c);
}

void Lines(QPainter& p, std::span<const QLine> lines, Colour c)
{
    // Upright and level lines are fills; the slanted ones go to the painter together.
    thread_local std::vector<QLine> slanted;
    slanted.clear();
    for (const QLine& l : lines) {
        if (l.x1() == l.x2())
            vLine(p, l.x1(), l.y1(), l.y2(), c);
        else if (l.y1() == l.y2())
            hLine(p, l.x1(), l.x2(), l.y1(), c);
        else
            slanted.push_back(l);
    }
    if (slanted.empty())
        return;
    QPen pen(toQColor(c), 1);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawLines(slanted.data(), int(slanted.size()));
}

void textOut(QPainter& p, const QFont& font, int x, int y, const QString& text, Colour fg, Colour bg)
{
    if (text.isEmpty())
        return;
    p.setFont(font);
    const QFontMetrics fm(font);
    const LaidOutText& layout = laidOut(font, fm, text);
    p.fillRect(QRect(x, y, layout.width, fm.height()), toQColor(bg));
    p.setPen(toQColor(fg));
    // Its baseline on the whole pixel drawText would take. A fractional density places glyphs
    // between device pixels, where only drawText gives drawText's pixels.
    const qreal ratio = p.device() ? p.device()->devicePixelRatio() : 1.0;
    if (ratio == qreal(int(ratio)))
        p.drawStaticText(QPointF(x, y + fm.ascent() - QFontMetricsF(font).ascent()), layout.text);
    else
        p.drawText(x, y + fm.ascent(), text);
}

void textInBox(QPainter& p, const QFont& font, const QRect& box, const QString& text, Colour fg, Colour bg)
{
    if (text.isEmpty())
        return;
    p.setFont(font);
    // A number has no break: it keeps one line and grows leftwards into the free margin
    // rather than being cut at the box.
    const int flags = Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip;
    const QRect bound = p.boundingRect(box, flags, text);
    p.fillRect(bound, toQColor(bg));
    p.setPen(toQColor(fg));
    p.drawText(box, flags, text);
}

} // namespace chart::gdi
