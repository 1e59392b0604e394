#include "market/Overview.h"

#include <algorithm>
#include <filesystem>

#include <QHeaderView>

#include "controls/JListCtrl.h"
#include "market/ColumnFileChoice.h"
#include "session/Session.h"
#include "market/core/MarketColours.h"
#include "platform/core/CrossThread.h"

namespace market {

Overview::Overview(JListCtrl* basic, JListCtrl* extended, QObject* parent)
    : QObject(parent)
    , m_basic(basic)
    , m_extended(extended)
{
    for (JListCtrl* list : {m_basic, m_extended}) {
        connect(list, &QTableWidget::cellDoubleClicked, this,
                [this, list](int row) { emit timeShareRequested(codeAt(list, row)); });
        connect(list, &QTableWidget::currentCellChanged, this, [this, list](int row) {
            if (m_filling)
                return;
            m_selectedCode = codeAt(list, row);
            // The other list follows, so a switch of tabs finds the same item selected.
            m_filling = true;
            reselect(list == m_basic ? m_extended : m_basic, false);
            m_filling = false;
        });
        connect(list, &JListCtrl::sortChanged, this, &Overview::showRows);
    }
}

const std::vector<int>& Overview::codesOf(const JListCtrl* list) const
{
    return list == m_extended ? m_extendedCodes : m_basicCodes;
}

int Overview::codeAt(const JListCtrl* list, int row) const
{
    const std::vector<int>& codes = codesOf(list);
    return row >= 0 && row < int(codes.size()) ? codes[std::size_t(row)] : 0;
}

int Overview::codeAt(int row) const
{
    return codeAt(currentList(), row);
}

JListCtrl* Overview::currentList() const
{
    return m_tab.load() == Tab::Extended ? m_extended : m_basic;
}

void Overview::moveSelection(int rows)
{
    JListCtrl* list = currentList();
    if (list->rowCount() == 0)
        return;
    const int from = list->currentRow();
    const int to = from < 0 ? 0 : std::clamp(from + rows, 0, list->rowCount() - 1);
    list->setCurrentCell(to, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollTo(list->model()->index(to, 0));
}

void Overview::selectRow(int row)
{
    JListCtrl* list = currentList();
    if (row >= 0 && row < list->rowCount())
        list->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int Overview::pageRows() const
{
    const JListCtrl* list = currentList();
    const int rowHeight = list->verticalHeader()->defaultSectionSize();
    return std::max(1, rowHeight > 0 ? list->viewport()->height() / rowHeight - 1 : 1);
}

int Overview::selectedCode() const
{
    return codeAt(currentList()->currentRow());
}

void Overview::styleList(JListCtrl* list, int controlId)
{
    list->setObjectName(QString::number(controlId));
    list->setBackgroundColour(QColor(32, 32, 32));
    list->setDefaultTextColour(kLevelColour);
    list->setSelectedRowColours(kSelectedBand, kSelectedOutline);
}

void Overview::buildColumns(const OverviewColumns& columns)
{
    auto apply = [](JListCtrl* list, const std::vector<OverviewColumn>& cols) {
        list->clearRows();
        list->setColumnCount(0);
        for (const OverviewColumn& c : cols)
            list->addColumn(QString::fromStdString(c.caption), c.width, Qt::AlignCenter);
    };
    apply(m_basic, columns.basic);
    apply(m_extended, columns.extended);
    std::lock_guard lock(m_keysMutex);
    m_basicKeys = columns.basicKeys();
    m_extendedKeys = columns.extendedKeys();
}

int Overview::buildColumnsFromFile(const std::filesystem::path& dir)
{
    const ColumnFileChoice choice = readColumnFileOrWarn(dir, kCurrentColumnFileName, m_basic);
    const std::optional<LoadedColumnFile>& file = choice.file;
    if (file)
        Session::current().setCurrentColumnText(file->styledText);
    const OverviewColumns columns = buildOverviewColumns(file ? &file->document : nullptr);
    buildColumns(columns);
    return columns.tabCount;
}

std::optional<OverviewReply> Overview::read(std::string_view wire)
{
    std::vector<std::string> basicKeys;
    std::vector<std::string> extendedKeys;
    {
        std::lock_guard lock(m_keysMutex);
        basicKeys = m_basicKeys;
        extendedKeys = m_extendedKeys;
    }
    OverviewReply reply = parseOverviewReply(wire, basicKeys, extendedKeys);
    if (!reply.parsed)
        return std::nullopt;
    if (reply.success)
        Session::current().storeItems(reply.items, reply.rowCount);
    return reply;
}

void Overview::show(const OverviewReply& reply)
{
    fill(reply, m_tab.load());
}

void Overview::LoadOverview(std::string_view wire)
{
    if (std::optional<OverviewReply> reply = read(wire))
        platform::postTo(this, [this, reply = std::move(*reply)] { show(reply); }, Qt::AutoConnection);
}

void Overview::fill(const OverviewReply& reply, Tab tab)
{
    if (!reply.success) {
        // The list on show empties; the selection is kept for the next listing.
        m_filling = true;
        if (tab == Tab::Extended)
            m_extended->clearRows();
        if (tab == Tab::Basic)
            m_basic->clearRows();
        m_filling = false;
        return;
    }
    m_last = reply;
    m_nameKeys.clear();
    for (std::size_t i = 0; i < reply.items.size() && i < reply.itemKeys.size(); ++i)
        m_nameKeys[reply.items[i].code] = reply.itemKeys[i];
    showRows();
    emit itemsListed();
}

void Overview::showOnly(std::optional<std::vector<int>> codes)
{
    m_only = std::move(codes);
    showRows();
}

void Overview::showRows()
{
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < m_last.rowCodes.size(); ++i) {
        const int code = m_last.rowCodes[i];
        if (!m_only || std::find(m_only->begin(), m_only->end(), code) != m_only->end())
            shown.push_back(i);
    }
    std::vector<std::string> basicKeys;
    std::vector<std::string> extendedKeys;
    {
        std::lock_guard lock(m_keysMutex);
        basicKeys = m_basicKeys;
        extendedKeys = m_extendedKeys;
    }
    auto inView = [](const JListCtrl* list) {
        const QModelIndex current = list->currentIndex();
        return current.isValid() && list->viewport()->rect().intersects(list->visualRect(current));
    };
    const int currentRow = currentList()->currentRow();
    const bool basicInView = inView(m_basic);
    const bool extendedInView = inView(m_extended);

    // Each list in its own sort; with none, in the exchange's order.
    auto sorted = [&shown](const JListCtrl* list, const std::vector<std::vector<OverviewCell>>& rows,
                           const std::vector<std::string>& keys) {
        const int column = list->sortColumn();
        if (column < 0 || std::size_t(column) >= keys.size())
            return shown;
        return sortOverviewRows(rows, shown, std::size_t(column), keys[std::size_t(column)],
                                list->userSort()->descending);
    };
    m_filling = true;
    fillList(m_basic, m_last.basicRows, sorted(m_basic, m_last.basicRows, basicKeys), basicKeys);
    fillList(m_extended, m_last.extendedRows, sorted(m_extended, m_last.extendedRows, extendedKeys), extendedKeys);
    const std::vector<int>& codes = codesOf(currentList());
    // An item that left the list (a deletion from the watchlist) hands the selection to the
    // row that took its place, so the keys go on from there.
    if (m_selectedCode != 0 && currentRow >= 0 && !codes.empty() &&
        std::find(codes.begin(), codes.end(), m_selectedCode) == codes.end())
        m_selectedCode = codes[std::size_t(std::min(currentRow, int(codes.size()) - 1))];
    reselect(m_basic, basicInView);
    reselect(m_extended, extendedInView);
    m_filling = false;
}

void Overview::reselect(JListCtrl* list, bool keepInView)
{
    const std::vector<int>& codes = codesOf(list);
    const auto at = std::find(codes.begin(), codes.end(), m_selectedCode);
    if (m_selectedCode == 0 || at == codes.end()) {
        list->selectionModel()->clear();
        return;
    }
    const int row = int(at - codes.begin());
    // Scrolled away from the selection, the trader stays where they scrolled to.
    const bool autoScroll = list->hasAutoScroll();
    list->setAutoScroll(false);
    list->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->setAutoScroll(autoScroll);
    if (keepInView)
        list->scrollTo(list->model()->index(row, 0));
}

void Overview::fillList(JListCtrl* list, const std::vector<std::vector<OverviewCell>>& rows,
                        const std::vector<std::size_t>& shown, const std::vector<std::string>& keys)
{
    std::vector<int>& codes = list == m_extended ? m_extendedCodes : m_basicCodes;
    codes.clear();
    list->setUpdatesEnabled(false);
    list->setRowCount(static_cast<int>(shown.size()));
    for (int d = 0; d < static_cast<int>(shown.size()); ++d) {
        codes.push_back(m_last.rowCodes[shown[std::size_t(d)]]);
        const std::vector<OverviewCell>& cells = rows[shown[std::size_t(d)]];
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            // The row number counts the rows as shown: 1..n in the watchlist too.
            const bool rowNumber = std::size_t(c) < keys.size() && keys[std::size_t(c)] == kRowNumberKey;
            list->setCellText(d, c, rowNumber ? QString::number(d + 1) : QString::fromStdString(cells[c].text));
            list->setCellColour(d, c, cells[c].colour);
        }
    }
    list->setUpdatesEnabled(true);
}

} // namespace market
