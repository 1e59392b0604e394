#pragma once

#include <atomic>
#include <filesystem>
#include <map>
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

    // Any thread (the poller's): parses with the columns of the moment and stores the item
    // table; nothing when the reply does not parse.
    std::optional<OverviewReply> read(std::string_view wire);
    // GUI thread: fills the lists from what was read.
    void show(const OverviewReply& reply);
    // Any thread: reads here and shows on the GUI thread.
    void LoadOverview(std::string_view wire);

    // GUI thread. The item code of a row of the current tab's list; 0 for none.
    int codeAt(int row) const;
    // GUI thread, on the list of the current tab: moves the selected row by `rows` (a page
    // is pageRows()), staying within the list; the first row when none was selected.
    void moveSelection(int rows);
    int pageRows() const;
    void selectRow(int row);
    // The code of the selected row; 0 for none. The selection follows its item through every
    // refill, in both lists, wherever the refresh or the watchlist puts it.
    int selectedCode() const;

    // GUI thread. Shows only the rows of these codes, in the reply's order, or every row for
    // none; at once on the last reply, and on every reply after it.
    void showOnly(std::optional<std::vector<int>> codes);

    // GUI thread. The pinyin keys of the listed items' names, by code, as of the last reply.
    const std::map<int, NameKeys>& nameKeys() const { return m_nameKeys; }
    // GUI thread. The last reply that filled the lists.
    const OverviewReply& lastReply() const { return m_last; }

signals:
    // A double click on a row of either list: the window shows that item's time-share view.
    void timeShareRequested(int code);
    // A successful reply has filled the lists and the item table.
    void itemsListed();

private:
    void fill(const OverviewReply& reply, Tab tab);
    JListCtrl* currentList() const;
    const std::vector<int>& codesOf(const JListCtrl* list) const;
    int codeAt(const JListCtrl* list, int row) const;
    void showRows();
    // Rewrites the rows in place: the list keeps its scroll position and nothing flickers.
    void fillList(JListCtrl* list, const std::vector<std::vector<OverviewCell>>& rows,
                  const std::vector<std::size_t>& shown, const std::vector<std::string>& keys);
    // Puts the selection back on m_selectedCode's row of `list`, if shown.
    void reselect(JListCtrl* list, bool keepInView);

    JListCtrl* m_basic;
    JListCtrl* m_extended;
    std::vector<int> m_basicCodes; // GUI thread, of the rows shown, in their order
    std::vector<int> m_extendedCodes;
    int m_selectedCode = 0; // GUI thread
    bool m_filling = false; // the lists' own selection changes are not the user's
    OverviewReply m_last;        // GUI thread, the last reply that filled the lists
    std::map<int, NameKeys> m_nameKeys; // GUI thread
    std::optional<std::vector<int>> m_only;
    std::atomic<Tab> m_tab{Tab::Basic};
    mutable std::mutex m_keysMutex;
    std::vector<std::string> m_basicKeys;
    std::vector<std::string> m_extendedKeys;
};

} // namespace market
