#include "controls/cMyTreeCtrl.h"

#include <QMouseEvent>

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
