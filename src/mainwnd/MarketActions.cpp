#include "mainwnd/MarketActions.h"

#include <QAction>
#include <QKeySequence>

namespace mainwnd {
namespace {

using Command = MarketActions::Command;

// Where a command's key acts.
enum class Scope { Always, Overview, Chart };

struct ActionRow
{
    Command command;
    const char* text;
    const char* name;
    Qt::Key key; // 0 for none
    Scope scope;
};

// Menu items show `text`; a toolbar button keeps its own caption.
constexpr ActionRow kActionRows[] = {
    {Command::Exit, "退出系统", "exit", Qt::Key_Escape, Scope::Always},
    {Command::Minimise, "最小化", "minimise", Qt::Key(0), Scope::Always},
    {Command::Trade, "交易", "trade", Qt::Key(0), Scope::Always},
    {Command::SystemMenu, "系统", "systemMenu", Qt::Key(0), Scope::Always},
    {Command::AnalysisMenu, "分析", "analysisMenu", Qt::Key(0), Scope::Always},
    {Command::HelpMenu, "帮助", "helpMenu", Qt::Key(0), Scope::Always},
    {Command::SystemStatus, "系统状态", "systemStatus", Qt::Key(0), Scope::Always},
    {Command::About, "关于", "about", Qt::Key(0), Scope::Always},
    {Command::KeysHelp, "帮助", "keysHelp", Qt::Key(0), Scope::Always},
    {Command::Announcements, "公告", "announcements", Qt::Key(0), Scope::Always},
    {Command::Overview, "行情", "overview", Qt::Key_F3, Scope::Always},
    {Command::Watchlist, "自选", "watchlist", Qt::Key_F6, Scope::Always},
    {Command::QuickBuy, "买入", "quickBuy", Qt::Key(0), Scope::Always},
    {Command::QuickSell, "卖出", "quickSell", Qt::Key(0), Scope::Always},
    {Command::Timeshare, "分时走势", "timeshare", Qt::Key(0), Scope::Always},
    {Command::Kline, "技术分析", "kline", Qt::Key(0), Scope::Always},
    {Command::Information, "资料", "information", Qt::Key_F10, Scope::Always},
    {Command::Refresh, "刷新", "refresh", Qt::Key(0), Scope::Always},
    {Command::BasicList, "基本行情", "basicList", Qt::Key(0), Scope::Always},
    {Command::ExtendedList, "扩展行情", "extendedList", Qt::Key(0), Scope::Always},
    {Command::ColumnSetup, "设置", "columnSetup", Qt::Key(0), Scope::Always},
    {Command::Ticks, "成交明细", "ticks", Qt::Key_F1, Scope::Always},
    {Command::PriceTable, "分价线", "priceTable", Qt::Key_F2, Scope::Always},
    {Command::SwitchChart, "分时走势与K线图切换", "switchChart", Qt::Key_F5, Scope::Always},
    {Command::PreviousPeriod, "上一个周期", "previousPeriod", Qt::Key_BracketLeft, Scope::Chart},
    {Command::NextPeriod, "下一个周期", "nextPeriod", Qt::Key_BracketRight, Scope::Chart},
    {Command::PreviousItem, "上一个品种", "previousItem", Qt::Key_PageUp, Scope::Chart},
    {Command::NextItem, "下一个品种", "nextItem", Qt::Key_PageDown, Scope::Chart},
    {Command::SelectionUp, "上移", "selectionUp", Qt::Key_Up, Scope::Overview},
    {Command::SelectionDown, "下移", "selectionDown", Qt::Key_Down, Scope::Overview},
    {Command::SelectionPageUp, "上翻页", "selectionPageUp", Qt::Key_PageUp, Scope::Overview},
    {Command::SelectionPageDown, "下翻页", "selectionPageDown", Qt::Key_PageDown, Scope::Overview},
    {Command::OpenSelected, "打开", "openSelected", Qt::Key_Return, Scope::Overview},
    {Command::AddToWatchlist, "加入自选", "addToWatchlist", Qt::Key_Insert, Scope::Overview},
    {Command::RemoveFromWatchlist, "删除自选", "removeFromWatchlist", Qt::Key_Delete, Scope::Overview},
    {Command::FillNotices, "成交回报", "fillNotices", Qt::Key(0), Scope::Always},
    {Command::PriceAlerts, "设置预警...", "priceAlerts", Qt::Key(0), Scope::Always},
};
static_assert(std::size(kActionRows) == MarketActions::kCommandCount);

constexpr bool inTableOrder()
{
    for (int i = 0; i < MarketActions::kCommandCount; ++i) {
        if (int(kActionRows[i].command) != i)
            return false;
    }
    return true;
}
static_assert(inTableOrder());

} // namespace

MarketActions::MarketActions(QObject* parent)
    : QObject(parent)
{
    for (const ActionRow& row : kActionRows) {
        auto* action = new QAction(QString::fromUtf8(row.text), this);
        action->setObjectName(QString::fromLatin1(row.name));
        QList<QKeySequence> keys;
        if (row.key != 0)
            keys << QKeySequence(row.key);
        if (row.command == Command::OpenSelected)
            keys << QKeySequence(Qt::Key_Enter);
        // The window hands its keys to forKey() itself (the code finder takes letters first,
        // the K-line what is left): the actions sit on no widget and the menus holding them
        // are no window's, so no key fires one behind the window's back.
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(false); // the menus read as they always have
        m_actions[std::size_t(row.command)] = action;
    }
    setMode(false, false);
}

QAction* MarketActions::forKey(int key) const
{
    for (QAction* action : m_actions) {
        if (!action->isEnabled())
            continue;
        for (const QKeySequence& shortcut : action->shortcuts()) {
            if (shortcut.count() == 1 && shortcut[0].key() == key)
                return action;
        }
    }
    return nullptr;
}

void MarketActions::setMode(bool chartMode, bool watchlistShown)
{
    m_chartMode = chartMode;
    m_watchlistShown = watchlistShown;
    for (const ActionRow& row : kActionRows) {
        const bool on = row.scope == Scope::Always || (row.scope == Scope::Chart) == chartMode;
        action(row.command)->setEnabled(on);
    }
    action(Command::RemoveFromWatchlist)->setEnabled(!chartMode && watchlistShown);
}

void MarketActions::offerForRow(bool hasItem, bool kept)
{
    action(Command::AddToWatchlist)->setEnabled(hasItem && !kept);
    action(Command::RemoveFromWatchlist)->setEnabled(kept);
}

} // namespace mainwnd
