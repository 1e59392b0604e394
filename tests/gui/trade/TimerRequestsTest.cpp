// The requests the order windows' timers repeat never hold the GUI thread: a service that
// sits on a request leaves the terminal free to handle its events, the figure appears once
// the answer comes, and an answer for a window that is gone is dropped.
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "session/Session.h"
#include "market/core/Pollers.h"
#include "market/SingleItemQuote.h"
#include "platform/core/CrossThread.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/TradeReplies.h"
#include "support/SignedIn.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_sell_dlg.h"

using testsupport::CountPath;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

constexpr const char* kGuidePath = "/api/v1/trade/guide";
constexpr const char* kPositionsPath = "/api/v1/customer/item";

// Holds the answers to one path until the test opens it.
class Gate
{
public:
    void close()
    {
        std::lock_guard lock(m_mutex);
        m_open = false;
        m_held = 0;
    }
    void open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_cv.notify_all();
    }
    // Server thread: says a request is held, then waits for the test.
    void pass()
    {
        std::unique_lock lock(m_mutex);
        if (!m_open)
            ++m_held;
        m_cv.wait(lock, [this] { return m_open; });
    }
    int held() const
    {
        std::lock_guard lock(m_mutex);
        return m_held;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_open = true;
    int m_held = 0;
};

} // namespace

class TimerRequestsTest final : public QObject
{
    Q_OBJECT

private:
    const std::string m_host = testsupport::UniqueLoopbackAddress(17);
    testsupport::TradeScript m_script;
    Gate m_gate;
    std::atomic<const char*> m_gatedPath{""};
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;

    // While the service holds the timer's request, an event posted on the GUI thread is
    // handled before the service answers; the window's request is still out then.
    void eventLoopRunsWhileHeld(const trade::OrderWindow& w)
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_gate.held(), 1, 10000);
        bool handled = false;
        bool inFlightThen = false;
        QTimer::singleShot(0, this, [&] {
            handled = true;
            inFlightThen = w.tickInFlight();
        });
        QTRY_VERIFY_WITH_TIMEOUT(handled, 10000);
        QVERIFY(inFlightThen);
        QCOMPARE(m_gate.held(), 1);
    }

private slots:
    void initTestCase()
    {
        client::Options o = client::defaultOptions();
        o.line0Host = m_host;
        Session::current().setOptions(o);
        client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-timer-gui-no-connect-file");
        testsupport::logInAs("100001");
        Session::current().storeItems({{9160001, "Tolmere小酒窖", 36.0f}}, 1);
        auto scripted = m_script.handler();
        m_server = std::make_unique<testsupport::LoopbackServer>(
            m_host, client::kTradePort, [this, scripted](const RecordedRequest& r) {
                if (r.path == m_gatedPath.load())
                    m_gate.pass();
                return scripted(r);
            });
    }

    void init()
    {
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::Yes);
        Session::current().setSingleItemQuote(market::SingleItemQuote());
        m_gate.open();
    }

    void cleanup()
    {
        m_gate.open();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        m_boxes.reset();
    }

    void cleanupTestCase()
    {
        m_server.reset();
        Session::current().resetForTest();
    }

    void buyWindowsQuoteTickLeavesTheEventLoopFreeAndOneAtATime()
    {
        m_gatedPath = kGuidePath;
        const std::size_t asked = CountPath(*m_server, kGuidePath);
        low_deal_buy_dlg w(nullptr);
        w.resize(1660, 312);
        w.show();
        w.codeField()->setText(QStringLiteral("9160001"));
        m_gate.close();
        eventLoopRunsWhileHeld(w);
        // Further ticks meanwhile send nothing more.
        QSignalSpy ticks(&w.timer1(), &QTimer::timeout);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.count() >= 1, 10000);
        QVERIFY(!w.shownQuote());
        m_gate.open();
        QTRY_VERIFY_WITH_TIMEOUT(w.shownQuote().has_value(), 10000);
        QCOMPARE(w.shownQuote()->texts[0], "36.20");
        QCOMPARE(CountPath(*m_server, kGuidePath), asked + 1);
        QVERIFY(m_boxes->calls().empty());
    }

    void sellWindowsTickBringsTheQuoteAndTheSellableOnceAnswered()
    {
        m_gatedPath = kPositionsPath;
        low_deal_sell_dlg w(nullptr);
        w.resize(1660, 312);
        w.show();
        w.codeField()->setText(QStringLiteral("9160001"));
        m_script.set(kPositionsPath, testsupport::PositionsReply(1000.0, 40));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.codeField()->setFocus();
        w.priceField()->setFocus(); // the first loss of focus: looked up beside the window, timer 3 runs
        QTRY_COMPARE_WITH_TIMEOUT(w.sellable(), 40, 10000);
        QVERIFY(w.timer3().isActive());

        m_gate.close();
        m_script.set(kPositionsPath, testsupport::PositionsReply(1000.0, 25));
        eventLoopRunsWhileHeld(w);
        QCOMPARE(w.sellable(), 40);
        m_gate.open();
        QTRY_COMPARE_WITH_TIMEOUT(w.sellable(), 25, 10000);
        QVERIFY(w.holdsTypedItem());
        QVERIFY(w.shownQuote().has_value());
        QVERIFY(m_boxes->calls().empty());
    }

    // Leaving the sell window's code field looks the item up beside the window; another
    // window taking the focus (a message box) looks nothing up.
    void leavingTheSellCodeFieldNeverHoldsTheWindow()
    {
        m_gatedPath = kPositionsPath;
        low_deal_sell_dlg w(nullptr);
        w.resize(1660, 312);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.codeField()->setText(QStringLiteral("9160001"));
        m_script.set(kPositionsPath, testsupport::PositionsReply(1000.0, 40));
        m_gate.close();
        w.codeField()->setFocus();
        w.priceField()->setFocus();
        QVERIFY(w.tickInFlight());
        eventLoopRunsWhileHeld(w);
        m_gate.open();
        QTRY_COMPARE_WITH_TIMEOUT(w.sellable(), 40, 10000);

        QTRY_VERIFY(!w.tickInFlight());
        const std::size_t asked = CountPath(*m_server, kPositionsPath);
        w.codeField()->setFocus();
        QFocusEvent toAnotherWindow(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(w.codeField(), &toAnotherWindow);
        QVERIFY(!w.tickInFlight());
        QCOMPARE(CountPath(*m_server, kPositionsPath), asked);
    }

    void anAnswerForAWindowThatIsGoneIsDropped()
    {
        m_gatedPath = kGuidePath;
        const std::size_t asked = CountPath(*m_server, kGuidePath);
        QPointer<low_deal_buy_dlg> w = new low_deal_buy_dlg(nullptr);
        w->show();
        w->codeField()->setText(QStringLiteral("9160001"));
        m_gate.close();
        QTRY_COMPARE_WITH_TIMEOUT(m_gate.held(), 1, 10000);
        delete w.data();
        m_gate.open();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Nobody took the quote the service sent.
        QCOMPARE(Session::current().singleItemQuote(), market::SingleItemQuote());
        QCOMPARE(CountPath(*m_server, kGuidePath), asked + 1);
    }

    // What the windows rely on, on a plain context object.
    void aSupersededOrOrphanedResultIsDropped()
    {
        std::mutex mutex;
        std::condition_variable cv;
        bool go = false;
        auto wait = [&] {
            std::unique_lock lock(mutex);
            cv.wait(lock, [&] { return go; });
            return 7;
        };
        auto release = [&] {
            {
                std::lock_guard lock(mutex);
                go = true;
            }
            cv.notify_all();
        };

        QObject window;
        platform::BackgroundRequest request(&window);
        int applied = 0;
        QVERIFY(request.start(wait, [&](int v) { applied = v; }));
        QVERIFY(!request.start([] { return 1; }, [&](int) { applied = -1; })); // one at a time
        request.supersede(); // the window asked for itself meanwhile
        release();
        QTRY_VERIFY_WITH_TIMEOUT(!request.inFlight(), 10000);
        QCOMPARE(applied, 0);
        QVERIFY(request.start([] { return 3; }, [&](int v) { applied = v; }));
        QTRY_COMPARE_WITH_TIMEOUT(applied, 3, 10000);

        go = false;
        auto context = std::make_unique<QObject>();
        auto orphan = std::make_unique<platform::BackgroundRequest>(context.get());
        QVERIFY(orphan->start(wait, [&](int v) { applied = v; }));
        orphan.reset();
        context.reset();
        release();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(applied, 3);
    }
};

QTEST_MAIN(TimerRequestsTest)
#include "TimerRequestsTest.moc"
