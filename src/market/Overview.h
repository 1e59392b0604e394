#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>

#include "market/OverviewColumns.h"
#include "market/core/OverviewReply.h"

class JListCtrl;

namespace market {

// Drives the two overview lists of the market window: their columns from the current
// column file and their rows from each changed overview reply.
class Overview final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Overview)

public:
    static constexpr int kBasicListId = 20115;
    static constexpr int kExtendedListId = 20116;

    enum class Tab { Basic, Extended, Other };

    // The lists stay owned by the window; they must outlive this object.
    Overview(JListCtrl* basic, JListCtrl* extended, QObject* parent = nullptr);

    // Colours and ids of an overview list as the market window shows it.
    static void styleList(JListCtrl* list, int controlId);

    // GUI thread. Replaces the columns of both lists.
    void buildColumns(const OverviewColumns& columns);
    // Reads the current column file from `dir` (the shipped one, with a message, when that
    // is missing or not JSON), keeps its text process-wide and builds the columns; returns
    // the overview tab count (0 when no column file could be read at all).
    int buildColumnsFromFile(const std::filesystem::path& dir);

    // Any thread. The list of the current tab is emptied by every parsed reply.
    void setCurrentTab(Tab tab) { m_tab.store(tab); }
    Tab currentTab() const { return m_tab.load(); }

    // Any thread (the poller's): parses here, stores the item table, fills the lists on the
    // GUI thread.
    void LoadOverview(std::string_view wire);

    // GUI thread. The item code of a row of the lists; 0 for none.
    int codeAt(int row) const;
    // GUI thread, on the list of the current tab: moves the selected row by `rows` (a page
    // is pageRows()), staying within the list; the first row when none was selected.
    void moveSelection(int rows);
    int pageRows() const;
    void selectRow(int row);
    // The code of the selected row; 0 for none.
    int selectedCode() const;

    // GUI thread. Shows only the rows of these codes, in the reply's order, or every row for
    // none; at once on the last reply, and on every reply after it.
    void showOnly(std::optional<std::vector<int>> codes);

signals:
    // A double click on a row of either list: the window shows that item's time-share view.
    void timeShareRequested(int code);
    // A successful reply has filled the lists and the item table.
    void itemsListed();

private:
    void fill(const OverviewReply& reply, Tab tab);
    JListCtrl* currentList() const;
    void showRows();
    static void fillList(JListCtrl* list, const std::vector<std::vector<OverviewCell>>& rows);

    JListCtrl* m_basic;
    JListCtrl* m_extended;
    std::vector<int> m_rowCodes; // GUI thread, of the rows shown
    OverviewReply m_last;        // GUI thread, the last reply that filled the lists
    std::optional<std::vector<int>> m_only;
    std::atomic<Tab> m_tab{Tab::Basic};
    mutable std::mutex m_keysMutex;
    std::vector<std::string> m_basicKeys;
    std::vector<std::string> m_extendedKeys;
};

} // namespace market
