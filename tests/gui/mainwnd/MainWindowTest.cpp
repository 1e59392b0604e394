#include <algorithm>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>
#include <mutex>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "app/CHtmlCtrl.h"
#include "app/CVelmoraDlg.h"
#include "app/LoginDlg.h"
#include "app/Show_Message_Dlg.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "chart/CKBarCtrl.h"
#include "chart/IndicatorSettings.h"
#include "chart/MaPeriodsDlg.h"
#include "mainwnd/KeysHelpDlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "support/MarketCommands.h"
#include "support/Widgets.h"
#include "trade/Buying_dlg.h"
#include "trade/Selling_dlg.h"
#include "market/core/CUPdate_thread.h"
#include "market/Min_Price_List_Dlg.h"
#include "market/ShowViewSetDlg.h"
#include "market/SingleItemQuote.h"
#include "market/core/Pollers.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Platform.h"
#include "support/LoopbackServer.h"
#include "support/ScriptedTerminal.h"
#include "support/Pixels.h"
#include "support/TradeReplies.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "trade/OrderWindow.h"

using testsupport::LoopbackServer;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

const QRect kWorkArea(0, 0, 1920, 1040);
const QString kConfirmExit = QStringLiteral("是否确认退出");

const char* kCandles = "{\"success\":\"true\",\"infor\":["
                       "{\"startPrice\":12,\"endPrice\":13,\"maxPrice\":14,\"minPrice\":11,\"time\":1700000000,\"vol\":5},"
                       "{\"startPrice\":13,\"endPrice\":12,\"maxPrice\":14,\"minPrice\":11,\"time\":1700086400,\"vol\":6},"
                       "{\"startPrice\":12,\"endPrice\":12.5,\"maxPrice\":13,\"minPrice\":11,\"time\":1700172800,\"vol\":7}]}";
const char* kQuote = "{\"success\":\"true\",\"infor\":[{\"stockName\":\"Tolmere小酒窖\",\"opening\":12.30,"
                     "\"buyPrice1\":12.30,\"sellPrice1\":12.40,\"buyVol1\":10,\"sellVol1\":3,\"latest\":12.35,"
                     "\"increase\":0.41,\"change\":0.05,\"entrustPCT\":20,\"inventory\":1000}]}";

using testsupport::child;

size_t countPath(const LoopbackServer& s, const std::string& prefix)
{
    size_t n = 0;
    for (const RecordedRequest& r : s.requests())
        n += r.path.rfind(prefix, 0) == 0;
    return n;
}

bool hasColourIn(const QImage& image, const QRect& r, const QColor& colour)
{
    return testsupport::HasTextInColour(image, r, colour);
}

} // namespace

class MainWindowTest final : public QObject
{
    Q_OBJECT

private:
    std::string m_host;
    std::atomic<bool> m_withCandles{false};
    std::unique_ptr<testsupport::ScriptedTerminal> m_world;
    LoopbackServer* m_trade = nullptr;
    LoopbackServer* m_market = nullptr;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
    std::unique_ptr<CVelmoraDlg> m_login;

    LoopbackServer::Handler tradeHandler()
    {
        return [](const RecordedRequest& r) {
            if (r.path == "/api/v1/user/login")
                return ScriptedReply{200, R"({"success":"true","msg":"ok","infor":{"name":"N","is_update":1}})"};
            if (r.path == "/api/v1/stock/up-to-the-minute")
                return ScriptedReply{200, client::utf8ToWire(
                    R"({"success":"true","infor":[{"main_3":9160001,"main_4":"Tolmere小酒窖","main_5":12.3,)"
                    R"("main_9":12.35,"main_2":1},{"main_3":9160002,"main_4":"Aubrac干红","main_5":8.1,"main_9":8.0}]})")};
            if (r.path == "/api/v1/trade/guide")
                return ScriptedReply{200, R"({"success":"true","infor":{"extend_1":12.4,"extend_11":12.3,"main_5":12.3}})"};
            if (r.path == "/api/v1/account/apply")
                return ScriptedReply{200, R"({"success":"true","infor":{"cash":"5000.5"}})"};
            return ScriptedReply{200, R"({"success":"true","msg":"","infor":[]})"};
        };
    }

    LoopbackServer::Handler marketHandler()
    {
        return [this](const RecordedRequest& r) {
            if (r.path == "/api/realtime/9160001")
                return ScriptedReply{200, client::utf8ToWire(kQuote)};
            if (r.path == "/api/stockinfo/9160001")
                return ScriptedReply{200, "{\"success\":\"true\",\"infor\":\"http://" + m_host + ":8041/page\"}"};
            if (m_withCandles && r.path.rfind("/api/histogram/", 0) == 0)
                return ScriptedReply{200, kCandles};
            if (r.path == "/page")
                return ScriptedReply{200, client::utf8ToWire("<html><body><p>产区资料</p></body></html>"), "text/html"};
            return ScriptedReply{200, R"({"success":"true","infor":[]})"};
        };
    }

    Transaction_Dlg* open(bool loggedIn)
    {
        Session::current().setLoggedIn(loggedIn);
        m_login = std::make_unique<CVelmoraDlg>();
        auto* window = new Transaction_Dlg(m_login.get());
        window->show();
        return window;
    }

private slots:
    void initTestCase()
    {
        m_host = testsupport::UniqueLoopbackAddress(5);
        platform::setWorkArea(kWorkArea);
    }

    void init()
    {
        // The working folder as the run command seeds it.
        m_world = std::make_unique<testsupport::ScriptedTerminal>(m_host, DATA_DIR, tradeHandler(), marketHandler());
        QVERIFY(m_world->ready());
        m_trade = &m_world->trade();
        m_market = &m_world->market();
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::No);
        m_withCandles = false;
    }

    void cleanup()
    {
        m_login.reset(); // takes the market window with it
        m_boxes.reset();
        m_world.reset();
        platform::setWorkArea(kWorkArea);
    }

    void layoutFollowsTheWorkArea()
    {
        Transaction_Dlg* w = open(false);
        QCOMPARE(w->geometry(), kWorkArea);
        // Not a transient of the login window it belongs to: that one is hidden, and the
        // terminal keeps its own taskbar entry.
        QVERIFY(w->windowHandle() && !w->windowHandle()->transientParent());
        const int e = (1040 - 106) / 5;
        QCOMPARE(w->tabRect(0), QRect(QPoint(0, 78), QPoint(27, 77 + e - 1)));
        QCOMPARE(w->tabRect(4).bottom(), 77 + 5 * e - 1);
        QCOMPARE(child<QWidget>(w, Transaction_Dlg::kClose)->geometry(), QRect(1880, 0, 32, 28));
        QCOMPARE(child<QWidget>(w, Transaction_Dlg::kRefresh)->geometry(), QRect(440, 29, 60, 48));
        QCOMPARE(w->basicList()->geometry(), QRect(QPoint(28, 77), QPoint(1919, 699)));
        QVERIFY(w->basicList()->isVisible());
        QVERIFY(!w->extendedList()->isVisible());
        QCOMPARE(w->chartRect(), QRect(QPoint(29, 105), QPoint(1599, 1010)));
        QCOMPARE(w->visibleBarCount(), 120);
        QCOMPARE(w->periodCode(), 8);
        QVERIFY(m_boxes->calls().empty());
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        w->grab().save(QStringLiteral(RENDER_DIR "/overview.png"));
    }

    void overviewFillsFromThePollerAndTheSetUpTabIsLast()
    {
        Transaction_Dlg* w = open(false);
        QCOMPARE(w->overviewTabCount(), 2); // two categories in the shipped column file
        QVERIFY(w->basicList()->columnCount() > 3);
        QTRY_COMPARE_WITH_TIMEOUT(w->basicList()->rowCount(), 2, 10000);
        bool found = false;
        for (int c = 0; c < w->basicList()->columnCount(); ++c)
            found |= w->basicList()->cellText(0, c) == QStringLiteral("Tolmere小酒窖");
        QVERIFY(found);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(2).center());
        QVERIFY(w->columnSetup() && w->columnSetup()->isVisible());
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        w->grab().save(QStringLiteral(RENDER_DIR "/overview-filled.png"));
    }

    void tickTabsPlaceTheTickWindowOverTheChartsFoot()
    {
        Transaction_Dlg* w = open(false);
        testsupport::run(w, testsupport::MarketCommand::Kline);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(3).center());
        QCOMPARE(w->currentTab(), 3);
        QVERIFY(w->tickList() && w->tickList()->isVisible());
        QCOMPARE(w->tickList()->geometry(), QRect(QPoint(29, 1010 - 349), QPoint(1599, 1010)));
        QVERIFY(countPath(*m_market, "/api/dealdetail/9160001/0") >= 1);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(4).center());
        QVERIFY(countPath(*m_market, "/api/pricedetail/9160001") >= 1);
        // The K-line tab puts the tick window away again.
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(1).center());
        QVERIFY(!w->tickList()->isVisible());
    }

    void indicatorsAreChosenFromTheMenusAndRemembered()
    {
        Transaction_Dlg* w = open(false);
        testsupport::run(w, testsupport::MarketCommand::Kline);
        QMenu* analysis = w->dropMenu(Transaction_Dlg::kMenuAnalysis);
        QMenu* context = w->klineChart()->findChild<QMenu*>(QStringLiteral("indicatorMenu"));
        QVERIFY(context);
        auto named = [](QMenu* menu, const char* name) {
            for (QAction* a : menu->actions())
                if (a->objectName() == QLatin1String(name))
                    return a;
            return static_cast<QAction*>(nullptr);
        };
        auto oscillatorHeight = [&w] { // the window of the time it is asked
            return w->klineChart()->withCanvas([](chart::ChartCanvas& c) { return c.findSubArea("I")->Height(); });
        };
        auto saved = [] {
            QFile f(QString::fromLatin1(chart::kIndicatorFile));
            return f.open(QIODevice::ReadOnly) ? chart::parseIndicatorChoice(f.readAll().toStdString())
                                               : std::nullopt;
        };
        // Averages on, no oscillator, nothing written until the user chooses.
        QVERIFY(named(analysis, "indicatorMA")->isChecked());
        QVERIFY(named(analysis, "oscillatorNone")->isChecked());
        // The trader's formulas are managed from both menus too (tests/gui/chart/FormulaChartTest).
        QVERIFY(named(analysis, "formulaManager") && named(analysis, "formulaManager") == named(context, "formulaManager"));
        QVERIFY(!QFile::exists(QString::fromLatin1(chart::kIndicatorFile)));
        QCOMPARE(oscillatorHeight(), 0);

        named(analysis, "oscillatorKDJ")->trigger();
        QVERIFY(oscillatorHeight() > 0);
        QVERIFY(named(context, "oscillatorKDJ")->isChecked()); // one choice in both menus
        QCOMPARE(saved()->oscillator, chart::Oscillator::Kdj);

        named(context, "indicatorMA")->trigger(); // off, from the chart's own menu
        QVERIFY(!named(analysis, "indicatorMA")->isChecked());
        QCOMPARE(saved()->movingAverages, false);
        named(analysis, "indicatorPeriods")->trigger();
        auto* periods = w->findChild<MaPeriodsDlg*>();
        QVERIFY(periods && periods->isVisible());
        for (int i = 0; i < 4; ++i)
            periods->periodBox(i)->setValue(7 * (i + 1));
        QTest::mouseClick(periods->findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
        QVERIFY(!periods->isVisible());
        QCOMPARE(saved()->maPeriods, (std::array<int, 4>{7, 14, 21, 28}));

        // The next start shows the choice again.
        m_login.reset();
        w = open(false);
        analysis = w->dropMenu(Transaction_Dlg::kMenuAnalysis);
        QVERIFY(named(analysis, "oscillatorKDJ")->isChecked());
        QVERIFY(!named(analysis, "indicatorMA")->isChecked());
        testsupport::run(w, testsupport::MarketCommand::Kline);
        QVERIFY(oscillatorHeight() > 0);
        QVERIFY(m_boxes->calls().empty());

        // A file that cannot be read is named, the defaults are shown, and the file stays as
        // it is until the user chooses again.
        m_login.reset();
        QFile bad(QString::fromLatin1(chart::kIndicatorFile));
        QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
        bad.write("{\"ma\": tru");
        bad.close();
        w = open(false);
        QCOMPARE(m_boxes->texts().size(), 1);
        QVERIFY(m_boxes->texts().front().contains(QDir::current().absoluteFilePath(QString::fromLatin1(chart::kIndicatorFile))));
        analysis = w->dropMenu(Transaction_Dlg::kMenuAnalysis);
        QVERIFY(named(analysis, "oscillatorNone")->isChecked());
        QVERIFY(!saved());
        named(analysis, "oscillatorMACD")->trigger();
        QCOMPARE(saved()->oscillator, chart::Oscillator::Macd);
    }

    void narrowScreensAreWarnedOnce()
    {
        platform::setWorkArea(QRect(0, 0, 1366, 728));
        QCOMPARE(open(false)->visibleBarCount(), 80);
        QVERIFY(m_boxes->calls().empty());
        m_login.reset();
        platform::setWorkArea(QRect(0, 0, 1365, 728));
        open(false);
        QCOMPARE(m_boxes->texts(), QStringList{QStringLiteral("屏幕分辨率太小，影响软件使用")});
    }

    void startUpAsksForTheOverviewAndShowsAnnouncements()
    {
        Transaction_Dlg* w = open(false);
        QTRY_VERIFY_WITH_TIMEOUT(countPath(*m_trade, "/api/v1/stock/up-to-the-minute") >= 1, 10000);
        QVERIFY(!m_login->isVisible()); // the market window hides the login window
        // The start-up sequence shows the announcements after its pause.
        QTRY_VERIFY_WITH_TIMEOUT(w->announcements() && w->announcements()->isVisible(), 15000);
        QCOMPARE(w->announcements()->geometry(), QRect(QPoint(683, 346), QPoint(1282, 745)));
        // A visitor's timer 8 asks for no cash.
        QCOMPARE(countPath(*m_trade, "/api/v1/account/apply"), 0u);
    }

    // A button, its menu item and its key are one action; the mode decides which keys act.
    void commandsAreOneActionEach()
    {
        using testsupport::MarketCommand;
        Transaction_Dlg* w = open(false);
        mainwnd::MarketActions* actions = w->actions();
        const auto menuHolds = [w, actions](int menu, MarketCommand c) {
            return w->dropMenu(menu)->actions().contains(actions->action(c));
        };
        QVERIFY(menuHolds(Transaction_Dlg::kMenuSystem, MarketCommand::Exit));
        QVERIFY(menuHolds(Transaction_Dlg::kMenuAnalysis, MarketCommand::Timeshare));
        QVERIFY(menuHolds(Transaction_Dlg::kMenuAnalysis, MarketCommand::Kline));
        QCOMPARE(actions->forKey(Qt::Key_Escape), actions->action(MarketCommand::Exit));

        struct Key
        {
            int key;
            MarketCommand overview; // what the key does in the overview
            MarketCommand chart;    // and in a chart
        };
        const Key keys[] = {{Qt::Key_PageUp, MarketCommand::SelectionPageUp, MarketCommand::PreviousItem},
                            {Qt::Key_PageDown, MarketCommand::SelectionPageDown, MarketCommand::NextItem},
                            {Qt::Key_F5, MarketCommand::SwitchChart, MarketCommand::SwitchChart},
                            {Qt::Key_F1, MarketCommand::Ticks, MarketCommand::Ticks}};
        for (const Key& k : keys)
            QCOMPARE(actions->forKey(k.key), actions->action(k.overview));
        QCOMPARE(actions->forKey(Qt::Key_Enter), actions->action(MarketCommand::OpenSelected)); // the keypad's
        QVERIFY(!actions->forKey(Qt::Key_BracketLeft));
        QVERIFY(!actions->forKey(Qt::Key_Delete)); // only while the watchlist is shown
        QTest::mouseClick(child<QWidget>(w, Transaction_Dlg::kToolWatchlist), Qt::LeftButton);
        QCOMPARE(actions->forKey(Qt::Key_Delete), actions->action(MarketCommand::RemoveFromWatchlist));
        QTest::mouseClick(child<QWidget>(w, Transaction_Dlg::kToolKline), Qt::LeftButton);
        QVERIFY(w->chartMode());
        for (const Key& k : keys)
            QCOMPARE(actions->forKey(k.key), actions->action(k.chart));
        // The chart's own keys are left to it.
        QVERIFY(!actions->forKey(Qt::Key_Up) && !actions->forKey(Qt::Key_Delete) && !actions->forKey(Qt::Key_Return));
    }

    void everyWayOutAsksTheSameQuestion()
    {
        Transaction_Dlg* w = open(false);
        QTest::mouseClick(child<QWidget>(w, Transaction_Dlg::kClose), Qt::LeftButton);
        QTest::keyClick(w, Qt::Key_Escape);
        w->dropMenu(Transaction_Dlg::kMenuSystem)->actions().last()->trigger(); // 退出系统
        QCOMPARE(m_boxes->texts(), QStringList({kConfirmExit, kConfirmExit, kConfirmExit}));
        QCOMPARE(m_boxes->calls().front().buttons, platform::MsgButtons::YesNo);
        QVERIFY(w->isVisible()); // No leaves everything as it was

        QPointer<CVelmoraDlg> login = m_login.release();
        m_boxes->setAnswer(platform::MsgResult::Yes);
        testsupport::run(w, testsupport::MarketCommand::Exit);
        QTRY_VERIFY(login.isNull() || !login->isVisible());
        delete login.data();
    }

    void visitorsTradingCommandsOpenTheLoginForm()
    {
        Transaction_Dlg* w = open(false);
        for (int id : {Transaction_Dlg::kQuickBuy, Transaction_Dlg::kQuickSell, Transaction_Dlg::kTrade}) {
            if (w->loginDialog())
                w->loginDialog()->hide();
            QTest::mouseClick(child<QWidget>(w, id), Qt::LeftButton);
            QVERIFY2(w->loginDialog() && w->loginDialog()->isVisible(), qPrintable(QString::number(id)));
        }
        LoginDlg* form = w->loginDialog();
        QCOMPARE(form->size(), QSize(540, 315));
        QVERIFY(!child<QWidget>(form, CVelmoraDlg::kLineSelect));
        QVERIFY(child<QWidget>(form, CVelmoraDlg::kCloseRelogin));

        // Escape is swallowed; the close button only hides.
        QTest::keyClick(child<QWidget>(form, CVelmoraDlg::kPassword), Qt::Key_Escape);
        QVERIFY(form->isVisible());
        QTest::mouseClick(child<QWidget>(form, CVelmoraDlg::kCloseRelogin), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QVERIFY(w->isVisible());
    }

    void reloginFillsTheUserRecordAndOpensNothingByItself()
    {
        app::setCodeClock([] { return std::time_t(1700000000); });
        Transaction_Dlg* w = open(false);
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        LoginDlg* form = w->loginDialog();
        child<QLineEdit>(form, CVelmoraDlg::kAccountPlain)->setText(QStringLiteral("880001"));
        child<QLineEdit>(form, CVelmoraDlg::kPassword)->setText(QStringLiteral("pw123"));
        child<QLineEdit>(form, CVelmoraDlg::kCode)->setText(form->verificationCode());
        QTest::mouseClick(child<QWidget>(form, CVelmoraDlg::kLogin), Qt::LeftButton);
        QVERIFY(Session::current().loggedIn());
        QCOMPARE(Session::current().userId(), std::string("880001"));
        QCOMPARE(Session::current().userRecord().name, std::string("N"));
        QVERIFY(!form->isVisible());
        QVERIFY(child<QLineEdit>(form, CVelmoraDlg::kPassword)->text().isEmpty());
        QVERIFY(m_boxes->calls().empty());
        // Now logged in, the same command no longer leads to the form but to the pop-up.
        QVERIFY(!w->quickBuy());
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        QVERIFY(!form->isVisible());
        QVERIFY(w->quickBuy() && w->quickBuy()->isVisible());
        // And the usable cash is polled for the new user.
        QTRY_VERIFY_WITH_TIMEOUT(Session::current().availableCash() == 5000.5f, 10000);
        app::setCodeClock(nullptr);
    }

    void timeShareThenKLineUsesTheDailyPeriod()
    {
        Transaction_Dlg* w = open(false);
        testsupport::run(w, testsupport::MarketCommand::Timeshare);
        QVERIFY(w->chartMode());
        QCOMPARE(w->currentTab(), 0);
        QVERIFY(w->timeshareChart()->isVisible());
        QVERIFY(!w->klineChart()->isVisible());
        QVERIFY(!w->basicList()->isVisible());
        for (int f : w->periodFlags())
            QCOMPARE(f, 0);
        QVERIFY(w->quotePanel() && w->quotePanel()->isVisible());
        QCOMPARE(w->quotePanel()->pos(), QPoint(1600, 77));
        // Beside the chart, down to the chart's bottom and not into the status band.
        QCOMPARE(w->quotePanel()->geometry().bottom(), w->timeshareChart()->geometry().bottom());
        QTRY_VERIFY_WITH_TIMEOUT(countPath(*m_market, "/api/timeline/9160001/") >= 1, 10000);

        testsupport::run(w, testsupport::MarketCommand::Kline);
        QCOMPARE(w->currentTab(), 1);
        QCOMPARE(w->periodFlags()[7], 1);
        QVERIFY(w->klineChart()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(countPath(*m_market, "/api/histogram/9160001/8") >= 1, 10000);

        // A press in the period bar picks that period and asks for its candles.
        QTest::mouseClick(w, Qt::LeftButton, {}, w->periodCell(2).center());
        QCOMPARE(w->periodCode(), 3);
        QCOMPARE(w->periodFlags()[7], 0);
        QTRY_VERIFY_WITH_TIMEOUT(countPath(*m_market, "/api/histogram/9160001/3") >= 1, 10000);
        // The last cell ends where the bar does.
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(747, 90));
        QCOMPARE(w->periodCode(), 12);

        // The quote panel fills from its poller.
        QTRY_VERIFY_WITH_TIMEOUT(w->quotePanel()->openingPrice() > 12.0, 10000);
        const QImage panel = w->quotePanel()->snapshot();
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        w->grab().save(QStringLiteral(RENDER_DIR "/chart-mode.png"));
        panel.save(QStringLiteral(RENDER_DIR "/quote-panel.png"));
        // 买① equals the opening and so stands in the up colour.
        QVERIFY(hasColourIn(panel, w->quotePanel()->layout().values[6], platform::RiseColour));
        QVERIFY(!hasColourIn(panel, w->quotePanel()->layout().values[6], platform::FallColour));
        QVERIFY(hasColourIn(panel, w->quotePanel()->layout().values[25], platform::VolumeColour));
        QVERIFY(!hasColourIn(panel, w->quotePanel()->layout().values[25], platform::RiseColour));
    }

    void overviewTabsSwitchListsAndTheirRequests()
    {
        Transaction_Dlg* w = open(false);
        QTRY_VERIFY_WITH_TIMEOUT(countPath(*m_trade, "/api/v1/stock/up-to-the-minute") >= 1, 10000);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(1).center());
        QCOMPARE(w->currentTab(), 1);
        QVERIFY(w->extendedList()->isVisible());
        QVERIFY(!w->basicList()->isVisible());
        using market::MarketRequest;
        using Asked = std::vector<std::pair<MarketRequest, int>>;
        Asked posted;
        w->poller()->setRequestObserver([&posted](MarketRequest kind, int arg) { posted.emplace_back(kind, arg); });
        w->refresh(); // the second tab asks for the extended rows only
        QCOMPARE(posted, (Asked{{MarketRequest::OverviewExtended, 0}}));
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(0).center());
        posted.clear();
        w->refresh();
        QCOMPARE(posted, (Asked{{MarketRequest::OverviewBasic, 0}}));
        testsupport::run(w, testsupport::MarketCommand::Timeshare);
        posted.clear();
        w->refresh(); // chart mode: the visible chart's request
        QCOMPARE(posted, (Asked{{MarketRequest::Timeline, 0}}));
        testsupport::run(w, testsupport::MarketCommand::Kline); // after the time-share view no period is set
        posted.clear();
        w->refresh();
        QCOMPARE(posted, (Asked{{MarketRequest::Candles, 8}}));
        w->poller()->setRequestObserver(nullptr);
        testsupport::run(w, testsupport::MarketCommand::Overview);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(1).center());
        // A tab past the set-up tab does nothing in overview mode.
        QTest::mouseClick(w, Qt::LeftButton, {}, w->tabRect(4).center());
        QCOMPARE(w->currentTab(), 1);
        // Back from chart mode through the toolbar.
        testsupport::run(w, testsupport::MarketCommand::Kline);
        testsupport::run(w, testsupport::MarketCommand::Overview);
        QVERIFY(!w->chartMode());
        QCOMPARE(w->currentTab(), 0);
        QVERIFY(w->basicList()->isVisible());
        QVERIFY(!w->quotePanel()->isVisible());
        QVERIFY(!w->klineChart()->isVisible());
    }

    void informationViewShowsThePageTheServiceNames()
    {
        Transaction_Dlg* w = open(false);
        testsupport::run(w, testsupport::MarketCommand::Information);
        QCOMPARE(w->currentTab(), 2);
        QVERIFY(w->infoPage()->isVisible());
        QVERIFY(w->infoPage()->toPlainText().contains(QStringLiteral("产区资料")));
        QVERIFY(!w->klineChart()->isVisible());
        QVERIFY(w->quotePanel()->isVisible());
    }

    void quickOrdersOpenPrefilledFromTheQuote()
    {
        Transaction_Dlg* w = open(true);
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        QPointer<Buying_dlg> buy = w->quickBuy();
        QVERIFY(buy && buy->isVisible());
        QCOMPARE(buy->geometry(), QRect(400, 200, 200, 265));
        QCOMPARE(buy->codeField()->text(), QStringLiteral("9160001"));
        QCOMPARE(buy->priceField()->text(), QStringLiteral("12.40")); // the quote's "extend_1"
        QTRY_VERIFY(buy->quantityField()->hasFocus());
        QCOMPARE(countPath(*m_trade, "/api/v1/trade/guide"), 1u);
        for (const RecordedRequest& r : m_trade->requests()) {
            if (r.path == "/api/v1/trade/guide")
                QVERIFY(r.body.find("\"id\" : 9160001,") != std::string::npos);
        }

        // Shown again, not made again; after a close, made anew.
        buy->priceField()->setText(QStringLiteral("1"));
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        QCOMPARE(w->quickBuy(), buy.data());
        QCOMPARE(buy->priceField()->text(), QStringLiteral("12.40"));
        buy->close();
        QTRY_VERIFY(buy.isNull());
        QVERIFY(!w->quickBuy());
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        QVERIFY(w->quickBuy() && w->quickBuy()->isVisible());

        testsupport::run(w, testsupport::MarketCommand::QuickSell);
        Selling_dlg* sell = w->quickSell();
        QVERIFY(sell && sell->isVisible());
        QCOMPARE(sell->codeField()->text(), QStringLiteral("9160001"));
        QCOMPARE(sell->priceField()->text(), QStringLiteral("12.30")); // the quote's "extend_11"
        QTRY_VERIFY(sell->quantityField()->hasFocus());
        QVERIFY(m_boxes->calls().empty());

        // Without a fresh quote the shared one may be another item's (the buy window quotes
        // whatever is typed there): no price is offered rather than that item's.
        market::SingleItemQuote other;
        other.firstPrices[0] = 39.8;
        other.secondPrices[0] = 39.7;
        Session::current().setSingleItemQuote(other);
        m_trade->setHandler([](const RecordedRequest&) {
            return ScriptedReply{500, "<html>busy</html>", "text/html"};
        });
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        QCOMPARE(w->quickBuy()->codeField()->text(), QStringLiteral("9160001"));
        QCOMPARE(w->quickBuy()->priceField()->text(), QString());
        testsupport::run(w, testsupport::MarketCommand::QuickSell);
        QCOMPARE(sell->priceField()->text(), QString());

        // A quote without a bid offers the quick sell no price: "0.00" would go out as one.
        m_trade->setHandler([](const RecordedRequest&) {
            return ScriptedReply{200, R"({"success":"true","infor":{"extend_1":12.4,"main_5":12.3}})"};
        });
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        QCOMPARE(w->quickBuy()->priceField()->text(), QStringLiteral("12.40"));
        testsupport::run(w, testsupport::MarketCommand::QuickSell);
        QCOMPARE(sell->priceField()->text(), QString());
        Session::current().setSingleItemQuote({});
    }

    // A level of the five-level quote is a price to trade at; nothing goes out without the
    // form and its confirmation.
    void tradingFromTheQuote()
    {
        m_market->setHandler([base = marketHandler()](const RecordedRequest& r) {
            if (r.path == "/api/realtime/9160001")
                return ScriptedReply{200, client::utf8ToWire(
                    R"({"success":"true","infor":[{"stockName":"Tolmere小酒窖","opening":12.3,"sellPrice2":12.45,)"
                    R"("sellPrice1":12.4,"buyPrice1":12.3,"buyPrice2":12.25,"latest":12.35}]})")};
            return base(r);
        });
        m_trade->setHandler([base = tradeHandler()](const RecordedRequest& r) {
            if (r.path == "/api/v1/customer/item")
                return ScriptedReply{200, testsupport::PositionsReply(5000, 200)};
            return base(r);
        });
        Transaction_Dlg* w = open(true);
        testsupport::run(w, testsupport::MarketCommand::Timeshare);
        Right_Msg_Dlg* quote = w->quotePanel();
        QTRY_COMPARE(quote->levelItem(), 9160001);
        const auto level = [quote](int row) { return quote->layout().values[1 + row].center(); };

        QTest::mouseDClick(quote, Qt::LeftButton, {}, level(3)); // 卖②: a buy at that ask
        QPointer<Buying_dlg> buy = w->quickBuy();
        QVERIFY(buy && buy->isVisible());
        QCOMPARE(buy->codeField()->text(), QStringLiteral("9160001"));
        QCOMPARE(buy->priceField()->text(), QStringLiteral("12.45"));
        QVERIFY(buy->quantityField()->text().isEmpty());
        QTRY_VERIFY(buy->quantityField()->hasFocus());
        QTest::mouseDClick(quote, Qt::LeftButton, {}, level(6)); // 买②: a sale at that bid
        QPointer<Selling_dlg> sell = w->quickSell();
        QVERIFY(sell && sell->isVisible());
        QCOMPARE(sell->priceField()->text(), QStringLiteral("12.25"));

        // A click sets the price of the order windows open on that item, and of no other.
        QTest::mouseClick(quote, Qt::LeftButton, {}, level(4));
        QCOMPARE(buy->priceField()->text(), QStringLiteral("12.40"));
        QCOMPARE(sell->priceField()->text(), QStringLiteral("12.40"));
        sell->codeField()->setText(QStringLiteral("9160002"));
        QTest::mouseClick(quote, Qt::LeftButton, {}, level(5));
        QCOMPARE(buy->priceField()->text(), QStringLiteral("12.30"));
        QCOMPARE(sell->priceField()->text(), QStringLiteral("12.40"));
        // An empty level is no price.
        QTest::mouseDClick(quote, Qt::LeftButton, {}, level(0));
        QCOMPARE(buy->priceField()->text(), QStringLiteral("12.30"));
        QCOMPARE(countPath(*m_trade, "/api/v1/item/"), 0u); // neither a buy nor a sale went out

        // The panel's buy and sell windows open on the chosen item at the opposite best level;
        // a holding double-clicked opens the sale of it.
        testsupport::run(w, testsupport::MarketCommand::Trade);
        Detail_Trans_Dlg* panel = w->tradePanel();
        QTRY_VERIFY(panel && panel->isVisible());
        panel->choose(Detail_Trans_Dlg::functionOfEntry(QStringLiteral("卖出")));
        auto* sale = qobject_cast<trade::OrderWindow*>(panel->hostedWindow(Detail_Trans_Dlg::Hosted::Sell));
        QCOMPARE(sale->codeField()->text(), QStringLiteral("9160001"));
        QCOMPARE(sale->priceField()->text(), QStringLiteral("12.30"));
        QVERIFY(sale->quantityField()->text().isEmpty());
        panel->choose(Detail_Trans_Dlg::functionOfEntry(QStringLiteral("买入")));
        auto* purchase = qobject_cast<trade::OrderWindow*>(panel->hostedWindow(Detail_Trans_Dlg::Hosted::Buy));
        QCOMPARE(purchase->codeField()->text(), QStringLiteral("9160001"));
        QCOMPARE(purchase->priceField()->text(), QStringLiteral("12.40"));
        JListCtrl* holdings = purchase->list(trade::OrderWindow::Tab::Positions);
        QTRY_COMPARE(holdings->rowCount(), 2);
        const QRect second = holdings->visualItemRect(holdings->item(1, 1));
        QTest::mouseClick(holdings->viewport(), Qt::LeftButton, {}, second.center()); // a double click's first half
        QTest::mouseDClick(holdings->viewport(), Qt::LeftButton, {}, second.center());
        QTRY_VERIFY(sale->isVisible());
        QCOMPARE(panel->title(), QStringLiteral("卖出"));
        QCOMPARE(sale->codeField()->text(), QStringLiteral("9160002"));
        QCOMPARE(sale->priceField()->text(), QString()); // the quote shows another item

        // Under the lock a level brings up the lock; a visitor gets the login.
        panel->lockPanel();
        QTRY_VERIFY(buy.isNull() && sell.isNull());
        QTest::mouseDClick(quote, Qt::LeftButton, {}, level(4));
        QVERIFY(!w->quickBuy());
        QVERIFY(panel->isLocked() && panel->isVisible());
        Session::current().setLoggedIn(false);
        QTest::mouseDClick(quote, Qt::LeftButton, {}, level(4));
        QVERIFY(!w->quickBuy());
        QVERIFY(w->loginDialog() && w->loginDialog()->isVisible());
        QVERIFY(m_boxes->calls().empty());
    }

    void kLineKeysReachTheChartFromTheWindow()
    {
        m_withCandles = true;
        Transaction_Dlg* w = open(false);
        testsupport::run(w, testsupport::MarketCommand::Kline);
        CKBarCtrl* chart = w->klineChart();
        QTRY_VERIFY_WITH_TIMEOUT(!chart->legend().empty(), 10000);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Left);
        QCOMPARE(chart->keyCursor(), 2); // the newest of three
        QVERIFY(chart->crossHairPos() != QPoint());
        QTest::keyClick(w, Qt::Key_Home);
        QCOMPARE(chart->keyCursor(), 0);
        testsupport::run(w, testsupport::MarketCommand::Timeshare);
        QTest::keyClick(w, Qt::Key_End); // not the time-share chart's
        QCOMPARE(chart->keyCursor(), 0);
    }

    void helpItemListsTheKeysAndEscClosesIt()
    {
        Transaction_Dlg* w = open(false);
        QAction* help = w->dropMenu(Transaction_Dlg::kMenuHelp)->actions().at(0);
        QCOMPARE(help->text(), QStringLiteral("帮助"));
        help->trigger();
        KeysHelpDlg* keys = w->keysHelp();
        QVERIFY(keys && keys->isVisible());
        const auto rows = KeysHelpDlg::rows();
        QVERIFY(std::any_of(rows.begin(), rows.end(), [](const KeysHelpDlg::Row& r) {
            return r.keys && std::string_view(r.keys) == "F5";
        }));
        const QImage shown = keys->grab().toImage();
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        shown.save(QStringLiteral(RENDER_DIR "/keys-help.png"));
        QVERIFY(hasColourIn(shown, QRect(20, 60, 100, 20), QColor(255, 204, 0))); // "F5", in the keys' colour
        QTest::keyClick(keys, Qt::Key_Escape);
        QVERIFY(!keys->isVisible());
        QVERIFY(w->isVisible()); // Esc there is not the market window's exit question
        QVERIFY(m_boxes->calls().empty());
    }

    void enterIsSwallowed()
    {
        Transaction_Dlg* w = open(false);
        testsupport::run(w, testsupport::MarketCommand::Timeshare);
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w->quotePanel(), Qt::Key_Return);
        QVERIFY(w->isVisible());
        QVERIFY(w->quotePanel()->isVisible());
        QVERIFY(m_boxes->calls().empty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
