#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QTableWidget>

namespace controls {

// The report list both custom lists share: fixed 18-pixel rows, every cell painted in its
// own text colour on the owner's background, selected rows on a light grey. Rows and cells
// are addressed by index, as the owners of these lists think of them.
class ColouredList : public QTableWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ColouredList)

public:
    static constexpr int kRowHeight = 18;
    static inline const QColor kSelectedRowColour{196, 196, 196};

    // Columns; the alignment applies to the caption and to every cell of the column.
    int addColumn(const QString& caption, int width, Qt::Alignment alignment = Qt::AlignCenter);
    int insertColumnAt(int position, const QString& caption, int width, Qt::Alignment alignment = Qt::AlignCenter);
    QString columnCaption(int column) const;
    // The width the column was made with.
    int defaultColumnWidth(int column) const;

    // Rows. insertRowAt clamps the position to [0, rowCount] and returns where it went.
    int insertRowAt(int row, const QStringList& cells = {});
    int appendRow(const QStringList& cells = {});
    void setCellText(int row, int column, const QString& text);
    QString cellText(int row, int column) const;
    void clearRows();

    void setBackgroundColour(QColor colour);
    QColor backgroundColour() const { return m_background; }
    void setDefaultTextColour(QColor colour);
    QColor defaultTextColour() const { return m_defaultText; }
    void setCellFont(const QFont& font);
    // The selected row's fill and, when valid, a line over and under it: a list whose text
    // colours are bright on a dark ground keeps them readable on a dark band.
    void setSelectedRowColours(QColor band, QColor outline = {});
    QColor selectedRowColour() const { return m_selectedBand; }
    QColor selectedRowOutline() const { return m_selectedOutline; }

    // Per-cell text colours; false when the cell lies outside the list's colour table.
    virtual bool setCellColour(int row, int column, QColor colour) = 0;
    // The colour the cell is painted in.
    virtual QColor cellColour(int row, int column) const = 0;
    // Colours every existing column of the row.
    void setRowColour(int row, QColor colour);

protected:
    explicit ColouredList(QWidget* parent = nullptr);
    void mousePressEvent(QMouseEvent* event) override;
    // A column was made, at its default width.
    virtual void columnInserted(int /*column*/) {}

private:
    Qt::Alignment columnAlignment(int column) const;
    void applyPalette();

    QColor m_background{240, 240, 240};
    QColor m_defaultText{16, 16, 16};
    QColor m_selectedBand = kSelectedRowColour;
    QColor m_selectedOutline;
};

} // namespace controls
