#include "controls/JListCtrl.h"

#include "controls/JHeaderCtrl.h"

JListCtrl::JListCtrl(QWidget* parent)
    : ColouredList(parent)
    , m_header(new JHeaderCtrl(this))
{
    setHorizontalHeader(m_header);
    m_header->setSectionsClickable(false);
    m_header->setSectionResizeMode(QHeaderView::Fixed);
}

bool JListCtrl::setCellColour(int row, int column, QColor colour)
{
    const bool stored = m_colours.set(row, column, colour);
    if (stored)
        QMetaObject::invokeMethod(viewport(), qOverload<>(&QWidget::update), Qt::AutoConnection);
    return stored;
}

QColor JListCtrl::cellColour(int row, int column) const
{
    return m_colours.colourOr(row, column, defaultTextColour());
}
