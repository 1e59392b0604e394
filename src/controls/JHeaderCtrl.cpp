#include "controls/JHeaderCtrl.h"

#include <QMouseEvent>
#include <QPainter>

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
    }
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
    if (!m_resizable) {
        event->accept();
        return;
    }
    QHeaderView::mouseReleaseEvent(event);
    bool changed = false;
    for (int i = 0; !changed && i < count() && i < int(m_sizesAtPress.size()); ++i)
        changed = sectionSize(i) != m_sizesAtPress[std::size_t(i)];
    m_sizesAtPress.clear();
    if (changed)
        emit userResized();
}
