#include "platform/Bitmaps.h"

#include <map>
#include <mutex>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "platform/Fonts.h"
#include "platform/private/MarketBitmaps.h"
#include "platform/private/TradeBitmaps.h"

namespace platform {

namespace {

using namespace look;

QImage blank(int w, int h) { return newBitmap(w, h); }

// A stylised glass: bowl, stem and foot, filled to the given level with wine.
void drawGlass(QPainter& p, const QRectF& box, const QColor& rim, const QColor& wine)
{
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal cx = box.center().x();
    QPainterPath bowl;
    bowl.moveTo(cx - w * 0.36, box.top());
    bowl.lineTo(cx + w * 0.36, box.top());
    bowl.cubicTo(cx + w * 0.40, box.top() + h * 0.40, cx + w * 0.22, box.top() + h * 0.58, cx, box.top() + h * 0.60);
    bowl.cubicTo(cx - w * 0.22, box.top() + h * 0.58, cx - w * 0.40, box.top() + h * 0.40, cx - w * 0.36, box.top());
    QPainterPath fill;
    fill.addRect(QRectF(box.left(), box.top() + h * 0.22, w, h));
    p.fillPath(bowl.intersected(fill), wine);
    p.setPen(QPen(rim, qMax<qreal>(1.0, w / 16)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bowl);
    p.drawLine(QPointF(cx, box.top() + h * 0.60), QPointF(cx, box.top() + h * 0.92));
    p.drawLine(QPointF(cx - w * 0.24, box.top() + h * 0.95), QPointF(cx + w * 0.24, box.top() + h * 0.95));
}

QImage drawAppIcon()
{
    QImage img = blank(64, 64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, kSlateTop);
    g.setColorAt(1, kSlateBottom);
    p.setPen(QPen(kGold, 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    drawGlass(p, QRectF(16, 10, 32, 46), kGold, kWine);
    return img;
}

QImage drawBackground()
{
    QImage img = newBitmap(540, 315);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 315);
    g.setColorAt(0, kSlateTop);
    g.setColorAt(1, kSlateBottom);
    p.fillRect(QRectF(QPointF(), img.deviceIndependentSize()), g);
    // A faint band of rising candles behind the title: the terminal's trade, quietly.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 27; ++i) {
        const int x = 8 + i * 20;
        const int hgt = 14 + (i * 37 % 23) + i;
        QColor c = (i % 3 == 1) ? kWine : QColor(70, 84, 112);
        c.setAlpha(70);
        p.setBrush(c);
        p.drawRect(x, 92 - hgt, 10, hgt);
    }
    p.setPen(QPen(kGold, 1));
    p.drawLine(0, 94, 540, 94);
    drawGlass(p, QRectF(150, 18, 34, 52), kGold, kWine);
    p.setPen(QColor(240, 232, 220));
    p.setFont(font(QStringLiteral("Arial"), 30, false, true));
    p.drawText(QRect(192, 18, 220, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Velmora"));
    p.setPen(kGold);
    p.setFont(font(QStringLiteral("宋体"), 13));
    p.drawText(QRect(194, 56, 260, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("葡萄酒现货交易终端"));
    return img;
}

QImage drawLoginButton(int state)
{
    QImage img = blank(226, 35);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor top = state == 1 ? kWineLight.lighter(110) : state == 2 ? kWineDark : kWineLight;
    const QColor bottom = state == 1 ? kWine.lighter(110) : state == 2 ? kWineDark.darker(120) : kWine;
    QLinearGradient g(0, 0, 0, 35);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(state == 2 ? kWineDark.darker(140) : kGold, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 225, 34), 5, 5);
    p.setPen(Qt::white);
    p.setFont(font(QStringLiteral("宋体"), 18, false, true));
    p.drawText(QRect(0, state == 2 ? 1 : 0, 226, 35), Qt::AlignCenter, QStringLiteral("登  录"));
    return img;
}

QImage drawCloseButton(int state)
{
    QImage img = blank(34, 28);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (state > 0)
        p.fillRect(QRectF(QPointF(), img.deviceIndependentSize()), state == 1 ? kWine : kWineDark);
    p.setPen(QPen(state > 0 ? Qt::white : QColor(222, 222, 222), 2));
    p.drawLine(QPointF(12, 9), QPointF(22, 19));
    p.drawLine(QPointF(22, 9), QPointF(12, 19));
    return img;
}

QImage drawCheck(bool on)
{
    QImage img = blank(16, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    if (on) {
        p.setPen(QPen(kWine, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath tick;
        tick.moveTo(3.5, 8.5);
        tick.lineTo(6.5, 11.5);
        tick.lineTo(12.5, 4.5);
        p.drawPath(tick);
    }
    return img;
}

QImage drawAccountModeIcon()
{
    QImage img = blank(28, 20);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath eye;
    eye.moveTo(3, 10);
    eye.quadTo(14, 0, 25, 10);
    eye.quadTo(14, 20, 3, 10);
    p.setPen(QPen(QColor(120, 120, 120), 1.6));
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setPen(Qt::NoPen);
    p.setBrush(kWine);
    p.drawEllipse(QPointF(14, 10), 3.6, 3.6);
    return img;
}

QImage draw(int id)
{
    switch (id) {
    case bmp::AppIcon: return drawAppIcon();
    case bmp::LoginBackground: return drawBackground();
    case bmp::LoginButton: return drawLoginButton(0);
    case bmp::LoginButtonHover: return drawLoginButton(1);
    case bmp::LoginButtonPressed: return drawLoginButton(2);
    case bmp::CloseButton: return drawCloseButton(0);
    case bmp::CloseButtonHover: return drawCloseButton(1);
    case bmp::CloseButtonPressed: return drawCloseButton(2);
    case bmp::AccountModeIcon: return drawAccountModeIcon();
    case bmp::CheckOff: return drawCheck(false);
    case bmp::CheckOn: return drawCheck(true);
    default: {
        QImage market = drawMarketBitmap(id);
        return market.isNull() ? drawTradeBitmap(id) : market;
    }
    }
}

} // namespace

// Per process: a cache; the bitmaps never change while the program runs.
QImage bitmap(int id)
{
    static std::mutex mutex;
    static std::map<int, QImage> cache;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.find(id);
    if (it == cache.end())
        it = cache.emplace(id, draw(id)).first;
    return it->second;
}

QIcon appIcon() { return QIcon(QPixmap::fromImage(bitmap(bmp::AppIcon))); }

} // namespace platform
