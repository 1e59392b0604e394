// The fault matrix: every way the service can fail, against every kind of request the
// terminal makes. For each fault the terminal must stay responsive, show the specified
// reaction, keep its memory bounded and recover by itself once the fault is lifted.
#include <algorithm>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "Accounts.h"
#include "Exchange.h"
#include "Faults.h"
#include "HttpFront.h"
#include "app/CVelmoraDlg.h"
#include "app/LoginDlg.h"
#include "app/MarketWindow.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "chart/CKBarCtrl.h"
#include "chart/ChartColour.h"
#include "session/Config.h"
#include "client/Transport.h"
#include "controls/JListCtrl.h"
#include "market/core/CUPdate_rightdlg_thread.h"
#include "market/core/CUPdate_thread.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/core/Pollers.h"
#include "market/Right_Msg_Dlg.h"
#include "market/SingleItemQuote.h"
#include "platform/Platform.h"
#include "support/MarketCommands.h"
#include "support/LoopbackServer.h"
#include "support/Pixels.h"
#include "support/TerminalSession.h"
#include "trade/core/OrderOutcome.h"
#include "trade/low_deal_buy_dlg.h"

namespace {

using market::MarketRequest;

// The transport's time-outs bound every wait of the GUI thread. The slack is for a loaded
// machine: inflating a gzip bomb up to the reply cap is CPU work that libcurl does between
// two time-out checks. It still tells a bounded wait from one the fault sets: a hang would
// hold the thread 30 s, a drip for minutes.
constexpr int kTransportTimeoutMs = 3000;
constexpr int kSlackMs = 7000;
// Several transfers may each hold up to the reply cap at once (two pollers, the GUI and the
// buy window's timer).
constexpr long kPeakBoundKb = 400 * 1024;
// What stays after the fault is lifted, measured from before the first row once the
// allocator has handed back what it can: the working set the views grow into over the
// matrix, plus the free pages at the top of the arenas of the threads other than the GUI's
// (the market and quote pollers, the account's fill poller, the trading windows' timer
// requests) that met a bomb, which malloc_trim does not reach: up to about a reply cap each,
// three seen at most since the fill poller came. The figure varies from run to run with how
// the threads' transfers interleave; a leak would grow with every request that meets a bomb
// instead, a dozen of them a row.
constexpr long kRetainedBoundKb = 3 * long(client::kMaxReplyBytes / 1024) + 32 * 1024;

// Under AddressSanitizer freed memory waits in its quarantine and the shadow grows with the
// heap, so resident memory says nothing of the terminal's own; its leak check stands in.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryIsMeasurable = false;
#else
constexpr bool kMemoryIsMeasurable = true;
#endif

long procStatusKb(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return 0;
}

// Resident memory once the allocator has handed its free pages back: each thread that met a
// bomb grew a buffer to the reply cap in an arena of its own, and those pages, free again,
// are not what the terminal holds.
long retainedRssKb()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    return procStatusKb("VmRSS");
}

void resetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

int inkOf(const QImage& image, chart::Colour a, chart::Colour b)
{
    const QRect plot(50, 30, image.width() - 120, image.height() - 60);
    return testsupport::CountColour(image, plot, chart::toQColor(a)) +
           testsupport::CountColour(image, plot, chart::toQColor(b));
}

// One fault of the service: a rule for exchange::Faults, or the service gone altogether.
struct FaultCase
{
    const char* name;
    const char* tag;    // a column heading
    const char* rule;   // MODE[:ARG]; nullptr: nothing listens (connection refused)
    bool loginSucceeds; // the reply still says "success": the login goes through
    // The boxes a confirmed buy shows, joined by "|". The usable cash it checks first is
    // not faulted, so the question comes unless nothing listens at all (no cash: refused);
    // a reply that parses has its `msg` shown, here a member of the wrong type, so empty; one
    // that does not leaves the outcome unknown, and today's orders are looked up.
    const char* orderSays;
};

const FaultCase kFaults[] = {
    {"connection refused", "refused", nullptr, false, "余额不足"},
    {"accepts, never answers", "hang", "hang", false, "是否买入|委托结果未知"},
    {"slow drip, 1 byte/s", "drip", "drip", false, "是否买入|委托结果未知"},
    {"reply cut mid-body", "cut", "close", false, "是否买入|委托结果未知"},
    {"HTTP 500 with an HTML page", "500", "500", false, "是否买入|委托结果未知"},
    {"not JSON", "not JSON", "malformed", false, "是否买入|委托结果未知"},
    {"every member of the wrong type", "wrongtypes", "wrongtypes", true, "是否买入|"},
    {"100 MB body", "100 MB", "huge:104857600", false, "是否买入|委托结果未知"},
    {"gzip bomb (256 MB inflated)", "gzip bomb", "gzipbomb:268435456", false, "是否买入|委托结果未知"},
};

struct Outcome
{
    std::string fault;
    long maxGuiGapMs = 0;
    long loginMs = 0;
    QString loginReaction;
    long orderMs = 0;
    QString orderReaction;
    QString answerAfterLift;
    // By request kind: the requests that met the fault (-1: nothing listened), and when its
    // view showed live data again after the lift (-1: it has no view to show it).
    std::vector<long> met;
    std::vector<long> backAfterMs;
    long peakGrowthKb = 0;
    long retainedKb = 0;
    long recoveryMs = 0;
};

std::vector<Outcome>& outcomes()
{
    static std::vector<Outcome> all;
    return all;
}

} // namespace

class FaultMatrixTest final : public QObject
{
    Q_OBJECT

    // A kind of request the terminal makes, with the paths it reaches and how a test sees
    // that its view is live again.
    struct RequestKind
    {
        const char* name;
        std::vector<std::string> paths;
        std::function<void()> provoke;   // make the terminal send it now
        std::function<void()> forget;    // drop what the view shows, so recovery is seen anew
        std::function<bool()> healthy;   // the view shows live data
    };

private:
    std::string m_address = testsupport::UniqueLoopbackAddress(11);
    std::unique_ptr<exchange::Exchange> m_exchange;
    std::unique_ptr<exchange::Faults> m_faults;
    std::unique_ptr<exchange::HttpFront> m_front;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;
    std::unique_ptr<CVelmoraDlg> m_login;
    Transaction_Dlg* m_market = nullptr;
    low_deal_buy_dlg* m_buy = nullptr;
    QString m_orderPrice;
    int m_ordersBefore = 0; // today's orders listed before the last order went out
    std::vector<RequestKind> m_kinds;
    long m_startRssKb = 0;

    void startFront()
    {
        m_faults = std::make_unique<exchange::Faults>();
        m_front = std::make_unique<exchange::HttpFront>(*m_exchange, *m_faults);
        std::string error;
        QVERIFY2(m_front->start({m_address}, m_address, 8090, error), error.c_str());
    }

    void postEverything()
    {
        for (const RequestKind& k : m_kinds)
            if (k.provoke)
                k.provoke();
    }

    bool pollersIdle(int timeoutMs = 30000)
    {
        return m_market->poller()->waitIdle(timeoutMs) && m_market->quotePanel()->poller()->waitIdle(timeoutMs);
    }

    // The re-login form, as a visitor's trading command opens it: the login request on the
    // GUI thread. Returns the message boxes it showed.
    QStringList login(long& elapsedMs)
    {
        LoginDlg dlg(m_market);
        m_boxes->clear();
        QElapsedTimer t;
        t.start();
        testsupport::logIn(dlg);
        elapsedMs = t.elapsed();
        return m_boxes->texts();
    }

    // One unit of the item bought in the trade panel's buy window, the question answered
    // Yes, on the GUI thread. Returns the message boxes it showed.
    QStringList placeOrder(long& elapsedMs)
    {
        m_ordersBefore = m_buy->list(trade::OrderWindow::Tab::Orders)->rowCount();
        m_buy->codeField()->setText(QStringLiteral("9160001"));
        m_buy->priceField()->setText(m_orderPrice);
        m_buy->quantityField()->setText(QStringLiteral("1"));
        m_boxes->clear();
        m_boxes->setAnswer(platform::MsgResult::Yes);
        QElapsedTimer t;
        t.start();
        m_buy->placeOrder();
        elapsedMs = t.elapsed();
        m_boxes->setAnswer(platform::MsgResult::No);
        const QStringList boxes = m_boxes->texts();
        m_boxes->clear();
        return boxes;
    }

    // Each request kind against each fault: the requests that met it, and the seconds its
    // view took to show live data again once it was lifted ("-" for a kind without a view:
    // the login and the order are answered right after the lift).
    void printKinds() const
    {
        std::printf("\nrequests that met the fault / seconds until live again\n%-30s", "request kind");
        for (const FaultCase& f : kFaults)
            std::printf(" %10s", f.tag);
        std::printf("\n");
        for (size_t k = 0; k < m_kinds.size(); ++k) {
            std::printf("%-30s", m_kinds[k].name);
            for (const Outcome& o : outcomes()) {
                if (k >= o.met.size())
                    continue;
                const std::string met = o.met[k] < 0 ? "-" : std::to_string(o.met[k]);
                const std::string back =
                    o.backAfterMs[k] < 0 ? "-" : QString::asprintf("%.1f", double(o.backAfterMs[k]) / 1000).toStdString();
                std::printf(" %10s", (met + "/" + back).c_str());
            }
            std::printf("\n");
        }
    }

    // The window lists an answered order a moment after it went out; a row starts only once
    // that refresh is done, so it does not meet the next fault.
    void waitForOrderListed()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_buy->list(trade::OrderWindow::Tab::Orders)->rowCount() > m_ordersBefore, 10000);
    }

private slots:
    void initTestCase()
    {
        exchange::ExchangeConfig config;
        config.key = client::defaults::kSignKey;
        config.seed = 5;
        config.accounts = exchange::DemoAccounts();
        config.infoPageBase = "http://" + m_address + ":8090/stockinfo/";
        std::string error;
        m_exchange = exchange::Exchange::Create(config, error);
        QVERIFY2(m_exchange, error.c_str());
        m_exchange->simulate(300);
        startFront();

        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QVERIFY(QFile::copy(QStringLiteral(DATA_DIR "/currentlisttitle.txt"), QStringLiteral("currentlisttitle.txt")));
        QVERIFY(QFile::copy(QStringLiteral(DATA_DIR "/listtitle.txt"), QStringLiteral("listtitle.txt")));
        platform::setDataDirectory(m_dir->filePath(QStringLiteral("data")));
        platform::setWorkArea(QRect(0, 0, 1920, 1040));
        testsupport::pointTerminalAt(m_address);
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::No);

        m_login = std::make_unique<CVelmoraDlg>();
        m_market = testsupport::logIn(*m_login);
        QVERIFY(m_market);
        // The K-line view: the quote panel and its poller run, candles are polled; the test
        // posts the other kinds itself, as the other views would.
        testsupport::run(m_market, testsupport::MarketCommand::Kline);
        QVERIFY(m_market->quotePanel());
        // The trade panel's buy window follows the item: its timer asks for the quote, its
        // orders tab lists today's orders, one of them placed here at the day's lowest price
        // (it rests in the book).
        QVERIFY(m_market->tradePanel());
        m_buy = qobject_cast<low_deal_buy_dlg*>(m_market->tradePanel()->hostedWindow(Detail_Trans_Dlg::Hosted::Buy));
        QVERIFY(m_buy);
        m_buy->codeField()->setText(QStringLiteral("9160001"));
        m_buy->selectTab(trade::OrderWindow::Tab::Orders);
        QTRY_VERIFY_WITH_TIMEOUT(Session::current().singleItemQuote() != market::SingleItemQuote(), 30000);
        m_orderPrice = QString::asprintf("%.2f", double(Session::current().singleItemQuote().prices[3]));
        long orderMs = 0;
        const QStringList placed = placeOrder(orderMs);
        QVERIFY2(placed.size() == 2 && !placed[1].isEmpty(), qPrintable(placed.join(QLatin1Char('|'))));
        waitForOrderListed();

        Transaction_Dlg* w = m_market;
        low_deal_buy_dlg* buy = m_buy;
        JListCtrl* orders = buy->list(trade::OrderWindow::Tab::Orders);
        m_kinds = {
            {"overview (main poller)", {"/api/v1/stock/up-to-the-minute"},
             [w] { w->poller()->requestOverview(MarketRequest::OverviewBasic); },
             [w] { w->basicList()->clearRows(); },
             [w] { return w->basicList()->rowCount() >= 13 && !w->basicList()->cellText(0, 2).isEmpty(); }},
            {"candles (main poller)", {"/api/histogram/*"},
             [w] { w->poller()->requestCandles(Session::current().currentItem(), w->periodCode()); }, nullptr,
             [w] { return inkOf(w->klineChart()->Snapshot(), chart::kCandleRise, chart::kCandleFall) > 100; }},
            {"time-share (main poller)", {"/api/timeline/*"},
             [w] { w->poller()->requestTimeline(Session::current().currentItem()); }, nullptr, nullptr},
            {"usable cash (main poller)", {"/api/v1/account/apply"},
             [w] { w->poller()->requestUsableCash(); }, [] { Session::current().setAvailableCash(0.0f); },
             [] { return Session::current().availableCash() > 0.0f; }},
            {"quote panel (quote poller)", {"/api/realtime/*", "/api/dealdetail/*"},
             [w] {
                 w->quotePanel()->poller()->requestQuote(Session::current().currentItem());
                 w->quotePanel()->poller()->requestTicks(Session::current().currentItem());
             },
             nullptr, [w] { return w->quotePanel()->openingPrice() > 0.0; }},
            {"login (GUI thread)", {"/api/v1/user/login"}, nullptr, nullptr, nullptr},
            // The quote by the window's timer, off the GUI thread; the orders by the
            // refresh button, on it.
            {"trading query (buy window)", {"/api/v1/trade/guide", "/api/v1/order/today"}, [buy] { buy->refresh(); },
             [orders] {
                 orders->clearRows();
                 Session::current().setSingleItemQuote(market::SingleItemQuote());
             },
             [orders] { return orders->rowCount() > 0 && Session::current().singleItemQuote() != market::SingleItemQuote(); }},
            {"trading order (buy window)", {"/api/v1/item/buy"}, nullptr, nullptr, nullptr},
        };
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(m_kinds.begin(), m_kinds.end(),
                                             [](const RequestKind& k) { return !k.healthy || k.healthy(); }),
                                 30000);
        QVERIFY(pollersIdle());
        m_startRssKb = retainedRssKb();
    }

    void cleanupTestCase()
    {
        // The boxes shown, an empty text as "".
        const auto shown = [](const QString& boxes) {
            if (boxes.isEmpty())
                return QStringLiteral("(none)");
            QStringList texts = boxes.split(QLatin1Char('|'));
            for (QString& text : texts)
                if (text.isEmpty())
                    text = QStringLiteral("\"\"");
            return texts.join(QLatin1Char('|'));
        };
        std::printf("\n%-32s %9s %9s %-10s %9s %-14s %10s %10s %10s  %s\n", "fault", "GUI gap", "login",
                    "login says", "order", "order says", "peak +MB", "kept +MB", "recovery", "order after lift");
        for (const Outcome& o : outcomes())
            std::printf("%-32s %7ldms %7ldms %-10s %7ldms %-14s %10.1f %10.1f %8ldms  %s\n", o.fault.c_str(),
                        o.maxGuiGapMs, o.loginMs, qPrintable(shown(o.loginReaction)), o.orderMs,
                        qPrintable(shown(o.orderReaction)), double(o.peakGrowthKb) / 1024.0,
                        double(o.retainedKb) / 1024.0, o.recoveryMs, qPrintable(o.answerAfterLift));
        printKinds();
        std::fflush(stdout);
        m_login.reset();
        app::setCodeClock(nullptr);
        app::setMarketWindowFactory(nullptr);
        m_front.reset();
        m_exchange.reset();
    }

    void faultMatrix_data()
    {
        QTest::addColumn<int>("fault");
        for (int i = 0; i < int(std::size(kFaults)); ++i)
            QTest::newRow(kFaults[i].name) << i;
    }

    void faultMatrix()
    {
        QFETCH(int, fault);
        const FaultCase& f = kFaults[fault];
        Outcome outcome;
        outcome.fault = f.name;

        // The GUI thread's heartbeat: the longest gap between two ticks is how long it was
        // kept from its events.
        QElapsedTimer sinceTick;
        sinceTick.start();
        long maxGap = 0;
        QTimer heartbeat;
        heartbeat.setInterval(50);
        connect(&heartbeat, &QTimer::timeout, [&] {
            maxGap = std::max<long>(maxGap, long(sinceTick.restart()));
        });

        // The exchange runs in this process: make its bomb beforehand, so that the minutes
        // of deflating spent on the service's side are not charged to the terminal's threads.
        if (f.rule && std::string(f.rule).rfind("gzipbomb:", 0) == 0)
            exchange::GzipBomb(std::stoull(std::string(f.rule).substr(9)));
        if (f.rule) {
            for (const RequestKind& k : m_kinds)
                for (const std::string& path : k.paths) {
                    std::string error;
                    QVERIFY2(m_faults->add(path + "=" + f.rule, error), error.c_str());
                }
        } else {
            m_front.reset(); // nothing listens: every connection is refused
        }
        const long rssBefore = procStatusKb("VmRSS");
        resetPeakRss();
        m_boxes->clear();

        // Every kind of request meets the fault at least once. The window's own timers keep
        // posting meanwhile, so under a fault that holds each request the queues only grow:
        // the exchange's count of requests met tells when every kind has had its turn.
        heartbeat.start();
        sinceTick.restart();
        postEverything();
        if (f.rule) {
            QTRY_VERIFY_WITH_TIMEOUT(std::all_of(m_kinds.begin(), m_kinds.end(),
                                                 [this](const RequestKind& k) {
                                                     return !k.provoke || std::all_of(k.paths.begin(), k.paths.end(),
                                                         [this](const std::string& p) { return m_faults->hits(p) > 0; });
                                                 }),
                                     120000);
        } else {
            // A zero wait would ask both pollers to have run the check the instant it was
            // posted: on a loaded machine that rarely happens.
            QTRY_VERIFY_WITH_TIMEOUT(pollersIdle(200), 60000);
        }
        heartbeat.stop();
        outcome.maxGuiGapMs = maxGap;
        // The pollers' pattern is silent: no message, whatever the fault.
        QVERIFY2(m_boxes->calls().empty(), qPrintable(m_boxes->texts().join(QLatin1Char('|'))));

        const QStringList loginBoxes = login(outcome.loginMs);
        outcome.loginReaction = loginBoxes.join(QLatin1Char('|'));
        if (f.rule)
            QVERIFY(m_faults->hits("/api/v1/user/login") > 0);
        if (f.loginSucceeds)
            QVERIFY2(loginBoxes.isEmpty(), qPrintable(outcome.loginReaction));
        else
            QCOMPARE(loginBoxes, QStringList{QStringLiteral("登陆失败")});
        QVERIFY(Session::current().loggedIn());

        const QStringList orderBoxes = placeOrder(outcome.orderMs);
        outcome.orderReaction = orderBoxes.join(QLatin1Char('|'));
        QCOMPARE(outcome.orderReaction, QString::fromUtf8(f.orderSays));
        if (f.rule)
            QVERIFY(m_faults->hits("/api/v1/item/buy") > 0);
        // The lookup meets the fault too, and says the outcome is still unknown.
        const bool unknown = outcome.orderReaction.endsWith(QString::fromUtf8(trade::kOutcomeUnknown));
        if (unknown) {
            QTRY_VERIFY_WITH_TIMEOUT(!m_boxes->calls().empty(), 30000);
            QCOMPARE(m_boxes->texts(), QStringList{QString::fromUtf8(trade::kOutcomeStillUnknown)});
            m_boxes->clear();
        }
        outcome.peakGrowthKb = procStatusKb("VmHWM") - rssBefore;
        for (const RequestKind& k : m_kinds) {
            long met = f.rule ? 0 : -1;
            for (const std::string& path : k.paths)
                met += f.rule ? m_faults->hits(path) : 0;
            outcome.met.push_back(met);
        }

        // Lift the fault: every view comes back by itself.
        QElapsedTimer recovery;
        recovery.start();
        if (f.rule)
            m_faults->clear({});
        else
            startFront();
        for (const RequestKind& k : m_kinds)
            if (k.forget)
                k.forget();
        outcome.backAfterMs.assign(m_kinds.size(), -1);
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(m_kinds.begin(), m_kinds.end(),
                                             [&](const RequestKind& k) {
                                                 if (k.healthy && k.healthy()) {
                                                     long& back = outcome.backAfterMs[size_t(&k - m_kinds.data())];
                                                     if (back < 0)
                                                         back = recovery.elapsed();
                                                     return true;
                                                 }
                                                 if (k.provoke && m_market->poller()->waitIdle(100))
                                                     k.provoke();
                                                 return !k.healthy;
                                             }),
                                 30000);
        outcome.recoveryMs = recovery.elapsed();
        long okLoginMs = 0;
        QCOMPARE(login(okLoginMs), QStringList());
        long okOrderMs = 0;
        if (unknown) {
            // The same order waits for a lookup that answers; trying it looks again.
            QCOMPARE(placeOrder(okOrderMs), QStringList{QString::fromUtf8(trade::kSameOrderBeingChecked)});
            QTRY_VERIFY_WITH_TIMEOUT(!m_boxes->calls().empty(), 30000);
            const QString word = m_boxes->texts().front();
            QVERIFY2(word == QString::fromUtf8(trade::kOrderFound) || word == QString::fromUtf8(trade::kOrderNotFound),
                     qPrintable(word));
            m_boxes->clear();
        }
        const QStringList answered = placeOrder(okOrderMs);
        QCOMPARE(answered.size(), 2);
        QCOMPARE(answered[0], QStringLiteral("是否买入"));
        QVERIFY(!answered[1].isEmpty());
        outcome.answerAfterLift = answered[1];
        waitForOrderListed();
        QVERIFY(pollersIdle());
        outcome.retainedKb = retainedRssKb() - m_startRssKb;
        outcomes().push_back(outcome);

        QVERIFY2(outcome.maxGuiGapMs < kTransportTimeoutMs + kSlackMs, std::to_string(outcome.maxGuiGapMs).c_str());
        QVERIFY2(outcome.loginMs < kTransportTimeoutMs + kSlackMs, std::to_string(outcome.loginMs).c_str());
        // Two transfers: the usable cash, answered, and the order, faulted.
        QVERIFY2(outcome.orderMs < kTransportTimeoutMs + kSlackMs, std::to_string(outcome.orderMs).c_str());
        if (!kMemoryIsMeasurable)
            return;
        QVERIFY2(outcome.peakGrowthKb < kPeakBoundKb, std::to_string(outcome.peakGrowthKb).c_str());
        QVERIFY2(outcome.retainedKb < kRetainedBoundKb, std::to_string(outcome.retainedKb).c_str());
    }
};

QTEST_MAIN(FaultMatrixTest)
#include "FaultMatrixTest.moc"
