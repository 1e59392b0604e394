#include "controls/Cnoheaderlistctl.h"

Cnoheaderlistctl::Cnoheaderlistctl(QWidget* parent)
    : ColouredList(parent)
{
}

bool Cnoheaderlistctl::setCellColour(int row, int column, QColor colour)
{
    const bool stored = m_colours.set(row, column, colour);
    if (stored)
        QMetaObject::invokeMethod(viewport(), qOverload<>(&QWidget::update), Qt::AutoConnection);
    return stored;
}

QColor Cnoheaderlistctl::cellColour(int row, int column) const
{
    return m_colours.colourOr(row, column, defaultTextColour());
}
