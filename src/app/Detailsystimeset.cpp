#include "app/Detailsystimeset.h"

#include <QPainter>

#include "controls/TitleBar.h"
#include "platform/Fonts.h"

Detailsystimeset::Detailsystimeset(QWidget* panel)
    : QWidget(panel, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Detailsystimeset"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kWidth, kHeight);
    controls::TitleBar::Style strip;
    strip.ground = QColor(56, 56, 56);
    strip.text = QColor(240, 240, 240);
    strip.fontHeight = 16;
    strip.textAt = QPoint(2, 2);
    new controls::TitleBar(QString::fromUtf8(kTitle), strip, this);
}

void Detailsystimeset::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    p.setFont(platform::font(QStringLiteral("宋体"), 16));
    p.setPen(QColor(48, 48, 48));
    p.drawText(QPoint(0, 30 + p.fontMetrics().ascent()), QString::fromUtf8(kText));
}
