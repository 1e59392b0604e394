#include "chart/private/PixelWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QFontMetricsF>
#include <QPainter>
#include <QStaticText>

#include "chart/DrawingGeometry.h"

namespace chart {
namespace {

QRgb toRgb(Colour c)
{
    return qRgb(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

// A coordinate far off the image (a level at a price far out of the window) stays a number
// the loops can take.
double bounded(double v)
{
    constexpr double kFar = 1e8;
    return v > -kFar ? std::min(v, kFar) : -kFar; // NaN too goes far left
}

} // namespace

TextPixels textPixels(const QString& text, const QFont& font, qreal ratio)
{
    TextPixels t;
    t.ratio = ratio;
    if (text.isEmpty())
        return t;
    const QFontMetricsF metrics(font);
    // Room for a glyph that reaches past its advance.
    const QSizeF size(metrics.horizontalAdvance(text) + metrics.maxWidth(), metrics.height());
    QImage image((size * ratio).toSize() + QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(Qt::white);
        QStaticText laidOut(text);
        laidOut.setTextFormat(Qt::PlainText);
        p.drawStaticText(QPointF(0, 0), laidOut);
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if (qAlpha(row[x]) < 128) {
                ++x;
                continue;
            }
            const int from = x;
            while (x < image.width() && qAlpha(row[x]) >= 128)
                ++x;
            t.runs.push_back({y, from, x - from});
            t.width = std::max(t.width, x);
            t.height = y + 1;
        }
    }
    t.width = std::max(t.width, int(std::ceil(metrics.horizontalAdvance(text) * ratio)));
    t.height = std::max(t.height, int(std::ceil(metrics.height() * ratio)));
    return t;
}

PixelWriter::PixelWriter(QImage& image, const QRect& clip)
{
    if (!image.isNull() && image.depth() == 32) {
        m_bits = image.bits();
        m_stride = image.bytesPerLine();
        m_bounds = QRect(QPoint(0, 0), image.size());
        m_ratio = image.devicePixelRatio();
    }
    setClip(clip);
}

int PixelWriter::device(qreal logical) const
{
    return int(std::floor(bounded(logical * m_ratio) + 0.5));
}

QRect PixelWriter::device(const QRect& logical) const
{
    return {QPoint(device(logical.left()), device(logical.top())),
            QPoint(device(logical.left() + logical.width()) - 1, device(logical.top() + logical.height()) - 1)};
}

void PixelWriter::setClip(const QRect& clip)
{
    m_clip = device(clip) & m_bounds;
    m_writes = m_clip;
}

void PixelWriter::limitWrites(const QRect& r)
{
    m_writes = device(r) & m_clip;
}

void PixelWriter::line(QPointF a, QPointF b, Colour colour, LineStyle style)
{
    if (!m_bits || m_clip.isEmpty())
        return;
    drawing::Pixel from{a.x() * m_ratio, a.y() * m_ratio};
    drawing::Pixel to{b.x() * m_ratio, b.y() * m_ratio};
    if (!std::isfinite(from.x) || !std::isfinite(from.y) || !std::isfinite(to.x) || !std::isfinite(to.y))
        return;
    // Onto the clip first, exactly: a ray to a time years away must keep its slope and not
    // cost a loop over its length.
    if (from.x != to.x || from.y != to.y) {
        const drawing::Frame inside{m_clip.left(), m_clip.top(), m_clip.right(), m_clip.bottom()};
        const auto clipped = drawing::clipToFrame(from, to, drawing::Extent::Segment, inside);
        if (!clipped)
            return;
        std::tie(from, to) = *clipped;
    }
    // Both ends inside the clip, so every pixel between them is.
    int x = std::clamp(int(std::lround(from.x)), m_clip.left(), m_clip.right());
    int y = std::clamp(int(std::lround(from.y)), m_clip.top(), m_clip.bottom());
    const int x1 = std::clamp(int(std::lround(to.x)), m_clip.left(), m_clip.right());
    const int y1 = std::clamp(int(std::lround(to.y)), m_clip.top(), m_clip.bottom());
    const QRgb c = toRgb(colour);
    if (m_writes.isEmpty() || std::max(x, x1) < m_writes.left() || std::min(x, x1) > m_writes.right()
        || std::max(y, y1) < m_writes.top() || std::min(y, y1) > m_writes.bottom())
        return;
    if (y == y1 && style == LineStyle::Solid) {
        const int from = std::max(std::min(x, x1), m_writes.left());
        const int to = std::min(std::max(x, x1), m_writes.right());
        std::fill_n(reinterpret_cast<QRgb*>(m_bits + y * m_stride) + from, to - from + 1, c);
        return;
    }
    const bool whole = m_writes == m_clip;
    const int scale = std::max(1, int(std::lround(m_ratio)));
    const int on = style == LineStyle::Dash ? 4 * scale : scale;
    const int period = style == LineStyle::Dash ? 6 * scale : (style == LineStyle::Dot ? 3 * scale : scale);
    const int dx = std::abs(x1 - x);
    const int dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    for (int step = 0;; step = step + 1 == period ? 0 : step + 1) {
        if (step < on && (whole || m_writes.contains(x, y)))
            reinterpret_cast<QRgb*>(m_bits + y * m_stride)[x] = c;
        if (x == x1 && y == y1)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void PixelWriter::fill(const QRectF& r, Colour colour)
{
    if (!m_bits)
        return;
    const QRect d = QRect(QPoint(device(r.left()), device(r.top())),
                          QPoint(device(r.left() + r.width()) - 1, device(r.top() + r.height()) - 1))
                    & m_writes;
    const QRgb c = toRgb(colour);
    for (int y = d.top(); y <= d.bottom() && !d.isEmpty(); ++y)
        std::fill_n(reinterpret_cast<QRgb*>(m_bits + y * m_stride) + d.left(), d.width(), c);
}

void PixelWriter::outline(QPointF a, QPointF b, Colour colour, LineStyle style)
{
    const QRectF r = QRectF(a, b).normalized();
    line(r.topLeft(), r.topRight(), colour, style);
    line(r.bottomLeft(), r.bottomRight(), colour, style);
    line(r.topLeft(), r.bottomLeft(), colour, style);
    line(r.topRight(), r.bottomRight(), colour, style);
}

void PixelWriter::text(QPointF topLeft, const TextPixels& text, Colour colour)
{
    if (!m_bits)
        return;
    const int ox = device(topLeft.x());
    const int oy = device(topLeft.y());
    const QRgb c = toRgb(colour);
    for (const TextPixels::Run& run : text.runs) {
        const int y = oy + run.y;
        const int from = std::max(ox + run.x, m_writes.left());
        const int to = std::min(ox + run.x + run.length, m_writes.right() + 1);
        if (y < m_writes.top() || y > m_writes.bottom() || to <= from)
            continue;
        std::fill_n(reinterpret_cast<QRgb*>(m_bits + y * m_stride) + from, to - from, c);
    }
}

} // namespace chart
