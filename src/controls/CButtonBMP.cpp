#include "controls/CButtonBMP.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

#include "platform/Bitmaps.h"
#include "platform/Fonts.h"

CButtonBMP::CButtonBMP(QWidget* parent)
    : QPushButton(parent)
{
    setFont(platform::font(QStringLiteral("宋体"), 19));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setFlat(true);
    // Never a dialog's default button: Enter belongs to each window's own rule, and in a
    // combo box or list it must not press whatever button a dialog chose as default.
    setAutoDefault(false);
    setDefault(false);
}

CButtonBMP* CButtonBMP::Create(QWidget* parent, int controlId, const QString& caption, Bitmaps bitmaps,
                               const QRect& rect)
{
    auto* button = new CButtonBMP(controlId, caption, parent);
    button->setImages(platform::bitmap(bitmaps.normal), platform::bitmap(bitmaps.hover),
                      platform::bitmap(bitmaps.pressed));
    button->setGeometry(rect);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

CButtonBMP::CButtonBMP(int controlId, const QString& caption, QWidget* parent)
    : CButtonBMP(parent)
{
    m_controlId = controlId;
    setText(caption);
    setObjectName(QString::number(controlId));
}

void CButtonBMP::setImages(QImage normal, QImage hover, QImage pressed)
{
    m_images[0] = std::move(normal);
    m_images[1] = std::move(hover);
    m_images[2] = std::move(pressed);
    update();
}

bool CButtonBMP::hasImages() const
{
    return !m_images[0].isNull() && !m_images[1].isNull() && !m_images[2].isNull();
}

void CButtonBMP::setShownImage(Image image)
{
    m_shownImage = image;
    update();
}

CButtonBMP::Image CButtonBMP::currentImage() const
{
    if (m_hovering)
        return isDown() ? Image::Pressed : Image::Hover;
    return m_shownImage;
}

void CButtonBMP::setTextColours(QColor normal, QColor hovering)
{
    m_textColour = normal;
    m_hoverTextColour = hovering;
    update();
}

void CButtonBMP::paintEvent(QPaintEvent*)
{
    if (!hasImages())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), m_images[static_cast<int>(currentImage())]);
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(m_hovering ? m_hoverTextColour : m_textColour);
        p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    }
}

void CButtonBMP::enterEvent(QEnterEvent* event)
{
    m_hovering = true;
    update();
    QPushButton::enterEvent(event);
}

void CButtonBMP::leaveEvent(QEvent* event)
{
    m_hovering = false;
    update();
    QPushButton::leaveEvent(event);
}

void CButtonBMP::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        notify(true);
    QPushButton::mousePressEvent(event);
}

void CButtonBMP::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        notify(false);
    QPushButton::mouseReleaseEvent(event);
}

void CButtonBMP::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        m_enabled = isEnabled();
    QPushButton::changeEvent(event);
}

void CButtonBMP::showEvent(QShowEvent* event)
{
    QPushButton::showEvent(event);
    update();
}

void CButtonBMP::hideEvent(QHideEvent* event)
{
    QPushButton::hideEvent(event);
    update();
}

void CButtonBMP::notify(bool down)
{
    if (!m_notifyParent)
        return;
    if (QWidget* parent = parentWidget())
        QCoreApplication::postEvent(parent, new CButtonBMPNotifyEvent(m_controlId, down));
    emit pressNotified(m_controlId, down);
}
