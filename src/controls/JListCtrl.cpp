#include "controls/JListCtrl.h"

#include <algorithm>

#include <QFontMetrics>
#include <QMenu>

#include "controls/JHeaderCtrl.h"
#include "client/SettingsFolder.h"
#include "platform/SaveFile.h"

namespace {

// Room beside the text: the cell paints 3 pixels in, the header 2, and neither should touch
// the next column.
constexpr int kCellInset = 3;
constexpr int kHeaderInset = 2;
constexpr int kFitMargin = 8;

bool isNumber(const QString& name)
{
    bool number = false;
    name.toInt(&number);
    return number;
}

} // namespace

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

void JListCtrl::keepUserWidths(const std::filesystem::path& dir, const std::string& name)
{
    if (m_header->userResizable())
        return;
    m_widthsDir = dir.empty() ? client::settingsFolder().dir() : dir;
    m_widthsName = name;
    m_header->setUserResizable(true);
    // The table view's own fit measures only the rows on screen, and in the style's font.
    disconnect(m_header, &QHeaderView::sectionHandleDoubleClicked, this, &QTableView::resizeColumnToContents);
    connect(m_header, &QHeaderView::sectionHandleDoubleClicked, this, [this](int column) {
        fitColumn(column);
        saveUserWidths();
    });
    connect(m_header, &JHeaderCtrl::userResized, this, &JListCtrl::saveUserWidths);
    m_headerMenu = new QMenu(this);
    m_headerMenu->setObjectName(QStringLiteral("columnWidthMenu"));
    connect(m_headerMenu->addAction(QString::fromUtf8(kRestoreWidthsText)), &QAction::triggered, this,
            &JListCtrl::restoreDefaultWidths);
    m_header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_header, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_headerMenu->popup(m_header->mapToGlobal(at)); });
    if (!m_widthsName.empty() || isVisible())
        loadUserWidths();
}

void JListCtrl::showEvent(QShowEvent* event)
{
    ColouredList::showEvent(event);
    if (m_header->userResizable() && !m_widthsLoaded)
        loadUserWidths();
}

void JListCtrl::loadUserWidths()
{
    if (m_widthsName.empty()) {
        QString window;
        for (const QWidget* w = parentWidget(); w && window.isEmpty(); w = w->parentWidget()) {
            if (!w->objectName().isEmpty() && !isNumber(w->objectName()))
                window = w->objectName();
        }
        m_widthsName = (window + QLatin1Char('/') + objectName()).toStdString();
    }
    m_widthsLoaded = true;
    // A file that cannot be read holds no choices here; the market window names it once.
    const controls::ColumnWidthFile file = controls::readColumnWidths(m_widthsDir);
    if (const auto it = file.choices.find(m_widthsName); it != file.choices.end())
        m_userWidths = it->second;
    if (const auto it = file.sorts.find(m_widthsName); m_sortable && it != file.sorts.end()) {
        m_sort = it->second;
        markSort();
        emit sortChanged();
    }
    for (int c = 0; c < columnCount(); ++c)
        columnInserted(c);
}

void JListCtrl::keepUserSort()
{
    if (m_sortable)
        return;
    m_sortable = true;
    m_header->setChoosable(true);
    connect(m_header, &JHeaderCtrl::sectionChosen, this, &JListCtrl::stepSort);
    if (m_widthsLoaded) {
        m_widthsLoaded = false;
        loadUserWidths();
    }
}

void JListCtrl::setUserSort(const std::optional<controls::ColumnSort>& sort)
{
    if (sort == m_sort)
        return;
    m_sort = sort;
    markSort();
    emit sortChanged();
}

int JListCtrl::sortColumn() const
{
    if (!m_sort)
        return -1;
    for (int c = 0; c < columnCount(); ++c) {
        if (columnCaption(c).toStdString() == m_sort->caption)
            return c;
    }
    return -1;
}

void JListCtrl::stepSort(int column)
{
    std::optional<controls::ColumnSort> next = controls::ColumnSort{columnCaption(column).toStdString(), true};
    if (column == sortColumn())
        next = m_sort->descending ? std::optional(controls::ColumnSort{m_sort->caption, false}) : std::nullopt;
    setUserSort(next);
    if (!m_widthsName.empty() &&
        controls::storeListSort(m_widthsDir, m_widthsName, m_sort) == controls::StoreResult::Failed)
        platform::reportSaveFailed(this, QString::fromStdString((m_widthsDir / controls::kColumnWidthsFile).string()));
}

void JListCtrl::markSort()
{
    const int column = sortColumn();
    m_header->setSortMark(column, column >= 0 && m_sort->descending);
}

void JListCtrl::columnInserted(int column)
{
    if (m_sortable)
        markSort();
    if (m_userWidths.empty())
        return;
    const auto it = m_userWidths.find(columnCaption(column).toStdString());
    if (it != m_userWidths.end())
        setColumnWidth(column, it->second);
}

int JListCtrl::fittingWidth(int column) const
{
    const QFontMetrics cells(font());
    int widest = QFontMetrics(m_header->font()).horizontalAdvance(columnCaption(column)) + kHeaderInset;
    for (int r = 0; r < rowCount(); ++r)
        widest = std::max(widest, cells.horizontalAdvance(cellText(r, column)) + kCellInset);
    return std::clamp(widest + kFitMargin, controls::kMinColumnWidth, controls::kMaxColumnWidth);
}

void JListCtrl::fitColumn(int column)
{
    if (column >= 0 && column < columnCount())
        setColumnWidth(column, fittingWidth(column));
}

void JListCtrl::restoreDefaultWidths()
{
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, defaultColumnWidth(c));
    m_userWidths.clear(); // the columns not shown now go back too
    saveUserWidths();
}

void JListCtrl::saveUserWidths()
{
    if (m_widthsName.empty())
        return; // never shown, so never sized by the user
    // Only what differs from the made widths: a later version's defaults still reach the rest.
    controls::ListWidths widths;
    for (int c = 0; c < columnCount(); ++c) {
        if (columnWidth(c) != defaultColumnWidth(c))
            widths[columnCaption(c).toStdString()] = columnWidth(c);
    }
    // Columns the list does not show now keep their chosen widths.
    for (const auto& [caption, width] : m_userWidths) {
        bool shown = false;
        for (int c = 0; c < columnCount() && !shown; ++c)
            shown = columnCaption(c).toStdString() == caption;
        if (!shown)
            widths.emplace(caption, width);
    }
    m_userWidths = widths;
    if (controls::storeListWidths(m_widthsDir, m_widthsName, widths) == controls::StoreResult::Failed)
        platform::reportSaveFailed(this, QString::fromStdString((m_widthsDir / controls::kColumnWidthsFile).string()));
}
