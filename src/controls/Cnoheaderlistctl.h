#pragma once

#include "controls/CellColourTable.h"
#include "controls/ColouredList.h"

// The same painted list with a 100 x 100 colour table and the standard header left as
// it is: for owners that manage the header themselves or hide it.
class Cnoheaderlistctl final : public controls::ColouredList
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Cnoheaderlistctl)

public:
    using ColourTable = controls::CellColourTable<100, 100>;

    explicit Cnoheaderlistctl(QWidget* parent = nullptr);

    bool setCellColour(int row, int column, QColor colour) override;
    QColor cellColour(int row, int column) const override;

private:
    ColourTable m_colours;
};
