#include "trade/WindowLook.h"

#include <algorithm>

#include <QPainter>

#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "platform/Bitmaps.h"
#include "platform/Fonts.h"
#include "platform/WorkArea.h"

namespace trade {

QFont labelFont() { return platform::font(QStringLiteral("宋体"), 15); }

void paintFrame(QPainter& painter, const QRect& client, int dividerY)
{
    painter.setPen(kFrameColour);
    painter.drawRect(client.adjusted(0, 0, -1, -1));
    if (dividerY >= 0)
        painter.drawLine(client.left(), dividerY, client.right(), dividerY);
}

void paintGround(QPainter& painter, const QRect& client, const QColor& ground, int dividerY)
{
    painter.fillRect(client, ground);
    paintFrame(painter, client, dividerY);
}

CButtonBMP* makeButton(QWidget* parent, int controlId, const QString& caption, const QRect& rect,
                       const CButtonBMP::Bitmaps& face)
{
    CButtonBMP* button = CButtonBMP::Create(parent, controlId, caption, face, rect);
    button->setFont(platform::font(QStringLiteral("宋体"), 14));
    return button;
}

JListCtrl* makeList(QWidget* parent, int controlId)
{
    auto* list = new JListCtrl(parent);
    list->setObjectName(QString::number(controlId));
    return list;
}

QSize hostedWindowSize()
{
    // The panel: 340 pixels high, a 260-pixel tree on the left, a 28-pixel title strip on top.
    const QRect area = platform::workArea();
    return QSize(std::max(area.width() - 260, 600), 340 - 28);
}

QRect insideWidth(QRect rect, int width)
{
    if (rect.right() >= width)
        rect.moveRight(width - 1);
    return rect;
}

void setUpHostedWindow(QWidget& window, const char* className)
{
    window.setObjectName(QString::fromLatin1(className));
    window.setAttribute(Qt::WA_OpaquePaintEvent);
    window.setFont(labelFont());
    window.resize(hostedWindowSize());
}

int listBottom(int below, int clientHeight, int margin) { return std::min(below, clientHeight - margin); }

} // namespace trade
