// The fault matrix: every way the service can fail, against every kind of request the
// terminal makes. For each fault the terminal must stay responsive, show the specified
// reaction, keep its memory bounded and recover by itself once the fault is lifted.
#include <algorithm>
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
#include "app/UserSession.h"
#include "app/VerificationCode.h"
#include "chart/CKBarCtrl.h"
#include "chart/ChartColour.h"
#include "client/Config.h"
#include "client/Transport.h"
#include "controls/JListCtrl.h"
#include "market/CUPdate_rightdlg_thread.h"
#include "market/CUPdate_thread.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/Pollers.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Platform.h"
#include "support/LoopbackServer.h"
#include "support/Pixels.h"
#include "support/TerminalSession.h"

namespace {

using market::MarketRequest;

// The transport's time-outs bound every wait of the GUI thread. The slack is for a loaded
// machine: inflating a gzip bomb up to the reply cap is CPU work that libcurl does between
// two time-out checks. It still tells a bounded wait from one the fault sets: a hang would
// hold the thread 30 s, a drip for minutes.
constexpr int kTransportTimeoutMs = 3000;
constexpr int kSlackMs = 7000;
// Several transfers may each hold up to the reply cap at once (two pollers and the GUI).
constexpr long kPeakBoundKb = 400 * 1024;
// What stays after the fault is lifted, measured from before the first row: the working set
// the views grow into over the matrix, plus at most one reply cap of heap pages that the
// allocator keeps for reuse after a bomb (the figure varies from run to run with how the
// threads' transfers interleave; a leak would grow with every row instead).
constexpr long kRetainedBoundKb = long(client::kMaxReplyBytes / 1024) + 32 * 1024;

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

void resetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

int inkOf(const QImage& image, chart::Colour a, chart::Colour b)
{
    const QRect plot(50, 30, image.width() - 120, image.height() - 60);
    return testsupport::CountColour(image, plot, chart::ToQColor(a)) +
           testsupport::CountColour(image, plot, chart::ToQColor(b));
}

// One fault of the service: a rule for exchange::Faults, or the service gone altogether.
struct FaultCase
{
    const char* name;
    const char* rule;   // MODE[:ARG]; nullptr: nothing listens (connection refused)
    bool loginSucceeds; // the reply still says "success": the login goes through
};

const FaultCase kFaults[] = {
    {"connection refused", nullptr, false},
    {"accepts, never answers", "hang", false},
    {"slow drip, 1 byte/s", "drip", false},
    {"reply cut mid-body", "close", false},
    {"HTTP 500 with an HTML page", "500", false},
    {"not JSON", "malformed", false},
    {"every member of the wrong type", "wrongtypes", true},
    {"100 MB body", "huge:104857600", false},
    {"gzip bomb (256 MB inflated)", "gzipbomb:268435456", false},
};

struct Outcome
{
    std::string fault;
    long maxGuiGapMs = 0;
    long loginMs = 0;
    QString loginReaction;
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

    bool pollersIdle()
    {
        return m_market->poller()->waitIdle(30000) && m_market->quotePanel()->poller()->waitIdle(30000);
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

private slots:
    void initTestCase()
    {
        exchange::ExchangeConfig config;
        config.key = client::defaults::kSignKey;
        config.seed = 5;
        config.accounts = exchange::DemoAccounts();
        config.infoPageUrl = "http://" + m_address + ":8090/stockinfo/9160001.html";
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
        m_market->command(Transaction_Dlg::IDC_TOOL_KLINE);
        QVERIFY(m_market->quotePanel());

        Transaction_Dlg* w = m_market;
        // Trading windows: add their query and order rows here, one line each, with the
        // paths they reach, a provoke that sends the request and a check of their list.
        m_kinds = {
            {"overview (main poller)", {"/api/v1/stock/up-to-the-minute"},
             [w] { w->poller()->post(int(MarketRequest::OverviewBasic), 0); },
             [w] { w->basicList()->clearRows(); },
             [w] { return w->basicList()->rowCount() >= 13 && !w->basicList()->cellText(0, 2).isEmpty(); }},
            {"candles (main poller)", {"/api/histogram/*"},
             [w] { w->poller()->post(int(MarketRequest::Candles), w->periodCode()); }, nullptr,
             [w] { return inkOf(w->klineChart()->Snapshot(), chart::kCandleRise, chart::kCandleFall) > 100; }},
            {"time-share (main poller)", {"/api/timeline/*"},
             [w] { w->poller()->post(int(MarketRequest::Timeline), 0); }, nullptr, nullptr},
            {"usable cash (main poller)", {"/api/v1/account/apply"},
             [w] { w->poller()->post(int(MarketRequest::UsableCash), 0); }, [] { market::SetAvailableCash(0.0f); },
             [] { return market::AvailableCash() > 0.0f; }},
            {"quote panel (quote poller)", {"/api/realtime/*", "/api/dealdetail/*"},
             [w] {
                 w->quotePanel()->poller()->post(int(market::QuoteRequest::Realtime), 0);
                 w->quotePanel()->poller()->post(int(market::QuoteRequest::Ticks), 0);
             },
             nullptr, [w] { return w->quotePanel()->openingPrice() > 0.0f; }},
            {"login (GUI thread)", {"/api/v1/user/login"}, nullptr, nullptr, nullptr},
        };
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(m_kinds.begin(), m_kinds.end(),
                                             [](const RequestKind& k) { return !k.healthy || k.healthy(); }),
                                 30000);
        QVERIFY(pollersIdle());
        m_startRssKb = procStatusKb("VmRSS");
    }

    void cleanupTestCase()
    {
        std::printf("\n%-32s %9s %9s %-10s %10s %10s %10s\n", "fault", "GUI gap", "login", "login says",
                    "peak +MB", "kept +MB", "recovery");
        for (const Outcome& o : outcomes())
            std::printf("%-32s %7ldms %7ldms %-10s %10.1f %10.1f %8ldms\n", o.fault.c_str(), o.maxGuiGapMs,
                        o.loginMs, qPrintable(o.loginReaction.isEmpty() ? QStringLiteral("(none)") : o.loginReaction),
                        double(o.peakGrowthKb) / 1024.0, double(o.retainedKb) / 1024.0, o.recoveryMs);
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
            QTRY_VERIFY_WITH_TIMEOUT(m_market->poller()->waitIdle(0) && m_market->quotePanel()->poller()->waitIdle(0),
                                     60000);
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
        QVERIFY(UserSession::instance().loggedIn());
        outcome.peakGrowthKb = procStatusKb("VmHWM") - rssBefore;

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
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(m_kinds.begin(), m_kinds.end(),
                                             [this](const RequestKind& k) {
                                                 if (k.healthy && k.healthy())
                                                     return true;
                                                 if (k.provoke && m_market->poller()->waitIdle(0))
                                                     k.provoke();
                                                 return !k.healthy;
                                             }),
                                 30000);
        outcome.recoveryMs = recovery.elapsed();
        long okLoginMs = 0;
        QCOMPARE(login(okLoginMs), QStringList());
        QVERIFY(pollersIdle());
        outcome.retainedKb = procStatusKb("VmRSS") - m_startRssKb;
        outcomes().push_back(outcome);

        QVERIFY2(outcome.maxGuiGapMs < kTransportTimeoutMs + kSlackMs, std::to_string(outcome.maxGuiGapMs).c_str());
        QVERIFY2(outcome.loginMs < kTransportTimeoutMs + kSlackMs, std::to_string(outcome.loginMs).c_str());
        if (!kMemoryIsMeasurable)
            return;
        QVERIFY2(outcome.peakGrowthKb < kPeakBoundKb, std::to_string(outcome.peakGrowthKb).c_str());
        QVERIFY2(outcome.retainedKb < kRetainedBoundKb, std::to_string(outcome.retainedKb).c_str());
    }
};

QTEST_MAIN(FaultMatrixTest)
#include "FaultMatrixTest.moc"
