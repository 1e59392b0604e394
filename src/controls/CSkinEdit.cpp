#include "controls/CSkinEdit.h"

#include <QPainter>

CSkinEdit::CSkinEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setTextMargins(2, 0, 2, 0);
    setAttribute(Qt::WA_Hover);
}

QColor CSkinEdit::outerRingColour() const
{
    return m_hovering ? kHoverOuter : palette().color(QPalette::Button);
}

QColor CSkinEdit::innerRingColour() const
{
    if (m_hovering || m_focused)
        return kActiveInner;
    return palette().color(QPalette::Shadow);
}

void CSkinEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter p(this);
    p.setPen(outerRingColour());
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(innerRingColour());
    p.drawRect(rect().adjusted(1, 1, -2, -2));
}

void CSkinEdit::enterEvent(QEnterEvent* event)
{
    m_hovering = true;
    update();
    QLineEdit::enterEvent(event);
}

void CSkinEdit::leaveEvent(QEvent* event)
{
    m_hovering = false;
    update();
    QLineEdit::leaveEvent(event);
}

void CSkinEdit::focusInEvent(QFocusEvent* event)
{
    m_focused = true;
    update();
    QLineEdit::focusInEvent(event);
}

void CSkinEdit::focusOutEvent(QFocusEvent* event)
{
    m_focused = false;
    update();
    QLineEdit::focusOutEvent(event);
}
