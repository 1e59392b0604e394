#include "platform/private/MarketBitmaps.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

#include "platform/Bitmaps.h"

namespace platform {
namespace {

// The login window's look on the market window's dark greys.
using look::kGold;
using look::kWine;
using look::kWineDark;

QImage blank(int w, int h) { return newBitmap(w, h); }

QImage titleBar()
{
    QImage img = newBitmap(256, 28, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 28);
    g.setColorAt(0, QColor(52, 28, 36));
    g.setColorAt(1, QColor(30, 18, 24));
    p.fillRect(QRectF(QPointF(), img.deviceIndependentSize()), g);
    p.setPen(QColor(90, 40, 54));
    p.drawLine(0, 27, 255, 27);
    return img;
}

// state 0 normal, 1 hover, 2 pressed
QImage face(int w, int h, int state, bool accent)
{
    QImage img = blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (state == 0 && !accent)
        return img; // flat until the pointer comes
    QLinearGradient g(0, 0, 0, h);
    const QColor base = accent ? (state == 2 ? kWineDark : kWine) : QColor(78, 78, 82);
    g.setColorAt(0, state == 1 ? base.lighter(125) : base);
    g.setColorAt(1, state == 2 ? base.darker(130) : base.darker(110));
    p.setPen(QPen(state == 2 ? base.darker(150) : (accent ? kGold : QColor(100, 100, 104)), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3, 3);
    return img;
}

QImage minimise(int state)
{
    QImage img = blank(34, 28);
    QPainter p(&img);
    if (state > 0)
        p.fillRect(QRectF(QPointF(), img.deviceIndependentSize()), state == 1 ? QColor(78, 78, 82) : QColor(56, 56, 60));
    p.setPen(QPen(QColor(222, 222, 222), 2));
    p.drawLine(11, 15, 23, 15);
    return img;
}

} // namespace

QImage newBitmap(int w, int h, QImage::Format format)
{
    // Read when a bitmap is first drawn (they are cached): the densest screen's ratio.
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QImage img(qCeil(w * ratio), qCeil(h * ratio), format);
    img.setDevicePixelRatio(ratio);
    img.fill(img.hasAlphaChannel() ? QColor(Qt::transparent) : QColor(Qt::black));
    return img;
}

QImage drawMarketBitmap(int id)
{
    switch (id) {
    case bmp::TitleBar: return titleBar();
    case bmp::MinimiseButton: return minimise(0);
    case bmp::MinimiseButtonHover: return minimise(1);
    case bmp::MinimiseButtonPressed: return minimise(2);
    case bmp::ToolButton: return face(60, 48, 0, false);
    case bmp::ToolButtonHover: return face(60, 48, 1, false);
    case bmp::ToolButtonPressed: return face(60, 48, 2, false);
    case bmp::MenuButton: return face(68, 28, 0, false);
    case bmp::MenuButtonHover: return face(68, 28, 1, false);
    case bmp::MenuButtonPressed: return face(68, 28, 2, false);
    case bmp::TradeButton: return face(20, 28, 0, true);
    case bmp::TradeButtonHover: return face(20, 28, 1, true);
    case bmp::TradeButtonPressed: return face(20, 28, 2, true);
    default: return {};
    }
}

} // namespace platform
