#pragma once

#include <array>

#include <QObject>

class QAction;

namespace mainwnd {

// The market window's commands, made once. A toolbar button, a drop-menu item, a key and an
// overview row's context-menu entry that do the same thing trigger the same action; a key
// is the action's shortcut, and a disabled action leaves its key to the default handling.
class MarketActions final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarketActions)

public:
    enum class Command {
        Exit,
        Minimise,
        Trade,
        SystemMenu,
        AnalysisMenu,
        HelpMenu,
        SystemStatus,
        About,
        KeysHelp,
        Announcements,
        Overview,
        Watchlist,
        QuickBuy,
        QuickSell,
        Timeshare,
        Kline,
        Information,
        Refresh,
        BasicList,
        ExtendedList,
        ColumnSetup,
        Ticks,
        PriceTable,
        SwitchChart,
        PreviousPeriod,
        NextPeriod,
        PreviousItem,
        NextItem,
        SelectionUp,
        SelectionDown,
        SelectionPageUp,
        SelectionPageDown,
        OpenSelected,
        AddToWatchlist,
        RemoveFromWatchlist,
        FillNotices,
        PriceAlerts,
    };
    static constexpr int kCommandCount = int(Command::PriceAlerts) + 1;

    explicit MarketActions(QObject* parent);

    QAction* action(Command command) const { return m_actions[std::size_t(command)]; }

    // The enabled action whose shortcut is `key` (modifiers aside: the keypad's Enter is
    // Enter), nullptr for none.
    QAction* forKey(int key) const;

    // What the window shows decides which keys act: the overview's keys in overview mode,
    // the chart's in chart mode, Delete only while the watchlist is shown.
    void setMode(bool chartMode, bool watchlistShown);

    // While an overview row's context menu is open: it offers to add an item not yet in the
    // watchlist and to remove one that is. endRowOffer() brings back the keys' rule.
    void offerForRow(bool hasItem, bool kept);
    void endRowOffer() { setMode(m_chartMode, m_watchlistShown); }

private:
    std::array<QAction*, kCommandCount> m_actions{};
    bool m_chartMode = false;
    bool m_watchlistShown = false;
};

} // namespace mainwnd
