#include "controls/ColouredCellDelegate.h"

#include <QPainter>

#include "controls/ColouredList.h"

namespace controls {

ColouredCellDelegate::ColouredCellDelegate(ColouredList* list)
    : QStyledItemDelegate(list)
    , m_list(list)
{
}

void ColouredCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect, selected ? m_list->selectedRowColour() : m_list->backgroundColour());
    if (selected && m_list->selectedRowOutline().isValid()) {
        painter->fillRect(QRect(option.rect.left(), option.rect.top(), option.rect.width(), 1), m_list->selectedRowOutline());
        painter->fillRect(QRect(option.rect.left(), option.rect.bottom(), option.rect.width(), 1), m_list->selectedRowOutline());
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;
    const QRect box = option.rect.adjusted(3, 0, 0, 0);
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment horizontal =
        alignment.isValid() ? (Qt::Alignment(alignment.toInt()) & Qt::AlignHorizontal_Mask) : Qt::AlignLeft;
    painter->save();
    painter->setFont(m_list->font());
    painter->setPen(m_list->cellColour(index.row(), index.column()));
    painter->setClipRect(option.rect);
    // A text wider than its column keeps its start readable (centred, it would lose both ends).
    const QString shown = painter->fontMetrics().elidedText(text, Qt::ElideRight, box.width());
    painter->drawText(box, int(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    painter->restore();
}

QSize ColouredCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(ColouredList::kRowHeight);
    return size;
}

} // namespace controls
