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
    for (JListCtrl* list : {m_basic, m_extended})
        connect(list, &QTableWidget::cellDoubleClicked, this, [this](int row) { emit timeShareRequested(codeAt(row)); });
}

int Overview::codeAt(int row) const
{
    return row >= 0 && row < int(m_rowCodes.size()) ? m_rowCodes[std::size_t(row)] : 0;
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

void Overview::LoadOverview(std::string_view wire)
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
        return;
    if (reply.success)
        Session::current().storeItems(reply.items, reply.rowCount);
    const Tab tab = m_tab.load();
    platform::postTo(this, [this, reply = std::move(reply), tab] { fill(reply, tab); }, Qt::AutoConnection);
}

void Overview::fill(const OverviewReply& reply, Tab tab)
{
    if (tab == Tab::Extended)
        m_extended->clearRows();
    if (tab == Tab::Basic)
        m_basic->clearRows();
    if (!reply.success)
        return;
    // Both lists are refilled from scratch; filling one that still holds the previous
    // reply's rows would stack the same items twice.
    m_last = reply;
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
    // The selection stays on its item while the rows around it change with each refresh.
    const int selected = selectedCode();
    std::vector<std::vector<OverviewCell>> basic;
    std::vector<std::vector<OverviewCell>> extended;
    std::vector<int> codes;
    for (std::size_t i = 0; i < m_last.rowCodes.size(); ++i) {
        const int code = m_last.rowCodes[i];
        if (m_only && std::find(m_only->begin(), m_only->end(), code) == m_only->end())
            continue;
        basic.push_back(m_last.basicRows[i]);
        extended.push_back(m_last.extendedRows[i]);
        codes.push_back(code);
    }
    fillList(m_extended, extended);
    fillList(m_basic, basic);
    m_rowCodes = std::move(codes);
    const auto at = std::find(m_rowCodes.begin(), m_rowCodes.end(), selected);
    if (selected != 0 && at != m_rowCodes.end())
        selectRow(int(at - m_rowCodes.begin()));
}

void Overview::fillList(JListCtrl* list, const std::vector<std::vector<OverviewCell>>& rows)
{
    list->setUpdatesEnabled(false);
    list->clearRows();
    list->setRowCount(static_cast<int>(rows.size()));
    for (int d = 0; d < static_cast<int>(rows.size()); ++d) {
        const std::vector<OverviewCell>& cells = rows[d];
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            list->setCellText(d, c, QString::fromStdString(cells[c].text));
            list->setCellColour(d, c, cells[c].colour);
        }
    }
    list->setUpdatesEnabled(true);
}

} // namespace market
