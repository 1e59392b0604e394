#include "platform/private/TradeBitmaps.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include "platform/Bitmaps.h"
#include "platform/core/Colours.h"
#include "platform/private/MarketBitmaps.h"

namespace platform {
namespace {

// The login window's look on the light grey of the trading windows: slate for plain
// commands; an order button wears its side's colour.
using namespace look;
const QColor kSlate(58, 72, 102);
const QColor kGreen(46, 150, 66);
const QColor kGlyph(96, 96, 96);

enum State { Normal = 0, Hover = 1, Pressed = 2 };

QImage blank(int w, int h) { return newBitmap(w, h); }

QImage face(int w, int h, const QColor& base, int state)
{
    QImage img = blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor top = state == Hover ? base.lighter(130) : state == Pressed ? base.darker(125) : base.lighter(112);
    const QColor bottom = state == Pressed ? base.darker(150) : state == Hover ? base.lighter(105) : base.darker(115);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(base.darker(state == Pressed ? 170 : 140), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 3, 3);
    return img;
}

// The pop-ups' left button does nothing, so it does not look like a button either.
QImage quiet(int w, int h) { return blank(w, h); }

// The strip's "产品" header: slate like the login window, a gold rule at its foot.
QImage panelHeader(State state)
{
    QImage img = blank(260, 28);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 28);
    g.setColorAt(0, state == Hover ? kSlateTop.lighter(125) : kSlateTop);
    g.setColorAt(1, state == Pressed ? kSlateBottom.darker(130) : kSlateBottom);
    p.fillRect(QRectF(0, 0, 260, 28), g);
    p.setPen(kGold);
    p.drawLine(0, 27, 259, 27);
    return img;
}

// The small 14 x 26 buttons at the strip's right end: a grey glyph that turns white on
// wine under the pointer.
QImage smallButton(State state, bool close)
{
    QImage img = blank(14, 26);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (state != Normal)
        p.fillRect(QRectF(0, 0, 14, 26), state == Hover ? kWine : kWineDark);
    p.setPen(QPen(state == Normal ? kGlyph : QColor(Qt::white), 1.6));
    if (close) {
        p.drawLine(QPointF(3.5, 9.5), QPointF(10.5, 16.5));
        p.drawLine(QPointF(10.5, 9.5), QPointF(3.5, 16.5));
    } else {
        p.drawLine(QPointF(3, 16.5), QPointF(11, 16.5));
    }
    return img;
}

QImage icon() { return blank(16, 16); }

// A folder with a gold tab: the groups of the tree.
QImage groupIcon()
{
    QImage img = icon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kGold.darker(140), 1));
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(1.5, 2.5, 6, 3), 1, 1);
    p.setBrush(kGold.lighter(115));
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9), 1.5, 1.5);
    return img;
}

// An arrow on a disc: up in the rise colour for buying, down in the fall colour for selling.
QImage arrowIcon(bool up)
{
    QImage img = icon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = up ? RiseColour : FallColour;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QPainterPath arrow;
    arrow.moveTo(8, 3);
    arrow.lineTo(12.5, 8);
    arrow.lineTo(9.5, 8);
    arrow.lineTo(9.5, 12.5);
    arrow.lineTo(6.5, 12.5);
    arrow.lineTo(6.5, 8);
    arrow.lineTo(3.5, 8);
    arrow.closeSubpath();
    if (!up)
        arrow = QTransform(1, 0, 0, -1, 0, 16).map(arrow); // mirrored about the middle row
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    return img;
}

// A struck-through order slip: cancelling.
QImage cancelIcon()
{
    QImage img = icon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kGlyph, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(2.5, 1.5, 10, 13), 1.5, 1.5);
    p.setPen(QPen(kGlyph.lighter(130), 1));
    for (int y : {5, 8, 11})
        p.drawLine(QPointF(4.5, y + 0.5), QPointF(10.5, y + 0.5));
    p.setPen(QPen(kWine, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 9), QPointF(14, 14));
    p.drawLine(QPointF(14, 9), QPointF(9, 14));
    return img;
}

// A padlock: the password.
QImage passwordIcon()
{
    QImage img = icon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kSlateTop, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.5, 1.5, 7, 9), 0, 180 * 16);
    p.drawLine(QPointF(4.5, 6), QPointF(4.5, 7.5));
    p.drawLine(QPointF(11.5, 6), QPointF(11.5, 7.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRoundedRect(QRectF(2.5, 7, 11, 8), 1.5, 1.5);
    p.setBrush(kSlateTop);
    p.drawEllipse(QRectF(7, 9.5, 2, 2));
    p.drawRect(QRectF(7.5, 11, 1, 2.5));
    return img;
}

// A page with lines: every other function.
QImage leafIcon()
{
    QImage img = icon();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(kSlateTop.lighter(160), 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.setPen(QPen(kWine, 1));
    for (int y : {6, 9, 12})
        p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
    return img;
}

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
    case bmp::PanelHeader: return panelHeader(Normal);
    case bmp::PanelHeaderHover: return panelHeader(Hover);
    case bmp::PanelHeaderPressed: return panelHeader(Pressed);
    case bmp::PanelClose: return smallButton(Normal, true);
    case bmp::PanelCloseHover: return smallButton(Hover, true);
    case bmp::PanelClosePressed: return smallButton(Pressed, true);
    case bmp::PanelHide: return smallButton(Normal, false);
    case bmp::PanelHideHover: return smallButton(Hover, false);
    case bmp::PanelHidePressed: return smallButton(Pressed, false);
    case bmp::TreeGroupIcon: return groupIcon();
    case bmp::TreeBuyIcon: return arrowIcon(true);
    case bmp::TreeSellIcon: return arrowIcon(false);
    case bmp::TreeCancelIcon: return cancelIcon();
    case bmp::TreePasswordIcon: return passwordIcon();
    case bmp::TreeLeafIcon: return leafIcon();
    default: return {};
    }
}

} // namespace platform
