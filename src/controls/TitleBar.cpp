#include "controls/TitleBar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/CButtonBMP.h"
#include "platform/Bitmaps.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"

namespace controls {

TitleBar::TitleBar(const QString& title, const Style& style, QWidget* window)
    : QWidget(window)
    , m_title(title)
    , m_style(style)
{
    setObjectName(QStringLiteral("TitleBar"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(platform::font(m_style.fontFace, m_style.fontHeight));
    setGeometry(0, 0, window->width(), kHeight);
    window->installEventFilter(this);
}

void TitleBar::setTitle(const QString& title)
{
    if (title == m_title)
        return;
    m_title = title;
    update();
}

CButtonBMP* TitleBar::addCloseButton(int controlId)
{
    if (m_close)
        return m_close;
    m_close = CButtonBMP::Create(
        this, controlId, QString(),
        {platform::bmp::CloseButton, platform::bmp::CloseButtonHover, platform::bmp::CloseButtonPressed},
        QRect(width() - kCloseWidth, 0, kCloseWidth, kHeight));
    connect(m_close, &QAbstractButton::clicked, this, &TitleBar::closeClicked);
    return m_close;
}

void TitleBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_style.ground);
    p.setFont(font());
    p.setPen(m_style.text);
    p.drawText(QRect(m_style.textAt, QPoint(width() - 1, height() - 1)),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_title);
}

void TitleBar::mousePressEvent(QMouseEvent* event)
{
    // Taken here, so the window's own drag of its free area does not start a second one.
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
    else
        QWidget::mousePressEvent(event);
}

void TitleBar::resizeEvent(QResizeEvent*)
{
    if (m_close)
        m_close->move(width() - kCloseWidth, 0);
}

bool TitleBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        resize(parentWidget()->width(), kHeight);
    return QWidget::eventFilter(watched, event);
}

} // namespace controls
