#include "platform/private/TradeBitmaps.h"

#include <QLinearGradient>
#include <QPainter>

#include "platform/Bitmaps.h"
#include "platform/private/MarketBitmaps.h"

namespace platform {
namespace {

// The login window's slate for plain commands; an order button wears its side's colour.
const QColor kSlate(58, 72, 102);
const QColor kWine(168, 30, 56);
const QColor kGreen(46, 150, 66);

// state 0 normal, 1 hover, 2 pressed
QImage face(int w, int h, const QColor& base, int state)
{
    QImage img = newBitmap(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor top = state == 1 ? base.lighter(130) : state == 2 ? base.darker(125) : base.lighter(112);
    const QColor bottom = state == 2 ? base.darker(150) : state == 1 ? base.lighter(105) : base.darker(115);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(base.darker(state == 2 ? 170 : 140), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3, 3);
    return img;
}

// The pop-ups' left button does nothing, so it does not look like a button either.
QImage quiet(int w, int h) { return newBitmap(w, h); }

} // namespace

QImage drawTradeBitmap(int id)
{
    switch (id) {
    case bmp::PanelButton:
    case bmp::PanelButtonHover:
    case bmp::PanelButtonPressed: return face(44, 24, kSlate, id - bmp::PanelButton);
    case bmp::QuickButton:
    case bmp::QuickButtonHover:
    case bmp::QuickButtonPressed: return quiet(68, 23);
    case bmp::QuickBuyButton:
    case bmp::QuickBuyButtonHover:
    case bmp::QuickBuyButtonPressed: return face(68, 23, kWine, id - bmp::QuickBuyButton);
    case bmp::QuickSellButton:
    case bmp::QuickSellButtonHover:
    case bmp::QuickSellButtonPressed: return face(68, 23, kGreen, id - bmp::QuickSellButton);
    default: return {};
    }
}

} // namespace platform
