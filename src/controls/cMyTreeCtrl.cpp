#include "controls/cMyTreeCtrl.h"

#include <QMouseEvent>
#include <QPainter>

cMyTreeCtrl::cMyTreeCtrl(QWidget* parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
}

void cMyTreeCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit selectionNotified(itemAt(event->position().toPoint()));
    QTreeWidget::mouseReleaseEvent(event);
}

void cMyTreeCtrl::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    static const QColor kLine(160, 160, 160);
    static const QColor kSign(64, 64, 64);
    int depth = 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        ++depth;
    const int indent = indentation();
    // The branch column of a level, counted from the roots' own.
    auto column = [&](int level) { return rect.right() + 1 - (depth + 1 - level) * indent; };
    const int midY = rect.top() + rect.height() / 2;
    auto hasNext = [](const QModelIndex& i) { return i.sibling(i.row() + 1, 0).isValid(); };

    painter->save();
    painter->setPen(QPen(kLine, 1, Qt::DotLine));
    // Lines of the ancestors that have entries still to come below.
    QModelIndex ancestor = index.parent();
    for (int level = depth - 1; level >= 0; --level, ancestor = ancestor.parent()) {
        if (hasNext(ancestor)) {
            const int x = column(level) + indent / 2;
            painter->drawLine(x, rect.top(), x, rect.bottom());
        }
    }
    // The entry's own hook: up to the entry above, across to the entry, on down when more follow.
    const int x = column(depth) + indent / 2;
    if (depth > 0 || index.row() > 0)
        painter->drawLine(x, rect.top(), x, midY);
    if (hasNext(index))
        painter->drawLine(x, midY, x, rect.bottom());
    painter->drawLine(x, midY, column(depth) + indent - 2, midY);

    if (model()->hasChildren(index)) {
        const QRect box(x - 4, midY - 4, 9, 9);
        painter->setPen(kLine);
        painter->setBrush(Qt::white);
        painter->drawRect(box);
        painter->setPen(kSign);
        painter->drawLine(box.left() + 2, midY, box.right() - 2, midY);
        if (!isExpanded(index))
            painter->drawLine(x, box.top() + 2, x, box.bottom() - 2);
    }
    painter->restore();
}
