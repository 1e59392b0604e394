#include "controls/JHeaderCtrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <utility>

#include "platform/Fonts.h"

namespace {
constexpr int kMaxTitleLength = 1023;
}

JHeaderCtrl::JHeaderCtrl(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setStretchLastSection(false);
    setFont(platform::font(QStringLiteral("微软雅黑"), 20));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void JHeaderCtrl::setBackgroundColour(QColor colour)
{
    m_background = colour;
    viewport()->update();
}

void JHeaderCtrl::setTextColour(QColor colour)
{
    m_text = colour;
    viewport()->update();
}

void JHeaderCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), m_background);
    p.setFont(font());
    p.setPen(m_text);
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        const QRect box(sectionViewportPosition(logical) + 2, 0, sectionSize(logical), viewport()->height());
        const QString title = model() ? model()->headerData(logical, orientation(), Qt::DisplayRole).toString().left(kMaxTitleLength)
                                      : QString();
        const QVariant align = model() ? model()->headerData(logical, orientation(), Qt::TextAlignmentRole) : QVariant();
        const Qt::Alignment horizontal =
            align.isValid() ? (Qt::Alignment(align.toInt()) & Qt::AlignHorizontal_Mask) : Qt::AlignLeft;
        p.drawText(box, int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), title);
        if (logical == m_markSection) {
            const int x = sectionViewportPosition(logical) + sectionSize(logical) - 8;
            const int y = viewport()->height() / 2;
            const int tip = m_markDescending ? 3 : -3;
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(m_text);
            p.setRenderHint(QPainter::Antialiasing);
            p.drawPolygon(QPolygon({QPoint(x - 4, y - tip), QPoint(x + 4, y - tip), QPoint(x, y + tip)}));
            p.restore();
        }
    }
}

void JHeaderCtrl::setSortMark(int section, bool descending)
{
    if (section == m_markSection && descending == m_markDescending)
        return;
    m_markSection = section;
    m_markDescending = descending;
    viewport()->update();
}

int JHeaderCtrl::captionAt(int x) const
{
    const int section = logicalIndexAt(x);
    if (section < 0)
        return -1;
    const int margin = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    const int left = sectionViewportPosition(section);
    const bool onDivider = (visualIndex(section) > 0 && x - left < margin) || left + sectionSize(section) - x <= margin;
    return onDivider ? -1 : section;
}

void JHeaderCtrl::setUserResizable(bool resizable)
{
    m_resizable = resizable;
    setSectionResizeMode(resizable ? QHeaderView::Interactive : QHeaderView::Fixed);
}

// Without user resizing, presses, drags and double clicks are swallowed: no sort, no resize,
// no column move. With it, the header's own handling drags the dividers (the sections stay
// unclickable and fixed in place).
void JHeaderCtrl::mousePressEvent(QMouseEvent* event)
{
    m_pressedCaption = m_choosable && event->button() == Qt::LeftButton ? captionAt(event->position().toPoint().x()) : -1;
    if (!m_resizable) {
        event->accept();
        return;
    }
    m_sizesAtPress.clear();
    for (int i = 0; i < count(); ++i)
        m_sizesAtPress.push_back(sectionSize(i));
    QHeaderView::mousePressEvent(event);
}

void JHeaderCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_resizable) {
        event->accept();
        return;
    }
    QHeaderView::mouseDoubleClickEvent(event); // on a divider: sectionHandleDoubleClicked
}

void JHeaderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_resizable) {
        event->accept();
        return;
    }
    QHeaderView::mouseMoveEvent(event);
}

void JHeaderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    const int pressed = std::exchange(m_pressedCaption, -1);
    const bool clicked = pressed >= 0 && captionAt(event->position().toPoint().x()) == pressed;
    if (!m_resizable) {
        event->accept();
        if (clicked)
            emit sectionChosen(pressed);
        return;
    }
    QHeaderView::mouseReleaseEvent(event);
    bool changed = false;
    for (int i = 0; !changed && i < count() && i < int(m_sizesAtPress.size()); ++i)
        changed = sectionSize(i) != m_sizesAtPress[std::size_t(i)];
    m_sizesAtPress.clear();
    if (changed)
        emit userResized();
    else if (clicked)
        emit sectionChosen(pressed);
}
