#pragma once

#include <QStyledItemDelegate>

namespace controls {

class ColouredList;

// Paints one cell of a ColouredList: the row's fill, then the text 3 pixels in from the
// cell's left edge, on one vertically centred line, in the cell's own colour.
class ColouredCellDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColouredCellDelegate)

public:
    explicit ColouredCellDelegate(ColouredList* list);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ColouredList* m_list;
};

} // namespace controls
