#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>

#include <QFont>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "chart/MarketCharts.h"
#include "chart/PeriodBar.h"
#include "mainwnd/MarketActions.h"
#include "mainwnd/MarketTabs.h"
#include "mainwnd/StatusBand.h"

class Aboxt_wineDlg;
class Buying_dlg;
class CButtonBMP;
class CKBarCtrl;
class CHtmlCtrl;
class Detail_Trans_Dlg;
class CUPdate_thread;
class JListCtrl;
class KeysHelpDlg;
class LoginDlg;
class Min_Price_List_Dlg;
class QMenu;
class Right_Msg_Dlg;
class Selling_dlg;
class Show_Message_Dlg;
class Show_sys_statu_sdlg;
class ShowViewSetDlg;
namespace mainwnd { class IdleLock; class ItemViews; class MarketDialogs; class TradeWindows; class Watchers; }
namespace market { class ItemFinder; class Overview; }

// The market window over the whole work area: title bar, toolbar, the vertical tabs, the
// overview lists in overview mode and the charts, information page and quote panel in
// chart mode. It owns the main poller and drives it with its timers.
class Transaction_Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Transaction_Dlg)

public:
    // The buttons' and views' ids, which are also their object names.
    enum ControlId {
        kMenuSystem = 201,
        kMenuHelp = 204,
        kTrade = 237,
        kKline = 1000,
        kTimeshare = 1001,
        kInfoPage = 1019,
        kMenuAnalysis = 1152,
        kClose = 20102,
        kMinimise = 20103,
        kOverview = 20106,
        kToolWatchlist = 20107,
        kQuickBuy = 20108,
        kQuickSell = 20109,
        kToolTimeshare = 20110,
        kToolKline = 20111,
        kToolInfo = 20112,
        kRefresh = 20113,
        kListBasic = 20115,
        kListExtended = 20116,
    };

    static constexpr int kTabCount = mainwnd::MarketTabs::kCount;
    static constexpr int kPeriodCount = 12;

    // `loginWindow` is the login window that owns this one: destroying it ends the program.
    explicit Transaction_Dlg(QWidget* loginWindow);
    ~Transaction_Dlg() override;

    // The commands of the window's buttons, menus and keys.
    mainwnd::MarketActions* actions() const { return m_actions; }

    int workWidth() const { return m_w; }
    int workHeight() const { return m_h; }
    bool chartMode() const { return m_chartMode; }
    int currentTab() const { return m_tabs.current(); } // -1 for none
    int overviewTabCount() const { return m_tabs.overviewCount(); }
    void setOverviewTabCount(int count);
    const chart::PeriodBar::Flags& periodFlags() const { return m_periodFlags; }
    // The period of the first set flag, 8 (daily) when none is.
    int periodCode() const { return chart::PeriodBar::PeriodCode(m_periodFlags); }
    int visibleBarCount() const { return m_visibleBarCount; }
    QRect tabRect(int k) const { return m_tabs.rect(k); }
    QRect periodCell(int i) const;
    QRect chartRect() const;

    CUPdate_thread* poller() const { return m_poller.get(); }
    Right_Msg_Dlg* quotePanel() const;
    Show_Message_Dlg* announcements() const;
    LoginDlg* loginDialog() const;
    ShowViewSetDlg* columnSetup() const;
    Min_Price_List_Dlg* tickList() const;
    Detail_Trans_Dlg* tradePanel() const;
    Buying_dlg* quickBuy() const;
    mainwnd::IdleLock* idleLock() const;
    Selling_dlg* quickSell() const;
    KeysHelpDlg* keysHelp() const;
    mainwnd::Watchers* watchers() const { return m_watchers; }
    JListCtrl* basicList() const { return m_basicList; }
    JListCtrl* extendedList() const { return m_extendedList; }
    CKBarCtrl* klineChart() const { return m_charts.Candles(); }
    CKBarCtrl* timeshareChart() const { return m_charts.Timeline(); }
    CHtmlCtrl* infoPage() const;
    QMenu* dropMenu(int buttonId) const;
    market::ItemFinder* finder() const;

    // The refresh step of timer 1 and the refresh command.
    void refresh();

    // Makes `code` the item every market view follows and remembers it for the next start;
    // the views empty until its first replies. A code of 0 changes nothing.
    void chooseItem(int code);

    // Whether the overview shows only the trader's watchlist.
    bool watchlistShown() const { return m_watchlistShown; }

    // The status band: what the overview shows and the last answer to a key, then at its
    // right the line in use, the time of the last market reply and the account.
    QString statusText() const;
    QString liveText() const { return m_band.liveText(); }
    static constexpr qint64 kQuotesLateMs = mainwnd::StatusBand::kQuotesLateMs;
    bool quotesLate() const { return m_band.quotesLate(); }
    // The clock of the band, in ms since the epoch; tests set their own.
    void setClockForTest(std::function<qint64()> now) { m_band.setClock(std::move(now)); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    using Command = mainwnd::MarketActions::Command;

    void createControls();
    void connectActions();
    void initialise();
    CButtonBMP* addButton(int id, Command command, const QString& caption, const QRect& edges, int imageBase);
    QMenu* addMenu(int buttonId, std::initializer_list<Command> commands);
    void popUpMenu(int buttonId);

    // Opens the code finder on a typed letter or digit; false for any other key.
    bool startFinder(const QKeyEvent& event);
    void showChartTab(int tab);
    void stepItem(int step);
    void selectOverviewTab(int k);
    void selectChartTab(int k);
    void selectPeriodAt(const QPoint& point);
    void stepPeriod(int step);
    void setTabFlag(int k);
    void setChartMode(bool on);
    void showOverviewMode();
    void showWatchlist(bool only);
    void changeWatchlist(int code, bool add);
    void openSelectedItem();
    void noteMarketReply();
    QRect statusBand() const;
    // The watchlist's size while the overview shows only it.
    std::optional<std::size_t> watchlistCount() const;
    // The menu a right click on an overview row opens for that row's item.
    QMenu* watchlistMenu(int row);
    void showChartView(int tab);
    void showInformationView();
    void showAnnouncements();
    void showOverviewList(int tab);
    void confirmExit();
    // The views follow the session's current item.
    void followCurrentItem();
    // At the first listing of the items: the item chosen at the last run, when still listed.
    void restoreChosenItem();
    void drawPeriodBar(QPainter& p);
    void showTradePanelAtStartUp();
    void makeTradePanel();

    QWidget* m_loginWindow;
    int m_w = 0;
    int m_h = 0;
    QFont m_font;
    bool m_chartMode = false;
    mainwnd::MarketTabs m_tabs;
    chart::PeriodBar::Flags m_periodFlags{};
    int m_visibleBarCount = 0;
    std::optional<int> m_remembered; // the last run's item, until the items are first listed
    bool m_chosenItemUnsaved = false;
    bool m_watchlistShown = false;
    QMenu* m_watchlistMenu = nullptr;
    mainwnd::StatusBand m_band;
    QTimer m_bandTimer; // keeps the band's time and colour current
    mainwnd::MarketActions* m_actions = nullptr;
    mainwnd::TradeWindows* m_trading = nullptr;
    mainwnd::MarketDialogs* m_dialogs = nullptr;
    mainwnd::ItemViews* m_views = nullptr;
    mainwnd::Watchers* m_watchers = nullptr;

    std::unique_ptr<CUPdate_thread> m_poller;
    QTimer m_timer1; // refresh of the visible view, every 5000 ms
    QTimer m_timer8; // usable cash, every 1500 ms while logged in

    JListCtrl* m_basicList = nullptr;
    JListCtrl* m_extendedList = nullptr;
    chart::MarketCharts m_charts;
    std::array<QMenu*, 3> m_menus{};
    QPointer<Show_Message_Dlg> m_announcements;
    QPointer<market::ItemFinder> m_finder;
    std::unique_ptr<market::Overview> m_overview;
};
