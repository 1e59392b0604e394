#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "app/CVelmoraDlg.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/JListCtrl.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/ItemFinder.h"
#include "market/Min_Price_List_Dlg.h"
#include "market/Right_Msg_Dlg.h"
#include "market/core/ChosenItem.h"
#include "market/core/Watchlist.h"
#include "platform/Platform.h"
#include "session/Session.h"
#include "support/MarketCommands.h"
#include "support/LoopbackServer.h"
#include "support/ScriptedTerminal.h"
#include "trade/Buying_dlg.h"

using testsupport::LoopbackServer;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

const QRect kWorkArea(0, 0, 1920, 1040);

struct Listed
{
    int code;
    const char* name;
    double opening;
};
constexpr Listed kListed[] = {{9160001, "Tolmere小酒窖", 12.3}, {9160003, "Arvesse庄园赤霞珠", 30.5},
                              {9160005, "Cantevel霞多丽", 42.75}};

// Holds the replies to the paths that start with one prefix until the gate moves on to
// another prefix or opens, so a test decides when they arrive.
class Gate
{
public:
    void holdFrom(std::string prefix)
    {
        {
            std::lock_guard lock(m_mutex);
            m_prefix = std::move(prefix);
        }
        m_cv.notify_all();
    }
    void open() { holdFrom({}); }
    void pass(const std::string& path)
    {
        std::unique_lock lock(m_mutex);
        auto holds = [&] { return !m_prefix.empty() && path.rfind(m_prefix, 0) == 0; };
        if (!holds())
            return;
        m_held = path;
        m_cv.wait_for(lock, std::chrono::seconds(20), [&] { return !holds(); });
    }
    // The last path held (the server records a request once it is answered).
    std::string held()
    {
        std::lock_guard lock(m_mutex);
        return m_held;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::string m_prefix;
    std::string m_held;
};

std::string overviewReply()
{
    std::string rows;
    for (const Listed& item : kListed) {
        rows += rows.empty() ? "" : ",";
        rows += "{\"main_3\":" + std::to_string(item.code) + ",\"main_4\":\"" + item.name + "\",\"main_5\":" +
                std::to_string(item.opening) + "}";
    }
    return client::utf8ToWire("{\"success\":\"true\",\"infor\":[" + rows + "]}");
}

// A market that moves: the `n`th reply lists the items rotated by n places, with n + 100 as
// every item's 总手, so each refresh puts them on other rows.
std::string movingOverviewReply(int n)
{
    std::string rows;
    for (std::size_t i = 0; i < std::size(kListed); ++i) {
        const Listed& item = kListed[(i + std::size_t(n)) % std::size(kListed)];
        rows += rows.empty() ? "" : ",";
        rows += "{\"main_3\":" + std::to_string(item.code) + ",\"main_4\":\"" + item.name + "\",\"main_5\":" +
                std::to_string(item.opening) + ",\"main_10\":" + std::to_string(n + 100) + "}";
    }
    return client::utf8ToWire("{\"success\":\"true\",\"infor\":[" + rows + "]}");
}

int columnOf(const JListCtrl* list, const QString& caption)
{
    for (int c = 0; c < list->columnCount(); ++c)
        if (list->columnCaption(c) == caption)
            return c;
    return -1;
}

// The item a market path names ("/api/timeline/9160003/1700000000" names 9160003).
int itemOf(const std::string& path)
{
    const std::size_t start = path.find('/', 5) + 1;
    return std::atoi(path.c_str() + start);
}

} // namespace

class ChosenItemTest final : public QObject
{
    Q_OBJECT

private:
    std::string m_host;
    Gate m_gate;
    std::unique_ptr<testsupport::ScriptedTerminal> m_world;
    LoopbackServer* m_trade = nullptr;
    LoopbackServer* m_market = nullptr;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
    std::unique_ptr<CVelmoraDlg> m_login;

    Transaction_Dlg* open(bool loggedIn)
    {
        Session::current().setLoggedIn(loggedIn);
        m_login = std::make_unique<CVelmoraDlg>();
        auto* window = new Transaction_Dlg(m_login.get());
        window->show();
        return window;
    }

    bool asked(const std::string& prefix) const
    {
        for (const RecordedRequest& r : m_market->requests())
            if (r.path.rfind(prefix, 0) == 0)
                return true;
        return false;
    }

    static std::string title(CKBarCtrl* chart, const char* area)
    {
        return chart->withCanvas([area](chart::ChartCanvas& c) { return c.findSubArea(area)->Title(); });
    }
    static std::size_t elements(CKBarCtrl* chart, const char* display)
    {
        return chart->withCanvas([display](chart::ChartCanvas& c) { return c.findDisplay(display)->elementCount(); });
    }

private slots:
    void initTestCase()
    {
        m_host = testsupport::UniqueLoopbackAddress(23);
        platform::setWorkArea(kWorkArea);
    }

    void init()
    {
        const LoopbackServer::Handler trade = [](const RecordedRequest& r) {
            if (r.path == "/api/v1/stock/up-to-the-minute")
                return ScriptedReply{200, overviewReply()};
            if (r.path == "/api/v1/trade/guide")
                return ScriptedReply{200, R"({"success":"true","infor":{"extend_1":30.6,"extend_11":30.4,"main_5":30.5}})"};
            return ScriptedReply{200, R"({"success":"true","msg":"","infor":[]})"};
        };
        // Each item's figures carry its own opening price and name.
        const LoopbackServer::Handler market = [this](const RecordedRequest& r) {
            m_gate.pass(r.path);
            const int code = itemOf(r.path);
            for (const Listed& item : kListed) {
                if (item.code != code)
                    continue;
                const std::string price = std::to_string(item.opening);
                if (r.path.rfind("/api/realtime/", 0) == 0)
                    return ScriptedReply{200, client::utf8ToWire(std::string("{\"success\":\"true\",\"infor\":[{\"stockName\":\"") +
                                                                 item.name + "\",\"opening\":" + price + ",\"latest\":" + price + "}]}")};
                if (r.path.rfind("/api/timeline/", 0) == 0)
                    return ScriptedReply{200, "{\"success\":\"true\",\"infor\":[{\"time\":\"09:30\",\"price\":" + price +
                                                  ",\"averagePrice\":" + price + ",\"vol\":5}]}"};
            }
            return ScriptedReply{200, R"({"success":"true","infor":[]})"};
        };
        m_world = std::make_unique<testsupport::ScriptedTerminal>(m_host, DATA_DIR, trade, market);
        QVERIFY(m_world->ready());
        m_trade = &m_world->trade();
        m_market = &m_world->market();
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::No);
    }

    void cleanup()
    {
        m_gate.open();
        m_login.reset();
        m_boxes.reset();
        m_world.reset();
    }

    void aDoubleClickedRowIsFollowedByEveryViewAndRemembered()
    {
        Transaction_Dlg* w = open(true);
        QTRY_COMPARE_WITH_TIMEOUT(w->basicList()->rowCount(), 3, 10000);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        JListCtrl* list = w->basicList();
        const QRect cell = list->visualRect(list->model()->index(1, 1)); // 9160003's row
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(w->chartMode());
        QCOMPARE(Session::current().currentItem().code, 9160003);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/timeline/9160003/"), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/realtime/9160003") && asked("/api/dealdetail/9160003/20"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(w->quotePanel()->openingPrice(), 30.5, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(title(w->timeshareChart(), "O"), std::string("Arvesse庄园赤霞珠     分时 均价  成交量"), 10000);
        testsupport::run(w, testsupport::MarketCommand::Kline);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/histogram/9160003/8"), 10000);
        testsupport::run(w, testsupport::MarketCommand::Information);
        QVERIFY(asked("/api/stockinfo/9160003"));
        testsupport::run(w, testsupport::MarketCommand::Ticks);
        QVERIFY(asked("/api/dealdetail/9160003/0"));
        testsupport::run(w, testsupport::MarketCommand::PriceTable);
        QVERIFY(asked("/api/pricedetail/9160003"));
        testsupport::run(w, testsupport::MarketCommand::QuickBuy);
        QTRY_VERIFY(w->quickBuy());
        QCOMPARE(w->quickBuy()->codeField()->text(), QStringLiteral("9160003"));
        QCOMPARE(w->quickBuy()->priceField()->text(), QStringLiteral("30.60"));
        // Nothing of the first item was asked for, and the choice is kept for the next start.
        for (const RecordedRequest& r : m_market->requests())
            QVERIFY2(itemOf(r.path) == 9160003, r.path.c_str());
        QCOMPARE(market::readChosenItem(".").value, std::optional<int>(9160003));
    }

    void aReplyForTheItemLeftIsNotShown()
    {
        Transaction_Dlg* w = open(false);
        m_gate.holdFrom("/api/timeline/9160001/");
        testsupport::run(w, testsupport::MarketCommand::Timeshare);
        QTRY_VERIFY_WITH_TIMEOUT(m_gate.held().rfind("/api/timeline/9160001/", 0) == 0, 15000);
        w->chooseItem(9160005);
        m_gate.holdFrom("/api/timeline/9160005/"); // lets the first item's reply go, after the switch
        // The poller asks for the new item once it has dealt with that late reply.
        QTRY_VERIFY_WITH_TIMEOUT(m_gate.held().rfind("/api/timeline/9160005/", 0) == 0, 15000);
        QCOMPARE(elements(w->timeshareChart(), "O2"), std::size_t(0));
        QCOMPARE(title(w->timeshareChart(), "O"), std::string());
        m_gate.open();
        QTRY_COMPARE_WITH_TIMEOUT(elements(w->timeshareChart(), "O2"), std::size_t(1), 10000);
        QCOMPARE(title(w->timeshareChart(), "O"), std::string("Cantevel霞多丽     分时 均价  成交量"));
        QTRY_COMPARE_WITH_TIMEOUT(w->quotePanel()->openingPrice(), 42.75, 10000);
    }

    void theKeysMoveThroughTheListAndTheViews()
    {
        Transaction_Dlg* w = open(false);
        QTRY_COMPARE_WITH_TIMEOUT(w->basicList()->rowCount(), 3, 10000);
        auto press = [w](Qt::Key key) { QTest::keyClick(w, key); };
        press(Qt::Key_Down); // the first row
        press(Qt::Key_Down);
        QCOMPARE(w->basicList()->currentRow(), 1);
        press(Qt::Key_Return);
        QVERIFY(w->chartMode());
        QCOMPARE(Session::current().currentItem().code, 9160003);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/timeline/9160003/"), 15000);
        press(Qt::Key_F5);
        QVERIFY(w->klineChart()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/histogram/9160003/8"), 10000);
        press(Qt::Key_BracketRight); // the next period
        QCOMPARE(w->periodCode(), 9);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/histogram/9160003/9"), 10000);
        press(Qt::Key_BracketLeft);
        QCOMPARE(w->periodCode(), 8);
        press(Qt::Key_PageDown); // the next item, in the same view
        QCOMPARE(Session::current().currentItem().code, 9160005);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/histogram/9160005/8"), 10000);
        press(Qt::Key_F5);
        QVERIFY(w->timeshareChart()->isVisible());
        press(Qt::Key_PageUp);
        press(Qt::Key_PageUp);
        QCOMPARE(Session::current().currentItem().code, 9160001);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/timeline/9160001/"), 10000);
        press(Qt::Key_PageUp); // wraps to the last
        QCOMPARE(Session::current().currentItem().code, 9160005);

        struct Step
        {
            Qt::Key key;
            bool chartMode;
            int tab;
        };
        for (const Step& step : {Step{Qt::Key_F10, true, 2}, Step{Qt::Key_F1, true, 3}, Step{Qt::Key_F2, true, 4},
                                 Step{Qt::Key_F3, false, 0}, Step{Qt::Key_F1, true, 3}, Step{Qt::Key_F3, false, 0}}) {
            press(step.key);
            QCOMPARE(w->chartMode(), step.chartMode);
            QCOMPARE(w->currentTab(), step.tab);
        }
        QVERIFY(w->tickList()->isHidden());
        QVERIFY(asked("/api/stockinfo/9160005") && asked("/api/dealdetail/9160005/0") && asked("/api/pricedetail/9160005"));

        // In the list, a page down stops at the last row; a page up at the first.
        press(Qt::Key_PageDown);
        QCOMPARE(w->basicList()->currentRow(), 2);
        press(Qt::Key_PageUp);
        QCOMPARE(w->basicList()->currentRow(), 0);
        press(Qt::Key_Return);
        QCOMPARE(Session::current().currentItem().code, 9160001);
        QVERIFY(w->timeshareChart()->isVisible());
        QVERIFY(m_boxes->calls().empty());
    }

    void typingFindsAnItemByCodeOrName()
    {
        Transaction_Dlg* w = open(false); // a visitor
        QTRY_COMPARE_WITH_TIMEOUT(w->basicList()->rowCount(), 3, 10000);
        QTest::keyClick(w, Qt::Key_9);
        market::ItemFinder* finder = w->finder();
        QVERIFY(finder && finder->isVisible());
        QCOMPARE(finder->field()->text(), QStringLiteral("9"));
        QCOMPARE(finder->list()->rowCount(), 3);
        // Over the foot of the work area's right side, above the status band.
        QCOMPARE(finder->geometry().bottomRight(), QPoint(1919, 1011));
        QTest::keyClicks(finder->field(), "160005");
        QCOMPARE(finder->list()->rowCount(), 1);
        QCOMPARE(finder->list()->cellText(0, 1), QStringLiteral("Cantevel霞多丽"));
        QTest::keyClick(finder->field(), Qt::Key_Return);
        QVERIFY(!finder->isVisible());
        QVERIFY(w->chartMode());
        QCOMPARE(Session::current().currentItem().code, 9160005);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/timeline/9160005/"), 15000);

        // By name, any case; the arrows move the choice; Esc leaves everything as it was.
        QTest::keyClick(w, 'E', Qt::ShiftModifier);
        QCOMPARE(finder->field()->text(), QStringLiteral("E"));
        QCOMPARE(finder->list()->rowCount(), 3);
        QTest::keyClick(finder->field(), Qt::Key_Down);
        QTest::keyClick(finder->field(), Qt::Key_Down);
        QTest::keyClick(finder->field(), Qt::Key_Down);
        QTest::keyClick(finder->field(), Qt::Key_Up);
        QCOMPARE(finder->chosenCode(), 9160003);
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        finder->grab().save(QStringLiteral(RENDER_DIR "/item-finder.png"));
        QTest::keyClick(finder->field(), Qt::Key_Escape);
        QVERIFY(!finder->isVisible());
        QCOMPARE(Session::current().currentItem().code, 9160005);
        QTest::keyClick(w, Qt::Key_7); // a click elsewhere closes it too
        QVERIFY(finder->isVisible());
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, QPoint(600, 500));
        QTRY_VERIFY(!finder->isVisible());
        QVERIFY(m_boxes->calls().empty()); // Esc in the finder is not the window's Esc
    }

    void theLastChoiceIsCurrentAtTheNextStart_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<int>("current");
        QTest::newRow("none") << QByteArray() << 9160001;
        QTest::newRow("listed") << QByteArray("9160003\n") << 9160003;
        QTest::newRow("no longer listed") << QByteArray("9160009\n") << 9160001;
        QTest::newRow("not a code") << QByteArray("91600x1") << 9160001;
    }

    void theLastChoiceIsCurrentAtTheNextStart()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, current);
        if (!file.isEmpty()) {
            QFile f(QString::fromLatin1(market::kChosenItemFile));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(file);
        }
        Transaction_Dlg* w = open(false);
        QTRY_COMPARE_WITH_TIMEOUT(w->basicList()->rowCount(), 3, 10000);
        testsupport::run(w, testsupport::MarketCommand::Timeshare);
        const std::string prefix = "/api/timeline/" + std::to_string(current) + "/";
        QTRY_VERIFY_WITH_TIMEOUT(asked(prefix), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(asked("/api/realtime/" + std::to_string(current)), 10000);
        // The first item's requests stay as they have always been, byte for byte.
        for (const RecordedRequest& r : m_market->requests()) {
            QVERIFY2(itemOf(r.path) == current, r.path.c_str());
            if (current == 9160001)
                QVERIFY2(r.path == "/api/realtime/9160001" || r.path == "/api/dealdetail/9160001/20" ||
                             r.path.rfind("/api/timeline/9160001/", 0) == 0,
                         r.path.c_str());
        }
        // Taking up the last choice is no new choice: the file stays as it was.
        QFile f(QString::fromLatin1(market::kChosenItemFile));
        QCOMPARE(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), file);
    }

    void theWatchlistKeepsTheTradersItems()
    {
        auto fileText = [] {
            QFile f(QString::fromLatin1(market::kWatchlistFile));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
        };
        Transaction_Dlg* w = open(false);
        QTRY_COMPARE_WITH_TIMEOUT(w->basicList()->rowCount(), 3, 10000);
        QCOMPARE(fileText(), QByteArray("(none)")); // nothing is written until the list changes
        QTest::keyClick(w, Qt::Key_F6);
        QVERIFY(w->watchlistShown());
        QCOMPARE(w->basicList()->rowCount(), 0);
        QDir().mkpath(QStringLiteral(RENDER_DIR));
        w->grab().save(QStringLiteral(RENDER_DIR "/watchlist-empty.png")); // with its hint
        testsupport::run(w, testsupport::MarketCommand::Overview);
        QCOMPARE(w->basicList()->rowCount(), 3);

        // Insert on 9160005's row, the menu on 9160003's: the list keeps the overview's order.
        QTest::keyClick(w, Qt::Key_PageDown); // the first row
        QTest::keyClick(w, Qt::Key_PageDown);
        QTest::keyClick(w, Qt::Key_Insert);
        QCOMPARE(fileText(), QByteArray("9160005\n"));
        auto rightClick = [w](int row) {
            QWidget* rows = w->basicList()->viewport();
            const QPoint at = w->basicList()->visualRect(w->basicList()->model()->index(row, 1)).center();
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, rows->mapToGlobal(at));
            QApplication::sendEvent(rows, &click);
            return qobject_cast<QMenu*>(QApplication::activePopupWidget());
        };
        QMenu* menu = rightClick(1);
        QVERIFY(menu);
        QVERIFY(!menu->actions().at(1)->isEnabled()); // 删除自选: not in the list
        menu->actions().at(0)->trigger();
        menu->close();
        QCOMPARE(fileText(), QByteArray("9160005\n9160003\n"));
        menu = rightClick(1);
        QVERIFY(menu);
        QVERIFY(!menu->actions().at(0)->isEnabled()); // 加入自选: already in it
        menu->close();
        testsupport::run(w, testsupport::MarketCommand::Watchlist);
        QCOMPARE(w->basicList()->rowCount(), 2);
        QCOMPARE(w->basicList()->cellText(0, 1), QStringLiteral("9160003"));
        // A refresh filters its rows too, and the selection stays on its item.
        QTest::keyClick(w, Qt::Key_Down);
        QTest::keyClick(w, Qt::Key_Down);
        const std::size_t asked = m_trade->requests().size();
        w->refresh();
        QTRY_VERIFY_WITH_TIMEOUT(m_trade->requests().size() > asked, 10000);
        QTRY_COMPARE(w->basicList()->rowCount(), 2);
        QCOMPARE(w->basicList()->currentRow(), 1);
        QTest::keyClick(w, Qt::Key_Delete);
        QCOMPARE(fileText(), QByteArray("9160003\n"));
        QCOMPARE(w->basicList()->rowCount(), 1);
        w->grab().save(QStringLiteral(RENDER_DIR "/watchlist.png"));
        testsupport::run(w, testsupport::MarketCommand::Overview);
        QCOMPARE(w->basicList()->rowCount(), 3);
        QTest::keyClick(w, Qt::Key_Delete); // only while the watchlist is shown
        QCOMPARE(fileText(), QByteArray("9160003\n"));
        QVERIFY(m_boxes->calls().empty());
    }

    // Each reply moves the rows: a keyboard user selects, waits, and acts on the item chosen.
    void aMovingMarketKeepsTheSelectionForTheKeys()
    {
        std::atomic<int> served{0};
        m_trade->setHandler([&served](const RecordedRequest& r) {
            if (r.path == "/api/v1/stock/up-to-the-minute")
                return ScriptedReply{200, movingOverviewReply(++served)};
            return ScriptedReply{200, R"({"success":"true","msg":"","infor":[]})"};
        });
        Transaction_Dlg* w = open(false);
        qint64 now = 1700000000000;
        w->setClockForTest([&now] { return now; });
        JListCtrl* list = w->basicList();
        QTRY_COMPARE_WITH_TIMEOUT(list->rowCount(), 3, 10000);
        const int total = columnOf(list, QStringLiteral("总手"));
        QVERIFY(total >= 0);
        auto waitForRefreshes = [&](int count) {
            for (int i = 0; i < count; ++i) {
                const int before = served.load();
                w->refresh();
                QTRY_VERIFY_WITH_TIMEOUT(served.load() > before, 10000);
                QTRY_VERIFY_WITH_TIMEOUT(list->cellText(0, total) == QString::number(served.load() + 100), 10000);
            }
        };
        auto selected = [list] { return list->currentRow() < 0 ? 0 : list->cellText(list->currentRow(), 1).toInt(); };
        auto watchlistFile = [] {
            QFile f(QString::fromLatin1(market::kWatchlistFile));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };

        QTest::keyClick(w, Qt::Key_Down);
        QTest::keyClick(w, Qt::Key_Down);
        const int first = list->cellText(1, 1).toInt();
        QCOMPARE(selected(), first);
        waitForRefreshes(2);
        QCOMPARE(selected(), first);
        QTest::keyClick(w, Qt::Key_Insert);
        QCOMPARE(watchlistFile(), QByteArray::number(first) + '\n');
        QVERIFY(w->statusText().startsWith(QStringLiteral("已加入自选：%1 ").arg(first)));
        // The band tells that the quotes are live, and when they stop being so.
        const QString time = QDateTime::fromMSecsSinceEpoch(now).toString(QStringLiteral("HH:mm:ss"));
        QVERIFY2(w->liveText().contains(QStringLiteral("行情：") + time), qPrintable(w->liveText()));
        QVERIFY(w->liveText().endsWith(QStringLiteral("未登录")));
        QVERIFY(!w->quotesLate());
        now += Transaction_Dlg::kQuotesLateMs + 1000;
        QVERIFY(w->quotesLate());
        // The arrows go on from the item's row, wherever the refresh put it.
        const int row = list->currentRow();
        QTest::keyClick(w, row == 2 ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(list->currentRow(), row == 2 ? 1 : row + 1);
        const int second = selected();
        waitForRefreshes(1);
        QVERIFY(!w->quotesLate());
        QTest::keyClick(w, Qt::Key_Insert);
        QCOMPARE(watchlistFile(), QByteArray::number(first) + '\n' + QByteArray::number(second) + '\n');

        // The watchlist view: numbered 1..n, and the selection holds there too.
        QTest::keyClick(w, Qt::Key_F6);
        QTRY_COMPARE(list->rowCount(), 2);
        QCOMPARE(list->cellText(0, 0), QStringLiteral("1"));
        QCOMPARE(list->cellText(1, 0), QStringLiteral("2"));
        QVERIFY(w->statusText().startsWith(QStringLiteral("自选（2）")));
        QCOMPARE(selected(), second);
        waitForRefreshes(2);
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(selected(), second);
        QTest::keyClick(w, Qt::Key_Return);
        QVERIFY(w->chartMode());
        QCOMPARE(Session::current().currentItem().code, second);
        QVERIFY(m_boxes->calls().empty());
    }

    void anUnreadableWatchlistIsNamedAndKeptUntilChanged()
    {
        const QByteArray mistyped("9160003\n9160O05\n");
        {
            QFile f(QString::fromLatin1(market::kWatchlistFile));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(mistyped);
        }
        Transaction_Dlg* w = open(false);
        QCOMPARE(m_boxes->calls().size(), std::size_t(1));
        QVERIFY(m_boxes->texts().at(0).contains(QDir::current().absoluteFilePath(QStringLiteral("watchlist"))));
        QTRY_COMPARE_WITH_TIMEOUT(w->basicList()->rowCount(), 3, 10000);
        testsupport::run(w, testsupport::MarketCommand::Watchlist);
        QCOMPARE(w->basicList()->rowCount(), 0);
        QFile f(QString::fromLatin1(market::kWatchlistFile));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), mistyped);
        f.close();
        testsupport::run(w, testsupport::MarketCommand::Overview);
        QTest::keyClick(w, Qt::Key_Down);
        QTest::keyClick(w, Qt::Key_Insert);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("9160001\n"));
    }
};

QTEST_MAIN(ChosenItemTest)
#include "ChosenItemTest.moc"
