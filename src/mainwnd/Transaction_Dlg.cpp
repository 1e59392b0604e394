#include "mainwnd/Transaction_Dlg.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QUrl>

#include "app/Aboxt_wineDlg.h"
#include "app/Announcements.h"
#include "app/CHtmlCtrl.h"
#include "app/LoginDlg.h"
#include "app/Show_Message_Dlg.h"
#include "app/Show_sys_statu_sdlg.h"
#include "session/Session.h"
#include "chart/CKBarCtrl.h"
#include "chart/ChartMath.h"
#include "chart/IndicatorActions.h"
#include "client/ApiReply.h"
#include "client/Call.h"
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
#include "market/ShowViewSetDlg.h"
#include "market/SingleItemQuote.h"
#include "controls/ColumnWidths.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/KeysHelpDlg.h"
#include "platform/Bitmaps.h"
#include "platform/core/Colours.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/SaveFile.h"
#include "platform/core/CrossThread.h"
#include "platform/Windows.h"
#include "platform/WorkArea.h"
#include "trade/Buying_dlg.h"
#include "trade/core/OrderChecks.h"
#include "trade/Selling_dlg.h"

namespace {

const QColor kGround(32, 32, 32);
const QColor kBand(56, 56, 56);
const QColor kTabCurrent(41, 41, 41);
const QColor kTabOther(66, 66, 66);
const QColor kStatusText(222, 222, 222);

constexpr const char* kChartTabLabels[Transaction_Dlg::kTabCount] = {"分时走势", "技术分析", "基本资料", "成交明细",
                                                                      "分价线"};
constexpr int kDailyPeriodIndex = 7;

QString Vertical(const char* utf8)
{
    const QString text = QString::fromUtf8(utf8);
    QStringList chars;
    for (const QChar c : text)
        chars << QString(c);
    return chars.join(QLatin1Char('\n'));
}

} // namespace

Transaction_Dlg::Transaction_Dlg(QWidget* loginWindow)
    : QWidget(loginWindow, Qt::Window | Qt::FramelessWindowHint)
    , m_loginWindow(loginWindow)
    , m_font(platform::font(QStringLiteral("宋体"), 20))
    , m_now([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    setObjectName(QStringLiteral("Transaction_Dlg"));
    setWindowTitle(QStringLiteral("   Velmora"));
    setWindowIcon(platform::appIcon());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    const QRect area = platform::workArea();
    m_w = area.width();
    m_h = area.height();
    const int e = (m_h - 106) / 5;
    for (int k = 0; k < kTabCount; ++k)
        m_tabRects[k] = platform::edges(0, 78 + k * e, 28, 77 + (k + 1) * e);
    m_tabFlags[0] = true;
    m_periodFlags[kDailyPeriodIndex] = 1;
    // Narrower screens than 1366 pixels keep the same rule; the chart falls back to 40
    // slots when that leaves none.
    m_visibleBarCount = chart::visibleBarCountFor(m_w);
    setGeometry(area);
    if (m_w < 1366) {
        platform::messageBox(nullptr, QStringLiteral("屏幕分辨率太小，影响软件使用"));
    }

    createControls();
    initialise();
}

Transaction_Dlg::~Transaction_Dlg()
{
    // Loaders reach the views: the poller goes first.
    m_poller.reset();
}

CButtonBMP* Transaction_Dlg::addButton(int id, const QString& caption, const QRect& edges, int imageBase)
{
    auto* button = CButtonBMP::Create(this, id, caption, {imageBase, imageBase + 1, imageBase + 2}, edges);
    button->setTextColours(platform::TextOnDark, QColor(255, 255, 255));
    button->setFont(platform::font(QStringLiteral("宋体"), 14));
    connect(button, &QPushButton::clicked, this, [this, id] { command(id); });
    return button;
}

QMenu* Transaction_Dlg::addMenu(int buttonId, const std::initializer_list<std::pair<const char*, int>>& items)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("menu%1").arg(buttonId));
    for (const auto& [text, id] : items) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setData(id);
        if (id != 0)
            connect(action, &QAction::triggered, this, [this, id = id] { command(id); });
    }
    return menu;
}

void Transaction_Dlg::createControls()
{
    const int W = m_w;
    addButton(kClose, QString(), platform::edges(W - 40, 0, W - 8, 28), platform::bmp::CloseButton);
    addButton(kMinimise, QString(), platform::edges(W - 80, 0, W - 48, 28), platform::bmp::MinimiseButton);
    addButton(kTrade, QString(), platform::edges(W - 160, 0, W - 140, 28), platform::bmp::TradeButton);
    addButton(kMenuSystem, QStringLiteral("系统"), platform::edges(5, 0, 73, 28), platform::bmp::MenuButton);
    addButton(kMenuAnalysis, QStringLiteral("分析"), platform::edges(74, 0, 142, 28), platform::bmp::MenuButton);
    addButton(kMenuHelp, QStringLiteral("帮助"), platform::edges(143, 0, 211, 28), platform::bmp::MenuButton);

    struct Tool
    {
        int id;
        const char* caption;
        int left;
    };
    static constexpr Tool kTools[] = {{kOverview, "行情", 5},       {kToolWatchlist, "自选", 64},
                                      {kQuickBuy, "买入", 134},    {kQuickSell, "卖出", 193},
                                      {kToolTimeshare, "分时", 263}, {kToolKline, "K线", 322},
                                      {kToolInfo, "资料", 381},    {kRefresh, "刷新", 440}};
    for (const Tool& t : kTools)
        addButton(t.id, QString::fromUtf8(t.caption), platform::edges(t.left, 29, t.left + 60, 77), platform::bmp::ToolButton);

    m_menus[0] = addMenu(kMenuSystem, {{"系统状态", ID_SYSTEM_STATUS}, {"退出系统", ID_EXIT}});
    m_menus[1] = addMenu(kMenuAnalysis, {{"分时走势", ID_VIEW_TIMESHARE}, {"技术分析", ID_VIEW_KLINE}});
    m_menus[2] = addMenu(kMenuHelp, {{"帮助", ID_HELP_KEYS}, {"关于", ID_ABOUT}});

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
        command(kToolTimeshare);
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

    m_infoPage = new CHtmlCtrl(this);
    m_infoPage->setObjectName(QString::number(kInfoPage));
    m_infoPage->setGeometry(platform::edges(29, 77, m_w - 320, m_h - 29));
    m_infoPage->hide();

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
    if (!m_announcements) {
        m_announcements = new Show_Message_Dlg(this);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
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
    m_startedMs = m_now();
    m_bandTimer.setInterval(1000);
    connect(&m_bandTimer, &QTimer::timeout, this, [this] { update(statusBand()); });
    m_bandTimer.start();
    m_timer1.setInterval(5000);
    connect(&m_timer1, &QTimer::timeout, this, &Transaction_Dlg::refresh);
    m_timer1.start();
}

Right_Msg_Dlg* Transaction_Dlg::quotePanel() const
{
    return m_quotePanel;
}

Show_Message_Dlg* Transaction_Dlg::announcements() const
{
    return m_announcements;
}

LoginDlg* Transaction_Dlg::loginDialog() const
{
    return m_loginDlg;
}

ShowViewSetDlg* Transaction_Dlg::columnSetup() const
{
    return m_columnSetup;
}

Min_Price_List_Dlg* Transaction_Dlg::tickList() const
{
    return m_tickList;
}

Detail_Trans_Dlg* Transaction_Dlg::tradePanel() const
{
    return m_tradePanel;
}

Buying_dlg* Transaction_Dlg::quickBuy() const { return m_quickBuy; }

Selling_dlg* Transaction_Dlg::quickSell() const { return m_quickSell; }

KeysHelpDlg* Transaction_Dlg::keysHelp() const { return m_keysHelp; }

market::ItemFinder* Transaction_Dlg::finder() const { return m_finder; }

QRect Transaction_Dlg::chartRect() const
{
    return platform::edges(29, 105, m_w - 320, m_h - 29);
}

QRect Transaction_Dlg::periodCell(int i) const
{
    return QRect(28 + 60 * i, 77, 60, 28);
}

int Transaction_Dlg::currentTab() const
{
    for (int k = 0; k < kTabCount; ++k) {
        if (m_tabFlags[k])
            return k;
    }
    return -1;
}

void Transaction_Dlg::setOverviewTabCount(int count)
{
    // The set-up tab is the one after the categories, and there are five tab places.
    m_overviewTabCount = std::clamp(count, 0, kTabCount - 1);
    update();
}

QMenu* Transaction_Dlg::dropMenu(int buttonId) const
{
    switch (buttonId) {
    case kMenuSystem: return m_menus[0];
    case kMenuAnalysis: return m_menus[1];
    case kMenuHelp: return m_menus[2];
    default: return nullptr;
    }
}

void Transaction_Dlg::command(int id)
{
    switch (id) {
    case kClose:
    case IDCANCEL:
    case ID_EXIT:
        confirmExit();
        break;
    case kMinimise:
        showMinimized();
        break;
    case kMenuSystem:
    case kMenuAnalysis:
    case kMenuHelp: {
        const QWidget* button = findChild<QWidget*>(QString::number(id));
        dropMenu(id)->popup(mapToGlobal(button->geometry().bottomLeft() + QPoint(0, 1)));
        break;
    }
    case ID_SYSTEM_STATUS:
        if (!m_status)
            m_status = new Show_sys_statu_sdlg(this);
        showWindowAt(m_status, platform::edges(150, 250, 750, 500));
        break;
    case ID_ABOUT:
        if (!m_about)
            m_about = new Aboxt_wineDlg(this);
        showWindowAt(m_about, platform::edges(250, 250, 850, 500));
        break;
    case ID_HELP_KEYS:
        if (!m_keysHelp)
            m_keysHelp = new KeysHelpDlg(this);
        showWindowAt(m_keysHelp, QRect(QPoint(250, 150), KeysHelpDlg::preferredSize()));
        m_keysHelp->activateWindow();
        m_keysHelp->setFocus();
        break;
    case ID_ANNOUNCEMENTS:
        showAnnouncements();
        break;
    case kOverview:
        showWatchlist(false);
        break;
    case kToolWatchlist:
        showWatchlist(true);
        break;
    case kToolTimeshare:
    case ID_VIEW_TIMESHARE:
        showChartView(0);
        break;
    case kToolKline:
    case ID_VIEW_KLINE:
        showChartView(1);
        break;
    case kToolInfo:
        showInformationView();
        break;
    case kRefresh:
        refresh();
        break;
    case kTrade:
        // The trade panel and the quick pop-ups open for a logged-in user only.
        toggleTradePanel();
        break;
    case kQuickBuy:
    case kQuickSell:
        // A locked panel guards the pop-ups too: the command brings up the lock instead.
        if (!requireLogin())
            break;
        if (m_tradePanel && m_tradePanel->isLocked())
            dockTradePanel();
        else
            showQuickOrder(id);
        break;
    case ID_COLUMN_SETUP:
        if (!m_columnSetup)
            m_columnSetup = new ShowViewSetDlg(client::settingsFolder().dir(), this);
        m_columnSetup->show();
        m_columnSetup->raise();
        break;
    case ID_TICK_LIST:
        showTickList(0);
        break;
    case ID_PRICE_TABLE:
        showTickList(2);
        break;
    case ID_BASIC_LIST:
        m_basicList->show();
        m_extendedList->hide();
        refresh();
        break;
    case ID_EXTENDED_LIST:
        m_extendedList->show();
        m_basicList->hide();
        refresh();
        break;
    default:
        break;
    }
}

bool Transaction_Dlg::requireLogin()
{
    if (Session::current().loggedIn())
        return true;
    if (!m_loginDlg)
        m_loginDlg = new LoginDlg(this);
    m_loginDlg->show();
    m_loginDlg->raise();
    m_loginDlg->activateWindow();
    return false;
}

void Transaction_Dlg::toggleTradePanel()
{
    if (!requireLogin())
        return;
    if (m_tradePanel && m_tradePanel->isVisible()) {
        m_tradePanel->hide(); // its function windows, and its lock, go with it
        return;
    }
    // A locked panel comes back under its lock.
    Detail_Trans_Dlg* panel = dockTradePanel();
    if (!panel->showsAWindow())
        panel->showBuyWindow();
}

void Transaction_Dlg::showTradePanelAtStartUp()
{
    if (Session::current().loggedIn())
        dockTradePanel()->showBuyWindow();
}

void Transaction_Dlg::makeTradePanel()
{
    if (m_tradePanel)
        return;
    m_tradePanel = new Detail_Trans_Dlg(this);
    connect(m_tradePanel, &Detail_Trans_Dlg::locked, this, &Transaction_Dlg::closeQuickOrders);
}

Detail_Trans_Dlg* Transaction_Dlg::dockTradePanel()
{
    makeTradePanel();
    m_tradePanel->dock();
    m_tradePanel->show();
    m_tradePanel->raise();
    return m_tradePanel;
}

void Transaction_Dlg::showQuickOrder(int id)
{
    // Created on first use (closing one destroys it), then shown with the item's code and
    // the quote's first ask or bid price.
    trade::QuickOrderDlg* popup = nullptr;
    if (id == kQuickBuy)
        popup = m_quickBuy ? m_quickBuy : (m_quickBuy = new Buying_dlg(this));
    else
        popup = m_quickSell ? m_quickSell : (m_quickSell = new Selling_dlg(this));
    popup->show();
    popup->raise();
    const int item = Session::current().currentItem().code;
    // Without a fresh quote the shared one may be another item's (the buy and sell windows
    // quote whatever code is typed there), and a quote without an ask or a bid has no price
    // to offer ("0.00" would go out as a price): either way the user types the price.
    QString priceText;
    if (market::requestSingleItemQuote(item, this) == market::QuoteOutcome::Updated) {
        const market::SingleItemQuote quote = Session::current().singleItemQuote();
        const float price = id == kQuickBuy ? quote.firstPrices[0] : quote.secondPrices[0];
        const QString text = QString::asprintf("%.2f", double(price));
        if (trade::priceOf(text.toStdString()) > 0.0)
            priceText = text;
    }
    popup->prefill(QString::number(item), priceText);
}

void Transaction_Dlg::closeQuickOrders()
{
    // Closing destroys them, with whatever was typed.
    if (m_quickBuy)
        m_quickBuy->close();
    if (m_quickSell)
        m_quickSell->close();
}

void Transaction_Dlg::showEvent(QShowEvent* event)
{
    // Owned by the login window, which hides while this one shows.
    platform::giveTaskbarButton(this);
    QWidget::showEvent(event);
}

void Transaction_Dlg::showWindowAt(QWidget* window, const QRect& edges)
{
    window->setGeometry(edges);
    window->show();
    window->raise();
}

void Transaction_Dlg::showAnnouncements()
{
    if (!m_announcements)
        m_announcements = new Show_Message_Dlg(this);
    const int cx = m_w / 2;
    const int cy = m_h / 2;
    showWindowAt(m_announcements, platform::edges(cx - 277, cy - 174, cx + 323, cy + 226));
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
        if (m_tabFlags[0])
            m_poller->requestOverview(market::MarketRequest::OverviewBasic);
        if (m_tabFlags[1])
            m_poller->requestOverview(market::MarketRequest::OverviewExtended);
    }
}

void Transaction_Dlg::showTickList(int mode)
{
    m_infoPage->hide();
    if (!m_tickList)
        m_tickList = new Min_Price_List_Dlg(this);
    const QRect chart = chartRect();
    m_tickList->setGeometry(QRect(QPoint(chart.left(), chart.bottom() + 1 - Min_Price_List_Dlg::kChartHeight),
                                  chart.bottomRight()));
    m_tickList->show();
    m_tickList->raise();
    m_tickList->showMode(static_cast<Min_Price_List_Dlg::Mode>(mode));
}

void Transaction_Dlg::hideTickList()
{
    if (m_tickList)
        m_tickList->hide();
}

void Transaction_Dlg::setTabFlag(int k)
{
    m_tabFlags.fill(false);
    m_tabFlags[k] = true;
    if (m_overview && !m_chartMode)
        m_overview->setCurrentTab(k == 0 ? market::Overview::Tab::Basic
                                         : k == 1 ? market::Overview::Tab::Extended : market::Overview::Tab::Other);
    update(QRect(0, 77, 28, m_h - 106));
}

void Transaction_Dlg::selectOverviewTab(int k)
{
    setTabFlag(k);
    if (k == 0)
        command(ID_BASIC_LIST);
    else if (k == 1)
        command(ID_EXTENDED_LIST);
    else if (k == m_overviewTabCount)
        command(ID_COLUMN_SETUP);
}

void Transaction_Dlg::selectChartTab(int k)
{
    setTabFlag(k);
    switch (k) {
    case 0:
        m_infoPage->hide();
        hideTickList();
        m_charts.showTimeline(m_periodFlags);
        update(QRect(28, 77, m_w - 348, 28));
        if (m_poller)
            m_poller->requestTimeline(Session::current().currentItem());
        break;
    case 1: {
        m_infoPage->hide();
        hideTickList();
        const int code = m_charts.showCandles(m_periodFlags);
        update(QRect(28, 77, m_w - 348, 28));
        if (m_poller)
            m_poller->requestCandles(Session::current().currentItem(), code);
        break;
    }
    case 2:
        m_charts.hideBoth();
        hideTickList();
        loadInformationPage();
        break;
    case 3:
        command(ID_TICK_LIST);
        break;
    case 4:
        command(ID_PRICE_TABLE);
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
    if (m_quotePanel)
        m_quotePanel->showItem(item);
    if (m_tickList && m_tickList->isVisible())
        m_tickList->showMode(m_tickList->mode());
    if (m_infoPage->isVisible())
        loadInformationPage();
    // The chart on show asks at once rather than at the next tick of timer 1.
    refresh();
}

void Transaction_Dlg::loadInformationPage()
{
    m_infoPage->clear(); // never one item's page under another's figures
    // A plain document whose "infor" is the page's address, not the trading envelope.
    const std::string reply =
        client::fetchText(client::Endpoint::StockInfo, {}, {"\n信息详情\n", "\n信息详情结束\n"});
    const std::optional<std::string> address = app::InformationPageAddress(reply);
    if (!address)
        return;
    m_infoPage->navigate(QUrl(QString::fromStdString(*address)));
    m_infoPage->show();
}

void Transaction_Dlg::showOverviewMode()
{
    for (QWidget* w : {static_cast<QWidget*>(m_status), static_cast<QWidget*>(m_about),
                       static_cast<QWidget*>(m_tickList), static_cast<QWidget*>(m_columnSetup),
                       static_cast<QWidget*>(m_quotePanel), static_cast<QWidget*>(m_infoPage),
                       static_cast<QWidget*>(m_tradePanel), static_cast<QWidget*>(m_quickBuy),
                       static_cast<QWidget*>(m_quickSell)}) {
        if (w)
            w->hide();
    }
    m_charts.hideBoth();
    m_chartMode = false;
    selectOverviewTab(0);
    update();
}

void Transaction_Dlg::showWatchlist(bool only)
{
    showOverviewMode();
    m_watchlistShown = only;
    m_overview->showOnly(only ? std::optional(Session::current().watchlist()) : std::nullopt);
    update(); // the status band's hint
}

QMenu* Transaction_Dlg::watchlistMenu(int row)
{
    const int code = m_overview->codeAt(row);
    const std::vector<int> codes = Session::current().watchlist();
    const bool kept = std::find(codes.begin(), codes.end(), code) != codes.end();
    m_overview->selectRow(row);
    if (!m_watchlistMenu)
        m_watchlistMenu = new QMenu(this);
    m_watchlistMenu->clear();
    m_watchlistMenu->addAction(QStringLiteral("加入自选"), this, [this, code] { changeWatchlist(code, true); })
        ->setEnabled(code != 0 && !kept);
    m_watchlistMenu->addAction(QStringLiteral("删除自选"), this, [this, code] { changeWatchlist(code, false); })
        ->setEnabled(kept);
    return m_watchlistMenu;
}

void Transaction_Dlg::changeWatchlist(int code, bool add)
{
    std::vector<int> codes = Session::current().watchlist();
    const auto at = std::find(codes.begin(), codes.end(), code);
    const std::optional<market::ItemEntry> item = Session::current().findItem(code);
    const QString named = QString::number(code) + (item ? QLatin1Char(' ') + QString::fromStdString(item->name) : QString());
    update(statusBand());
    if (code == 0) {
        m_statusNote = QStringLiteral("未选中商品：先用 ↑ ↓ 选中一行");
        return;
    }
    if (add == (at != codes.end())) {
        m_statusNote = (add ? QStringLiteral("已在自选中：") : QStringLiteral("不在自选中：")) + named;
        return;
    }
    if (add)
        codes.push_back(code);
    else
        codes.erase(at);
    Session::current().setWatchlist(codes);
    m_statusNote = (add ? QStringLiteral("已加入自选：") : QStringLiteral("已删除自选：")) + named;
    const client::SettingsFolder settings = client::settingsFolder();
    if (!market::writeWatchlist(settings.dir(), codes)) {
        m_statusNote += QStringLiteral("（未能保存）");
        platform::reportSaveFailed(this, QString::fromStdString(settings.pathOf(market::kWatchlistFile).string()));
    }
    if (m_watchlistShown)
        showWatchlist(true);
}

void Transaction_Dlg::noteMarketReply()
{
    m_lastReplyMs = m_now();
    update(statusBand());
}

void Transaction_Dlg::setClockForTest(std::function<qint64()> now)
{
    m_now = std::move(now);
    m_startedMs = m_now();
}

QRect Transaction_Dlg::statusBand() const
{
    return platform::edges(0, m_h - 28, m_w, m_h);
}

QString Transaction_Dlg::statusText() const
{
    QString text;
    if (!m_chartMode && m_watchlistShown) {
        const std::size_t count = Session::current().watchlist().size();
        text = count == 0 ? QStringLiteral("自选为空：在行情列表中选中一行，按 Insert 或右键“加入自选”")
                          : QStringLiteral("自选（%1）").arg(count);
    }
    if (!m_statusNote.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("　")) + m_statusNote;
    return text;
}

QString Transaction_Dlg::liveText() const
{
    const Session& session = Session::current();
    const auto lines = session.lines();
    const int line = std::clamp(session.lineIndex(), 0, int(lines.size()) - 1);
    QString text = QStringLiteral("线路：") + QString::fromStdString(lines[std::size_t(line)].label);
    text += QStringLiteral("　行情：") +
            (m_lastReplyMs < 0 ? QStringLiteral("--:--:--")
                               : QDateTime::fromMSecsSinceEpoch(m_lastReplyMs).toString(QStringLiteral("HH:mm:ss")));
    text += session.loggedIn() ? QStringLiteral("　账户：") + QString::fromStdString(session.userId())
                               : QStringLiteral("　未登录");
    return text;
}

bool Transaction_Dlg::quotesLate() const
{
    return m_now() - (m_lastReplyMs < 0 ? m_startedMs : m_lastReplyMs) > kQuotesLateMs;
}

void Transaction_Dlg::showQuotePanel()
{
    if (!m_quotePanel) {
        m_quotePanel = new Right_Msg_Dlg(this, m_w, m_h);
        m_quotePanel->initialise();
    }
    const QRect chart = chartRect();
    m_quotePanel->move(chart.right() + 1, chart.top() - 28);
    m_quotePanel->show();
    m_quotePanel->raise();
}

void Transaction_Dlg::showChartView(int tab)
{
    m_chartMode = true;
    selectChartTab(tab);
    m_basicList->hide();
    m_extendedList->hide();
    showQuotePanel();
    update();
}

void Transaction_Dlg::showInformationView()
{
    showQuotePanel();
    m_chartMode = true;
    m_charts.hideBoth();
    m_basicList->hide();
    m_extendedList->hide();
    selectChartTab(2);
    update();
}

void Transaction_Dlg::selectPeriodAt(const QPoint& point)
{
    m_periodFlags = chart::PeriodBar::flagsForPress(point);
    hideTickList();
    update(QRect(28, 77, m_w - 348, 28));
    showChartView(1);
}

// The period beside the current one in the bar's order, on the K-line; stops at either end.
void Transaction_Dlg::stepPeriod(int step)
{
    const int index = std::clamp(periodCode() - 1 + step, 0, kPeriodCount - 1);
    m_periodFlags = {};
    m_periodFlags[std::size_t(index)] = 1;
    hideTickList();
    update(QRect(28, 77, m_w - 348, 28));
    showChartView(1);
}

void Transaction_Dlg::drawTabs(QPainter& p)
{
    p.fillRect(0, 77, 28, m_h - 106, kGround);
    p.setFont(m_font);
    for (int k = 0; k < kTabCount; ++k) {
        const QRect& r = m_tabRects[k];
        p.fillRect(r, m_tabFlags[k] ? kTabCurrent : kTabOther);
        const char* label = nullptr;
        if (m_chartMode)
            label = kChartTabLabels[k];
        else if (k == 0)
            label = "基本行情";
        else if (k == 1)
            label = "扩展行情";
        else if (k == m_overviewTabCount)
            label = "设置";
        if (label) {
            p.setPen(platform::TextOnDark);
            p.drawText(r, Qt::AlignCenter, Vertical(label));
        }
    }
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
    p.fillRect(platform::edges(0, m_h - 28, m_w, m_h), kBand);
    p.setFont(m_font);
    p.setPen(kStatusText);
    p.drawText(QRect(15, m_h - 26, 200, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("酒窖指数"));
    const QString live = liveText();
    const int liveWidth = p.fontMetrics().horizontalAdvance(live) + 20;
    p.drawText(QRect(220, m_h - 26, std::max(0, m_w - 240 - liveWidth), 24), Qt::AlignLeft | Qt::AlignTop,
               p.fontMetrics().elidedText(statusText(), Qt::ElideRight, std::max(0, m_w - 240 - liveWidth)));
    p.setPen(quotesLate() ? platform::RiseColour : kStatusText);
    p.drawText(QRect(m_w - liveWidth - 5, m_h - 26, liveWidth, 24), Qt::AlignRight | Qt::AlignTop, live);
    p.drawImage(platform::edges(0, 0, m_w, 28), platform::bitmap(platform::bmp::TitleBar));
    p.setPen(platform::TextOnDark);
    p.drawText(QRect(m_w - 203, 2, 44, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("交易"));
    drawTabs(p);
    if (m_chartMode)
        drawPeriodBar(p);
}

void Transaction_Dlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    if (m_chartMode) {
        for (int k = 0; k < kTabCount; ++k) {
            if (m_tabRects[k].contains(pos)) {
                selectChartTab(k);
                return;
            }
        }
        if (chart::PeriodBar::Area().contains(pos))
            selectPeriodAt(pos);
        return;
    }
    for (int k = 0; k <= m_overviewTabCount && k < kTabCount; ++k) {
        if (m_tabRects[k].contains(pos)) {
            selectOverviewTab(k);
            return;
        }
    }
}

bool Transaction_Dlg::marketKey(int key)
{
    switch (key) {
    case Qt::Key_F1: showChartTab(3); return true;
    case Qt::Key_F2: showChartTab(4); return true;
    case Qt::Key_F3: command(kOverview); return true;
    case Qt::Key_F5: showChartView(m_charts.Visible() == chart::MarketCharts::View::Timeline ? 1 : 0); return true;
    case Qt::Key_F10: command(kToolInfo); return true;
    case Qt::Key_F6: command(kToolWatchlist); return true;
    default: break;
    }
    if (m_chartMode) {
        if (key == Qt::Key_BracketLeft || key == Qt::Key_BracketRight) {
            stepPeriod(key == Qt::Key_BracketLeft ? -1 : 1);
            return true;
        }
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            stepItem(key == Qt::Key_PageUp ? -1 : 1);
            return true;
        }
        return false;
    }
    switch (key) {
    case Qt::Key_Up: m_overview->moveSelection(-1); return true;
    case Qt::Key_Down: m_overview->moveSelection(1); return true;
    case Qt::Key_PageUp: m_overview->moveSelection(-m_overview->pageRows()); return true;
    case Qt::Key_PageDown: m_overview->moveSelection(m_overview->pageRows()); return true;
    case Qt::Key_Insert: changeWatchlist(m_overview->selectedCode(), true); return true;
    case Qt::Key_Delete:
        if (m_watchlistShown)
            changeWatchlist(m_overview->selectedCode(), false);
        return m_watchlistShown;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int code = m_overview->selectedCode()) {
            chooseItem(code);
            command(kToolTimeshare);
        }
        return true;
    default: return false;
    }
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
            command(kToolTimeshare);
        });
    }
    m_finder->setNameKeys(m_overview->nameKeys());
    // At the foot of the work area's right side, just above the status band.
    m_finder->start(text, mapToGlobal(QPoint(m_w - 1, m_h - 29)));
    return true;
}

void Transaction_Dlg::keyPressEvent(QKeyEvent* event)
{
    if (startFinder(*event) || marketKey(event->key())) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept(); // swallowed
        return;
    case Qt::Key_Escape:
        event->accept();
        command(IDCANCEL);
        return;
    default:
        // The K-line answers its keys wherever the focus is in the window.
        if (m_charts.Visible() == chart::MarketCharts::View::Candles && klineChart()->handleKey(event->key()))
            return;
        QWidget::keyPressEvent(event);
    }
}

void Transaction_Dlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    command(IDCANCEL);
}
