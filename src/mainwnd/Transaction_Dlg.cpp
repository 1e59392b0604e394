#include "mainwnd/Transaction_Dlg.h"

#include <algorithm>

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include "app/CHtmlCtrl.h"
#include "app/Show_Message_Dlg.h"
#include "session/Session.h"
#include "chart/CKBarCtrl.h"
#include "chart/ChartMath.h"
#include "chart/IndicatorActions.h"
#include "client/CodePage.h"
#include "client/SettingsFolder.h"
#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "market/core/CUPdate_thread.h"
#include "market/core/ChosenItem.h"
#include "market/core/Watchlist.h"
#include "market/Min_Price_List_Dlg.h"
#include "market/ItemFinder.h"
#include "market/Overview.h"
#include "market/core/Pollers.h"
#include "market/Right_Msg_Dlg.h"
#include "controls/ColumnWidths.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/ItemViews.h"
#include "mainwnd/MarketDialogs.h"
#include "mainwnd/TradeWindows.h"
#include "mainwnd/Watchers.h"
#include "mainwnd/WatchlistChange.h"
#include "platform/Bitmaps.h"
#include "platform/core/Colours.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/SaveFile.h"
#include "platform/core/CrossThread.h"
#include "platform/Windows.h"
#include "platform/WorkArea.h"
#include "trade/Buying_dlg.h"
#include "trade/Selling_dlg.h"

namespace {

const QColor kGround(32, 32, 32);
const QColor kBand(56, 56, 56);
constexpr int kDailyPeriodIndex = 7;

} // namespace

Transaction_Dlg::Transaction_Dlg(QWidget* loginWindow)
    : QWidget(loginWindow, Qt::Window | Qt::FramelessWindowHint)
    , m_loginWindow(loginWindow)
    , m_font(platform::font(QStringLiteral("宋体"), 20))
    , m_tabs(platform::workArea().height())
{
    setObjectName(QStringLiteral("Transaction_Dlg"));
    setWindowTitle(QStringLiteral("   Velmora"));
    setWindowIcon(platform::appIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    const QRect area = platform::workArea();
    m_w = area.width();
    m_h = area.height();
    m_periodFlags[kDailyPeriodIndex] = 1;
    // Narrower screens than 1366 pixels keep the same rule; the chart falls back to 40
    // slots when that leaves none.
    m_visibleBarCount = chart::visibleBarCountFor(m_w);
    setGeometry(area);
    if (m_w < 1366) {
        platform::messageBox(nullptr, QStringLiteral("屏幕分辨率太小，影响软件使用"));
    }

    m_actions = new mainwnd::MarketActions(this);
    m_trading = new mainwnd::TradeWindows(this);
    m_dialogs = new mainwnd::MarketDialogs(this);
    connectActions();
    createControls();
    initialise();
}

Transaction_Dlg::~Transaction_Dlg()
{
    // Loaders reach the views: the poller goes first.
    m_poller.reset();
}

CButtonBMP* Transaction_Dlg::addButton(int id, Command command, const QString& caption, const QRect& edges,
                                       int imageBase)
{
    auto* button = CButtonBMP::Create(this, id, caption, {imageBase, imageBase + 1, imageBase + 2}, edges);
    button->setTextColours(platform::TextOnDark, QColor(255, 255, 255));
    button->setFont(platform::font(QStringLiteral("宋体"), 14));
    QAction* action = m_actions->action(command);
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    return button;
}

QMenu* Transaction_Dlg::addMenu(int buttonId, std::initializer_list<Command> commands)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("menu%1").arg(buttonId));
    for (const Command command : commands)
        menu->addAction(m_actions->action(command));
    return menu;
}

void Transaction_Dlg::popUpMenu(int buttonId)
{
    const QWidget* button = findChild<QWidget*>(QString::number(buttonId));
    dropMenu(buttonId)->popup(mapToGlobal(button->geometry().bottomLeft() + QPoint(0, 1)));
}

void Transaction_Dlg::connectActions()
{
    const auto on = [this](Command command, auto&& slot) {
        connect(m_actions->action(command), &QAction::triggered, this, std::forward<decltype(slot)>(slot));
    };
    on(Command::Exit, [this] { confirmExit(); });
    on(Command::Minimise, [this] { showMinimized(); });
    on(Command::Trade, [this] { m_trading->toggleTradePanel(); });
    on(Command::SystemMenu, [this] { popUpMenu(kMenuSystem); });
    on(Command::AnalysisMenu, [this] { popUpMenu(kMenuAnalysis); });
    on(Command::HelpMenu, [this] { popUpMenu(kMenuHelp); });
    on(Command::SystemStatus, [this] { m_dialogs->showSystemStatus(); });
    on(Command::About, [this] { m_dialogs->showAbout(); });
    on(Command::KeysHelp, [this] { m_dialogs->showKeysHelp(); });
    on(Command::Announcements, [this] { showAnnouncements(); });
    on(Command::Overview, [this] { showWatchlist(false); });
    on(Command::Watchlist, [this] { showWatchlist(true); });
    on(Command::QuickBuy, [this] { m_trading->showQuickOrder(mainwnd::TradeWindows::Side::Buy); });
    on(Command::QuickSell, [this] { m_trading->showQuickOrder(mainwnd::TradeWindows::Side::Sell); });
    on(Command::Timeshare, [this] { showChartView(0); });
    on(Command::Kline, [this] { showChartView(1); });
    on(Command::Information, [this] { showInformationView(); });
    on(Command::Refresh, [this] { refresh(); });
    on(Command::BasicList, [this] { showOverviewList(0); });
    on(Command::ExtendedList, [this] { showOverviewList(1); });
    on(Command::ColumnSetup, [this] { m_dialogs->showColumnSetup(); });
    on(Command::Ticks, [this] { showChartTab(3); });
    on(Command::PriceTable, [this] { showChartTab(4); });
    on(Command::SwitchChart, [this] {
        showChartView(m_charts.Visible() == chart::MarketCharts::View::Timeline ? 1 : 0);
    });
    on(Command::PreviousPeriod, [this] { stepPeriod(-1); });
    on(Command::NextPeriod, [this] { stepPeriod(1); });
    on(Command::PreviousItem, [this] { stepItem(-1); });
    on(Command::NextItem, [this] { stepItem(1); });
    on(Command::SelectionUp, [this] { m_overview->moveSelection(-1); });
    on(Command::SelectionDown, [this] { m_overview->moveSelection(1); });
    on(Command::SelectionPageUp, [this] { m_overview->moveSelection(-m_overview->pageRows()); });
    on(Command::SelectionPageDown, [this] { m_overview->moveSelection(m_overview->pageRows()); });
    on(Command::OpenSelected, [this] { openSelectedItem(); });
    on(Command::AddToWatchlist, [this] { changeWatchlist(m_overview->selectedCode(), true); });
    on(Command::RemoveFromWatchlist, [this] { changeWatchlist(m_overview->selectedCode(), false); });
}

void Transaction_Dlg::createControls()
{
    const int W = m_w;
    namespace bmp = platform::bmp;
    addButton(kClose, Command::Exit, QString(), platform::edges(W - 40, 0, W - 8, 28), bmp::CloseButton);
    addButton(kMinimise, Command::Minimise, QString(), platform::edges(W - 80, 0, W - 48, 28), bmp::MinimiseButton);
    addButton(kTrade, Command::Trade, QString(), platform::edges(W - 160, 0, W - 140, 28), bmp::TradeButton);
    addButton(kMenuSystem, Command::SystemMenu, QStringLiteral("系统"), platform::edges(5, 0, 73, 28), bmp::MenuButton);
    addButton(kMenuAnalysis, Command::AnalysisMenu, QStringLiteral("分析"), platform::edges(74, 0, 142, 28),
              bmp::MenuButton);
    addButton(kMenuHelp, Command::HelpMenu, QStringLiteral("帮助"), platform::edges(143, 0, 211, 28), bmp::MenuButton);

    struct Tool
    {
        int id;
        Command command;
        const char* caption;
        int left;
    };
    static constexpr Tool kTools[] = {
        {kOverview, Command::Overview, "行情", 5},         {kToolWatchlist, Command::Watchlist, "自选", 64},
        {kQuickBuy, Command::QuickBuy, "买入", 134},       {kQuickSell, Command::QuickSell, "卖出", 193},
        {kToolTimeshare, Command::Timeshare, "分时", 263}, {kToolKline, Command::Kline, "K线", 322},
        {kToolInfo, Command::Information, "资料", 381},    {kRefresh, Command::Refresh, "刷新", 440}};
    for (const Tool& t : kTools)
        addButton(t.id, t.command, QString::fromUtf8(t.caption), platform::edges(t.left, 29, t.left + 60, 77),
                  bmp::ToolButton);

    m_menus[0] = addMenu(kMenuSystem, {Command::SystemStatus, Command::FillNotices, Command::PriceAlerts, Command::Exit});
    m_menus[1] = addMenu(kMenuAnalysis, {Command::Timeshare, Command::Kline});
    m_menus[2] = addMenu(kMenuHelp, {Command::KeysHelp, Command::About});

    auto makeList = [this](int id) {
        auto* list = new JListCtrl(this);
        market::Overview::styleList(list, id);
        list->setGeometry(platform::edges(28, 77, m_w, 700));
        // Apart from the column file, which the column set-up rewrites: see ColumnWidths.h.
        list->keepUserWidths();
        list->keepUserSort(); // a click on a caption ranks the items by that column
        // The window takes the keys: a list would keep the typed letters to itself.
        list->setFocusPolicy(Qt::NoFocus);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
            const int row = list->rowAt(at.y());
            if (row >= 0)
                watchlistMenu(row)->popup(list->viewport()->mapToGlobal(at));
        });
        return list;
    };
    m_basicList = makeList(kListBasic);
    m_extendedList = makeList(kListExtended);
    m_extendedList->hide();
    m_overview = std::make_unique<market::Overview>(m_basicList, m_extendedList);
    connect(m_overview.get(), &market::Overview::timeShareRequested, this, [this](int code) {
        chooseItem(code);
        m_actions->action(Command::Timeshare)->trigger();
    });
    connect(m_overview.get(), &market::Overview::itemsListed, this, &Transaction_Dlg::restoreChosenItem);
}

void Transaction_Dlg::initialise()
{
    const client::SettingsFolder settings = client::settingsFolder();
    m_charts.Create(this, chartRect(), m_visibleBarCount, settings.dir());
    // Every list reads the widths file for itself; a broken one is named once, here.
    if (const auto widths = controls::readColumnWidths(settings.dir()); !widths.failed.empty())
        platform::messageBox(this, QString::fromStdString(controls::columnWidthsProblemText(widths.failed)),
                             platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    m_menus[1]->addSeparator();
    m_charts.indicators()->addTo(m_menus[1]);
    m_menus[1]->addSeparator();
    m_menus[1]->addAction(m_charts.drawingToolsAction());

    m_views = new mainwnd::ItemViews(this, chartRect());
    connect(m_views, &mainwnd::ItemViews::quotePanelMade, m_trading, &mainwnd::TradeWindows::followQuotePanel);

    // The column file of the working folder decides the columns and the overview tabs.
    setOverviewTabCount(m_overview->buildColumnsFromFile(settings.dir()));
    // Taken up once the overview lists it: until then the terminal asks for the first item.
    const client::SettingsRead<int> chosen = market::readChosenItem(settings.dir());
    m_remembered = chosen.value;
    if (!chosen.failed.empty())
        platform::messageBox(this, QString::fromStdString(market::chosenItemProblemText(chosen.failed)),
                             platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    const market::WatchlistFile watchlist = market::readWatchlist(settings.dir());
    Session::current().setWatchlist(watchlist.codes);
    if (!watchlist.failed.empty())
        platform::messageBox(this, QString::fromStdString(market::watchlistProblemText(watchlist.failed)),
                             platform::MsgButtons::Ok, platform::MsgIcon::Warning);

    m_poller = std::make_unique<CUPdate_thread>(Session::current());
    market::Overview* overview = m_overview.get();
    m_poller->overview().connect(
        overview, [overview](const std::string& reply) { return overview->read(reply); },
        [overview](const market::OverviewReply& reply) { overview->show(reply); });
    m_poller->candles().connect(this, chart::CandleReader(),
                                [this](const chart::CandleBatch& batch) { m_charts.applyCandles(batch); });
    m_poller->timeline().connect(this, chart::TimelineReader(),
                                 [this](const chart::TimelineBatch& batch) { m_charts.applyTimeline(batch); });
    m_poller->replied().connect(this, [this] { noteMarketReply(); });
    m_poller->announcementsDue().connect(this, [this] { showAnnouncements(); });
    m_poller->tradePanelDue().connect(this, [this] { showTradePanelAtStartUp(); });
    if (!m_poller->start()) {
        platform::messageBox(this, QString::fromUtf8(market::kThreadStartFailedText), platform::MsgButtons::Ok,
                             platform::MsgIcon::Error);
        return;
    }
    if (Session::current().loggedIn())
        makeTradePanel();
    m_watchers = new mainwnd::Watchers(this, m_overview.get());
    if (!m_announcements) {
        m_announcements = new Show_Message_Dlg(this);
    }
    // No pause for the poller's thread to come up: a request waits in its queue until it
    // does, so the overview is the first request as before and the window never stalls.
    m_poller->requestOverview(market::MarketRequest::OverviewBasic);
    m_poller->requestStartUp();
    if (m_loginWindow)
        m_loginWindow->hide();

    m_timer8.setInterval(1500);
    connect(&m_timer8, &QTimer::timeout, this, [this] {
        if (Session::current().loggedIn())
            m_poller->requestUsableCash();
    });
    m_timer8.start();
    m_band.setClock([] { return QDateTime::currentMSecsSinceEpoch(); });
    m_bandTimer.setInterval(1000);
    connect(&m_bandTimer, &QTimer::timeout, this, [this] { update(statusBand()); });
    m_bandTimer.start();
    m_timer1.setInterval(5000);
    connect(&m_timer1, &QTimer::timeout, this, &Transaction_Dlg::refresh);
    m_timer1.start();
}

Right_Msg_Dlg* Transaction_Dlg::quotePanel() const { return m_views->quotePanel(); }

Show_Message_Dlg* Transaction_Dlg::announcements() const { return m_announcements; }

LoginDlg* Transaction_Dlg::loginDialog() const
{
    return m_trading->loginDialog();
}

ShowViewSetDlg* Transaction_Dlg::columnSetup() const
{
    return m_dialogs->columnSetup();
}

Min_Price_List_Dlg* Transaction_Dlg::tickList() const { return m_views->tickList(); }

CHtmlCtrl* Transaction_Dlg::infoPage() const { return m_views->infoPage(); }

Detail_Trans_Dlg* Transaction_Dlg::tradePanel() const
{
    return m_trading->tradePanel();
}

Buying_dlg* Transaction_Dlg::quickBuy() const { return m_trading->quickBuy(); }

mainwnd::IdleLock* Transaction_Dlg::idleLock() const { return m_trading->idleLock(); }

Selling_dlg* Transaction_Dlg::quickSell() const { return m_trading->quickSell(); }

KeysHelpDlg* Transaction_Dlg::keysHelp() const { return m_dialogs->keysHelp(); }

market::ItemFinder* Transaction_Dlg::finder() const { return m_finder; }

QRect Transaction_Dlg::chartRect() const
{
    return platform::edges(29, 105, m_w - 320, m_h - 29);
}

QRect Transaction_Dlg::periodCell(int i) const
{
    return QRect(28 + 60 * i, 77, 60, 28);
}

void Transaction_Dlg::setOverviewTabCount(int count)
{
    m_tabs.setOverviewCount(count);
    update();
}

QMenu* Transaction_Dlg::dropMenu(int buttonId) const
{
    return findChild<QMenu*>(QStringLiteral("menu%1").arg(buttonId), Qt::FindDirectChildrenOnly);
}

void Transaction_Dlg::showTradePanelAtStartUp() { m_trading->showTradePanelAtStartUp(); }

void Transaction_Dlg::makeTradePanel() { m_trading->makeTradePanel(); }

void Transaction_Dlg::showEvent(QShowEvent* event)
{
    // Owned by the login window, which hides while this one shows.
    platform::giveTaskbarButton(this);
    QWidget::showEvent(event);
}

void Transaction_Dlg::showAnnouncements()
{
    if (!m_announcements)
        m_announcements = new Show_Message_Dlg(this);
    const int cx = m_w / 2;
    const int cy = m_h / 2;
    mainwnd::MarketDialogs::showAt(m_announcements, platform::edges(cx - 277, cy - 174, cx + 323, cy + 226));
}

void Transaction_Dlg::showOverviewList(int tab)
{
    setTabFlag(tab);
    (tab == 0 ? m_basicList : m_extendedList)->show();
    (tab == 0 ? m_extendedList : m_basicList)->hide();
    refresh();
}

void Transaction_Dlg::confirmExit()
{
    const auto answer = platform::messageBox(this, QStringLiteral("是否确认退出"), platform::MsgButtons::YesNo,
                                             platform::MsgIcon::Question);
    if (answer != platform::MsgResult::Yes)
        return;
    // Destroying the login window ends the application's run.
    if (m_loginWindow)
        m_loginWindow->deleteLater();
    else
        deleteLater();
}

void Transaction_Dlg::refresh()
{
    if (!m_poller || !m_poller->isRunning())
        return;
    if (m_chartMode) {
        if (m_charts.Visible() == chart::MarketCharts::View::Timeline)
            m_poller->requestTimeline(Session::current().currentItem());
        if (m_charts.Visible() == chart::MarketCharts::View::Candles)
            m_poller->requestCandles(Session::current().currentItem(), periodCode());
    } else {
        if (m_tabs.isCurrent(0))
            m_poller->requestOverview(market::MarketRequest::OverviewBasic);
        if (m_tabs.isCurrent(1))
            m_poller->requestOverview(market::MarketRequest::OverviewExtended);
    }
}

void Transaction_Dlg::setTabFlag(int k)
{
    m_tabs.setCurrent(k);
    if (m_overview && !m_chartMode)
        m_overview->setCurrentTab(k == 0 ? market::Overview::Tab::Basic
                                         : k == 1 ? market::Overview::Tab::Extended : market::Overview::Tab::Other);
    update(m_tabs.area());
}

void Transaction_Dlg::selectOverviewTab(int k)
{
    if (k == 0 || k == 1) {
        m_actions->action(k == 0 ? Command::BasicList : Command::ExtendedList)->trigger();
        return;
    }
    setTabFlag(k);
    if (k == m_tabs.overviewCount())
        m_actions->action(Command::ColumnSetup)->trigger();
}

void Transaction_Dlg::selectChartTab(int k)
{
    setTabFlag(k);
    switch (k) {
    case 0:
        m_views->hideInformationPage();
        m_views->hideTickList();
        m_charts.showTimeline(m_periodFlags);
        update(QRect(28, 77, m_w - 348, 28));
        if (m_poller)
            m_poller->requestTimeline(Session::current().currentItem());
        break;
    case 1: {
        m_views->hideInformationPage();
        m_views->hideTickList();
        const int code = m_charts.showCandles(m_periodFlags);
        update(QRect(28, 77, m_w - 348, 28));
        if (m_poller)
            m_poller->requestCandles(Session::current().currentItem(), code);
        break;
    }
    case 2:
        m_charts.hideBoth();
        m_views->hideTickList();
        m_views->loadInformationPage();
        break;
    case 3:
        m_views->showTickList(0);
        break;
    case 4:
        m_views->showTickList(2);
        break;
    default:
        break;
    }
}

void Transaction_Dlg::chooseItem(int code)
{
    m_remembered.reset(); // the user's choice wins over the last run's
    if (code <= 0 || !Session::current().setCurrentItem(code))
        return;
    // Told once: a folder that cannot be written stays so for every later switch.
    const client::SettingsFolder settings = client::settingsFolder();
    if (!market::writeChosenItem(settings.dir(), code) && !std::exchange(m_chosenItemUnsaved, true))
        platform::reportSaveFailed(this, QString::fromStdString(settings.pathOf(market::kChosenItemFile).string()));
    followCurrentItem();
}

void Transaction_Dlg::restoreChosenItem()
{
    const std::optional<int> code = std::exchange(m_remembered, std::nullopt);
    if (!code || !Session::current().findItem(*code) || !Session::current().setCurrentItem(*code))
        return;
    followCurrentItem();
}

void Transaction_Dlg::followCurrentItem()
{
    const market::CurrentItem item = Session::current().currentItem();
    m_charts.showItem(item);
    m_views->follow(item);
    // The chart on show asks at once rather than at the next tick of timer 1.
    refresh();
}

void Transaction_Dlg::showOverviewMode()
{
    m_dialogs->hideForOverview();
    m_views->hideAll();
    for (QWidget* w : {static_cast<QWidget*>(tradePanel()), static_cast<QWidget*>(quickBuy()),
                       static_cast<QWidget*>(quickSell())}) {
        if (w)
            w->hide();
    }
    m_charts.hideBoth();
    setChartMode(false);
    selectOverviewTab(0);
    update();
}

void Transaction_Dlg::setChartMode(bool on)
{
    m_chartMode = on;
    m_actions->setMode(m_chartMode, m_watchlistShown);
}

void Transaction_Dlg::showWatchlist(bool only)
{
    showOverviewMode();
    m_watchlistShown = only;
    m_actions->setMode(m_chartMode, m_watchlistShown);
    m_overview->showOnly(only ? std::optional(Session::current().watchlist()) : std::nullopt);
    update(); // the status band's hint
}

QMenu* Transaction_Dlg::watchlistMenu(int row)
{
    const int code = m_overview->codeAt(row);
    const std::vector<int> codes = Session::current().watchlist();
    m_overview->selectRow(row);
    if (!m_watchlistMenu) {
        m_watchlistMenu = new QMenu(this);
        m_watchlistMenu->addAction(m_actions->action(Command::AddToWatchlist));
        m_watchlistMenu->addAction(m_actions->action(Command::RemoveFromWatchlist));
        m_watchlistMenu->addAction(m_actions->action(Command::PriceAlerts));
        // Queued: a chosen entry triggers only after the menu has hidden.
        connect(m_watchlistMenu, &QMenu::aboutToHide, m_actions, &mainwnd::MarketActions::endRowOffer,
                Qt::QueuedConnection);
    }
    m_actions->offerForRow(code != 0, std::find(codes.begin(), codes.end(), code) != codes.end());
    return m_watchlistMenu;
}

void Transaction_Dlg::changeWatchlist(int code, bool add)
{
    update(statusBand());
    const std::vector<int> codes = Session::current().watchlist();
    const bool changes = code != 0 && (std::find(codes.begin(), codes.end(), code) != codes.end()) != add;
    m_band.setNote(mainwnd::changeWatchlist(this, code, add));
    if (changes && m_watchlistShown)
        showWatchlist(true);
}

void Transaction_Dlg::openSelectedItem()
{
    if (const int code = m_overview->selectedCode()) {
        chooseItem(code);
        m_actions->action(Command::Timeshare)->trigger();
    }
}

void Transaction_Dlg::noteMarketReply()
{
    m_band.noteMarketReply();
    update(statusBand());
}

QRect Transaction_Dlg::statusBand() const
{
    return platform::edges(0, m_h - 28, m_w, m_h);
}

std::optional<std::size_t> Transaction_Dlg::watchlistCount() const
{
    if (m_chartMode || !m_watchlistShown)
        return std::nullopt;
    return Session::current().watchlist().size();
}

QString Transaction_Dlg::statusText() const
{
    return m_band.statusText(watchlistCount());
}

void Transaction_Dlg::showChartView(int tab)
{
    setChartMode(true);
    selectChartTab(tab);
    m_basicList->hide();
    m_extendedList->hide();
    m_views->showQuotePanel();
    update();
}

void Transaction_Dlg::showInformationView()
{
    m_views->showQuotePanel();
    setChartMode(true);
    m_charts.hideBoth();
    m_basicList->hide();
    m_extendedList->hide();
    selectChartTab(2);
    update();
}

void Transaction_Dlg::selectPeriodAt(const QPoint& point)
{
    m_periodFlags = chart::PeriodBar::flagsForPress(point);
    m_views->hideTickList();
    update(QRect(28, 77, m_w - 348, 28));
    showChartView(1);
}

// The period beside the current one in the bar's order, on the K-line; stops at either end.
void Transaction_Dlg::stepPeriod(int step)
{
    const int index = std::clamp(periodCode() - 1 + step, 0, kPeriodCount - 1);
    m_periodFlags = {};
    m_periodFlags[std::size_t(index)] = 1;
    m_views->hideTickList();
    update(QRect(28, 77, m_w - 348, 28));
    showChartView(1);
}

void Transaction_Dlg::drawPeriodBar(QPainter& p)
{
    p.drawImage(chart::PeriodBar::kOrigin,
                chart::PeriodBar::Render(m_w, m_periodFlags, platform::font(QStringLiteral("宋体"), 14),
                                         devicePixelRatioF()));
}

void Transaction_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (isMinimized()) {
        const QImage icon = platform::bitmap(platform::bmp::AppIcon);
        const QSize size = icon.deviceIndependentSize().toSize();
        const QPoint at((width() - size.width()) / 2, (height() - size.height()) / 2);
        p.drawImage(at, icon);
        p.setPen(platform::TextOnDark);
        p.drawText(at.x() + size.width() + 20, at.y() + size.height() / 2, QStringLiteral("Velmora"));
        return;
    }
    p.fillRect(rect(), kGround);
    p.fillRect(platform::edges(0, 29, m_w, 77), kBand);
    p.fillRect(statusBand(), kBand);
    m_band.paint(p, statusBand(), m_font, watchlistCount());
    p.drawImage(platform::edges(0, 0, m_w, 28), platform::bitmap(platform::bmp::TitleBar));
    p.setPen(platform::TextOnDark);
    p.drawText(QRect(m_w - 203, 2, 44, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("交易"));
    m_tabs.draw(p, m_font, m_chartMode);
    if (m_chartMode)
        drawPeriodBar(p);
}

void Transaction_Dlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    const int tab = m_tabs.tabAt(pos, m_chartMode);
    if (m_chartMode && tab >= 0)
        selectChartTab(tab);
    else if (m_chartMode && chart::PeriodBar::Area().contains(pos))
        selectPeriodAt(pos);
    else if (!m_chartMode && tab >= 0)
        selectOverviewTab(tab);
}

void Transaction_Dlg::showChartTab(int tab)
{
    // The tick windows lie over the foot of a chart: from the overview, over the time-share one.
    if (!m_chartMode)
        showChartView(0);
    selectChartTab(tab);
    update();
}

void Transaction_Dlg::stepItem(int step)
{
    const std::optional<int> next =
        market::neighbourItem(Session::current().items().entries(), Session::current().currentItem().code, step);
    if (next)
        chooseItem(*next);
}

bool Transaction_Dlg::startFinder(const QKeyEvent& event)
{
    const QString text = event.text();
    if (text.size() != 1 || text[0].unicode() > 127 || !text[0].isLetterOrNumber() ||
        (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (!m_finder) {
        m_finder = new market::ItemFinder(this);
        connect(m_finder, &market::ItemFinder::itemChosen, this, [this](int code) {
            chooseItem(code);
            m_actions->action(Command::Timeshare)->trigger();
        });
    }
    m_finder->setNameKeys(m_overview->nameKeys());
    // At the foot of the work area's right side, just above the status band.
    m_finder->start(text, mapToGlobal(QPoint(m_w - 1, m_h - 29)));
    return true;
}

void Transaction_Dlg::keyPressEvent(QKeyEvent* event)
{
    if (startFinder(*event)) {
        event->accept();
        return;
    }
    if (QAction* action = m_actions->forKey(event->key())) {
        event->accept();
        action->trigger();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // swallowed
        return;
    }
    // The K-line answers its keys wherever the focus is in the window, and so does the
    // time-share its ← and →.
    if (m_charts.Visible() == chart::MarketCharts::View::Candles && klineChart()->handleKey(event->key()))
        return;
    if (m_charts.Visible() == chart::MarketCharts::View::Timeline && timeshareChart()->handleKey(event->key()))
        return;
    QWidget::keyPressEvent(event);
}

void Transaction_Dlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    m_actions->action(Command::Exit)->trigger();
}
