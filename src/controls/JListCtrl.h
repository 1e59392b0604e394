#pragma once

#include "controls/CellColourTable.h"
#include "controls/ColouredList.h"

class JHeaderCtrl;

// The report list of the market and trading windows: per-cell text colours for the first
// 200 rows and 40 columns, a flat header that the user cannot click or resize. A row
// index keeps its colours across row deletions and insertions until the owner rewrites it.
class JListCtrl final : public controls::ColouredList
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(JListCtrl)

public:
    using ColourTable = controls::CellColourTable<200, 40>;

    explicit JListCtrl(QWidget* parent = nullptr);

    JHeaderCtrl* header() const { return m_header; }

    // Safe from any thread: the table is atomic per cell and the paint picks it up.
    bool setCellColour(int row, int column, QColor colour) override;
    QColor cellColour(int row, int column) const override;
    ColourTable& colourTable() { return m_colours; }

private:
    JHeaderCtrl* m_header;
    ColourTable m_colours;
};
