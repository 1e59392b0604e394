#include "controls/ColouredList.h"

#include <algorithm>

#include <QHeaderView>
#include <QMouseEvent>

#include "controls/ColouredCellDelegate.h"
#include "platform/Fonts.h"

namespace controls {
namespace {
constexpr int kDefaultWidthRole = Qt::UserRole + 1;
}

ColouredList::ColouredList(QWidget* parent)
    : QTableWidget(parent)
{
    setItemDelegate(new ColouredCellDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setHighlightSections(false);
    setCellFont(platform::font(QStringLiteral("Arial"), 20));
    applyPalette();
}

int ColouredList::addColumn(const QString& caption, int width, Qt::Alignment alignment)
{
    return insertColumnAt(columnCount(), caption, width, alignment);
}

int ColouredList::insertColumnAt(int position, const QString& caption, int width, Qt::Alignment alignment)
{
    position = std::clamp(position, 0, columnCount());
    insertColumn(position);
    auto* header = new QTableWidgetItem(caption);
    header->setTextAlignment(alignment);
    header->setData(kDefaultWidthRole, width);
    setHorizontalHeaderItem(position, header);
    setColumnWidth(position, width);
    columnInserted(position);
    return position;
}

int ColouredList::defaultColumnWidth(int column) const
{
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    return header ? header->data(kDefaultWidthRole).toInt() : 0;
}

QString ColouredList::columnCaption(int column) const
{
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    return header ? header->text() : QString();
}

int ColouredList::insertRowAt(int row, const QStringList& cells)
{
    row = std::clamp(row, 0, rowCount());
    insertRow(row);
    for (int c = 0; c < cells.size() && c < columnCount(); ++c)
        setCellText(row, c, cells[c]);
    return row;
}

int ColouredList::appendRow(const QStringList& cells)
{
    return insertRowAt(rowCount(), cells);
}

void ColouredList::setCellText(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem(text);
        cell->setTextAlignment(columnAlignment(column));
        setItem(row, column, cell);
    } else {
        cell->setText(text);
    }
}

QString ColouredList::cellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void ColouredList::clearRows()
{
    setRowCount(0);
}

void ColouredList::setBackgroundColour(QColor colour)
{
    m_background = colour;
    applyPalette();
    viewport()->update();
}

void ColouredList::setDefaultTextColour(QColor colour)
{
    m_defaultText = colour;
    applyPalette();
    viewport()->update();
}

void ColouredList::setCellFont(const QFont& font)
{
    setFont(font);
    // The font must not stretch the rows: every row stays kRowHeight high.
    verticalHeader()->setDefaultSectionSize(kRowHeight);
}

void ColouredList::setSelectedRowColours(QColor band, QColor outline)
{
    m_selectedBand = band;
    m_selectedOutline = outline;
    viewport()->update();
}

void ColouredList::setRowColour(int row, QColor colour)
{
    for (int c = 0; c < columnCount(); ++c)
        setCellColour(row, c, colour);
    viewport()->update();
}

void ColouredList::mousePressEvent(QMouseEvent* event)
{
    // The first row's highlight is redrawn on each press, as the owners expect of the list.
    if (rowCount() > 0)
        viewport()->update(visualRect(model()->index(0, 0)).adjusted(0, 0, viewport()->width(), 0));
    QTableWidget::mousePressEvent(event);
}

Qt::Alignment ColouredList::columnAlignment(int column) const
{
    const QTableWidgetItem* header = horizontalHeaderItem(column);
    return header ? Qt::Alignment(header->textAlignment()) : Qt::Alignment(Qt::AlignCenter);
}

void ColouredList::applyPalette()
{
    QPalette p = palette();
    p.setColor(QPalette::Base, m_background);
    p.setColor(QPalette::Window, m_background);
    p.setColor(QPalette::Text, m_defaultText);
    setPalette(p);
    viewport()->setAutoFillBackground(true);
}

} // namespace controls
