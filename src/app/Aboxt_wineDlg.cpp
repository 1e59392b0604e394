#include "app/Aboxt_wineDlg.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/AppTexts.h"
#include "controls/TitleBar.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"

Aboxt_wineDlg::Aboxt_wineDlg(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Aboxt_wineDlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    platform::placeAt(this, defaultPlace());
    controls::TitleBar::Style strip;
    strip.fontHeight = 18;
    auto* title = new controls::TitleBar(QStringLiteral("关于Velmora"), strip, this);
    title->addCloseButton(kClose);
    connect(title, &controls::TitleBar::closeClicked, this, &QWidget::hide);
}

void Aboxt_wineDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(160, 160, 160));
    p.setPen(Qt::black);
    p.setFont(platform::font(QStringLiteral("Arial"), 23));
    const int ascent = p.fontMetrics().ascent();
    p.drawText(QPoint(50, 60 + ascent), QStringLiteral("Velmora"));
    p.drawText(QPoint(170, 60 + ascent), QString::fromUtf8(app::kVersionLabel));
    p.setFont(platform::font(QStringLiteral("宋体"), 23));
    p.drawText(QPoint(20, 140 + p.fontMetrics().ascent()), QString::fromUtf8(app::kMakerLine));
}

void Aboxt_wineDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
}
