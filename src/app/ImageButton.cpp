#include "app/ImageButton.h"

#include <QPainter>

#include "platform/Bitmaps.h"

namespace app {

ImageButton::ImageButton(int normal, int hover, int pressed, QWidget* parent)
    : QAbstractButton(parent)
    , m_normal(normal)
    , m_hover(hover)
    , m_pressed(pressed)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void ImageButton::paintEvent(QPaintEvent*)
{
    const int id = isDown() ? m_pressed : m_under ? m_hover : m_normal;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), platform::bitmap(id));
}

void ImageButton::enterEvent(QEnterEvent*)
{
    m_under = true;
    update();
}

void ImageButton::leaveEvent(QEvent*)
{
    m_under = false;
    update();
}

} // namespace app
