#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <gtest/gtest.h>

#include "client/ApiSign.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "market/core/CUPdate_rightdlg_thread.h"
#include "market/core/CUPdate_thread.h"
#include "market/core/PollerThread.h"
#include "platform/core/CrossThread.h"
#include "support/LoopbackServer.h"
#include "support/SignedIn.h"
#include "session/Session.h"

using namespace testsupport;

namespace {

// Records what a loader was handed, from whichever thread calls it.
struct Handed
{
    void add(const std::string& s)
    {
        std::lock_guard lock(mutex);
        items.push_back(s);
    }
    std::vector<std::string> get()
    {
        std::lock_guard lock(mutex);
        return items;
    }
    std::mutex mutex;
    std::vector<std::string> items;
};

// A scripted exchange on this process's own loopback address, on the fixed ports.
class PollerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host = UniqueLoopbackAddress(3);
        client::Options o = client::defaultOptions();
        o.line0Host = m_host;
        Session::current().setOptions(o);
        client::LoadLineChoice("/nonexistent-folder");
        testsupport::logInAs("100001");
    }

    // Replies with the next text of `script` (the last one repeats).
    LoopbackServer::Handler Script(std::vector<std::string> script)
    {
        auto index = std::make_shared<std::atomic<size_t>>(0);
        return [script, index](const RecordedRequest&) {
            const size_t i = std::min(index->fetch_add(1), script.size() - 1);
            return ScriptedReply{200, script[i]};
        };
    }

    std::string m_host;
};

} // namespace

TEST_F(PollerTest, QuotePanelGetsChangedRepliesAndEveryForcedOne)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"{\"a\":1}", "{\"a\":1}", "{\"a\":1}", "{\"a\":2}"}));
    CUPdate_rightdlg_thread poller;
    Handed handed;
    poller.LoadRealtime.set([&](const std::string& r) { handed.add(r); });
    ASSERT_TRUE(poller.start());

    poller.post(0, 0); // first reply: handed on
    poller.post(0, 0); // same text: skipped
    poller.post(0, 1); // same text but forced, as a repaint asks
    poller.post(0, 0); // changed
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_EQ(handed.get(), (std::vector<std::string>{"{\"a\":1}", "{\"a\":1}", "{\"a\":2}"}));
    for (const RecordedRequest& r : market.requests())
        EXPECT_EQ(r.path, "/api/realtime/9160001");
}

TEST_F(PollerTest, TicksHaveTheirOwnCacheAndOtherKindsDoNothing)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"same"}));
    CUPdate_rightdlg_thread poller;
    Handed quotes, ticks;
    poller.LoadRealtime.set([&](const std::string& r) { quotes.add(r); });
    poller.LoadDealTicks.set([&](const std::string& r) { ticks.add(r); });
    ASSERT_TRUE(poller.start());
    poller.post(0, 0);
    poller.post(1, 0);
    poller.post(1, 0);
    poller.post(2, 1);
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_EQ(quotes.get().size(), 1u);
    EXPECT_EQ(ticks.get().size(), 1u);
    ASSERT_EQ(market.requestCount(), 3u);
    EXPECT_EQ(market.requests()[1].path, "/api/dealdetail/9160001/20");
}

TEST_F(PollerTest, EmptyFirstReplyIsNotHandedOnButAnEmptyReplyAfterDataIs)
{
    CUPdate_rightdlg_thread poller;
    Handed handed;
    poller.LoadRealtime.set([&](const std::string& r) { handed.add(r); });
    ASSERT_TRUE(poller.start());
    poller.post(0, 0); // nothing listens: empty, equal to the empty cache
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_TRUE(handed.get().empty());
    {
        LoopbackServer market(m_host, client::kMarketPort, Script({"quote"}));
        poller.post(0, 0);
        ASSERT_TRUE(poller.waitIdle(20000));
    }
    poller.post(0, 0); // the service went away: one empty reply reaches the view
    poller.post(0, 0);
    ASSERT_TRUE(poller.waitIdle(20000));
    {
        LoopbackServer market(m_host, client::kMarketPort, Script({"quote"}));
        poller.post(0, 0); // the same text as before the failure is handed on again
        ASSERT_TRUE(poller.waitIdle(20000));
    }
    EXPECT_EQ(handed.get(), (std::vector<std::string>{"quote", "", "quote"}));
}

TEST_F(PollerTest, CandlesShareOneCacheAcrossPeriodsAndCarryThePeriod)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"[1]", "[1]", "[2]"}));
    CUPdate_thread poller;
    std::vector<int> periods;
    std::mutex mutex;
    poller.LoadCandles.set([&](const std::string&, int period) {
        std::lock_guard lock(mutex);
        periods.push_back(period);
    });
    ASSERT_TRUE(poller.start());
    poller.post(0, 8);
    poller.post(0, 5); // same text under another period: skipped
    poller.post(0, 12);
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_EQ(periods, (std::vector<int>{8, 12}));
    const auto requests = market.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].path, "/api/histogram/9160001/8");
    EXPECT_EQ(requests[2].path, "/api/histogram/9160001/12");
}

TEST_F(PollerTest, TimelineAsksWithTheCurrentTime)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"{}"}));
    CUPdate_thread poller;
    Handed handed;
    poller.LoadTimeline.set([&](const std::string& r) { handed.add(r); });
    ASSERT_TRUE(poller.start());
    const std::uint32_t before = client::CurrentTimestamp();
    poller.post(1, 0);
    ASSERT_TRUE(poller.waitIdle(20000));
    ASSERT_EQ(market.requestCount(), 1u);
    const std::string path = market.requests()[0].path;
    ASSERT_EQ(path.rfind("/api/timeline/9160001/", 0), 0u) << path;
    EXPECT_GE(std::stoul(path.substr(22)), before);
    EXPECT_EQ(handed.get().size(), 1u);
}

TEST_F(PollerTest, OverviewKindsAreSignedForTheUserAndCachedApart)
{
    LoopbackServer trade(m_host, client::kTradePort, Script({R"({"success":"true","infor":[]})"}));
    CUPdate_thread poller;
    std::vector<int> kinds;
    std::mutex mutex;
    poller.LoadOverview.set([&](const std::string&, int kind) {
        std::lock_guard lock(mutex);
        kinds.push_back(kind);
    });
    ASSERT_TRUE(poller.start());
    poller.post(5, 0);
    poller.post(5, 0);
    poller.post(6, 0); // the same text, but the extended list's cache is its own
    poller.post(2, 0);
    poller.post(3, 0);
    poller.post(4, 0);
    ASSERT_TRUE(poller.waitIdle(30000));
    EXPECT_EQ(kinds, (std::vector<int>{5, 6}));
    const auto requests = trade.requests();
    ASSERT_EQ(requests.size(), 3u); // kinds 2 to 4 sent nothing
    const client::VerifiedBody body = client::verifySignedBody(
        client::endpointInfo(client::Endpoint::UpToTheMinute), requests[0].body, Session::current().options().signKey);
    ASSERT_TRUE(body.ok) << body.error;
    EXPECT_EQ(requests[0].path, "/api/v1/stock/up-to-the-minute");
    EXPECT_EQ(body.params.at("id"), "100001");
    EXPECT_EQ(body.params.size(), 2u); // id and v
}

TEST_F(PollerTest, UsableCashIsTakenOnlyFromASuccessfulReply)
{
    LoopbackServer trade(m_host, client::kTradePort,
                         Script({R"({"success":"true","infor":{"cash":"499876.43"}})",
                                 R"({"success":"True","infor":{"cash":1.0}})", "not json",
                                 R"({"success":true,"infor":{"cash":99.25}})"}));
    CUPdate_thread poller;
    poller.setPauses({std::chrono::milliseconds(0), std::chrono::milliseconds(0), std::chrono::milliseconds(1)});
    ASSERT_TRUE(poller.start());
    Session::current().setAvailableCash(0);
    poller.post(8, 0);
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_DOUBLE_EQ(Session::current().availableCash(), 499876.43); // to the cent, as the buy windows show it
    poller.post(8, 0);
    poller.post(8, 0);
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_DOUBLE_EQ(Session::current().availableCash(), 499876.43);
    poller.post(8, 0);
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_DOUBLE_EQ(Session::current().availableCash(), 99.25);
    EXPECT_EQ(trade.requests()[0].path, "/api/v1/account/apply");
}

TEST_F(PollerTest, StartUpShowsAnnouncementsAndTheTradePanelOnlyForAUser)
{
    for (const bool loggedIn : {false, true}) {
        Session::current().setLoggedIn(loggedIn);
        CUPdate_thread poller;
        poller.setPauses({std::chrono::milliseconds(1), std::chrono::milliseconds(1), std::chrono::milliseconds(0)});
        Handed steps;
        poller.ShowAnnouncements.set([&] { steps.add("announcements"); });
        poller.ShowTradePanel.set([&] { steps.add("trade panel"); });
        ASSERT_TRUE(poller.start());
        poller.post(7, 0);
        ASSERT_TRUE(poller.waitIdle(20000));
        const std::vector<std::string> expected =
            loggedIn ? std::vector<std::string>{"announcements", "trade panel"}
                     : std::vector<std::string>{"announcements"};
        EXPECT_EQ(steps.get(), expected) << "logged in: " << loggedIn;
    }
}

TEST_F(PollerTest, StoppingCutsTheStartUpPausesShortAndShowsNothingMore)
{
    // Closing the market window within its first seconds waited out the start-up pauses;
    // with pauses of an hour this test would hang instead.
    Session::current().setLoggedIn(true);
    CUPdate_thread poller;
    poller.setPauses({std::chrono::hours(1), std::chrono::hours(1), std::chrono::milliseconds(0)});
    Handed steps;
    poller.ShowAnnouncements.set([&] { steps.add("announcements"); });
    poller.ShowTradePanel.set([&] { steps.add("trade panel"); });
    ASSERT_TRUE(poller.start());
    poller.post(7, 0);
    EXPECT_FALSE(poller.waitIdle(100)); // in the first pause
    poller.stop();
    EXPECT_TRUE(steps.get().empty());

    // Started again, it pauses in full as before.
    poller.setPauses({std::chrono::milliseconds(1), std::chrono::milliseconds(1), std::chrono::milliseconds(0)});
    ASSERT_TRUE(poller.start());
    poller.post(7, 0);
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_EQ(steps.get(), (std::vector<std::string>{"announcements", "trade panel"}));
}

TEST_F(PollerTest, PostingBeforeStartDoesNothing)
{
    CUPdate_thread poller;
    poller.post(7, 0);
    EXPECT_FALSE(poller.isRunning());
    EXPECT_TRUE(poller.waitIdle(10));
}

namespace {
// Writes plain, unguarded data on its own thread and hands it back through Qt's queue, as the
// windows' loaders do: under TSan only the hand-off marks order the two sides.
class HandingPoller final : public market::PollerThread
{
public:
    explicit HandingPoller(QObject* receiver) : PollerThread(0x7777, nullptr), m_receiver(receiver) {}
    ~HandingPoller() override { stop(); }
    std::vector<std::string> written;        // the poller's own, read after waitIdle
    std::vector<std::string> received;       // the receiver's, filled by the queued call
    std::weak_ptr<std::string> droppedCapture;

private:
    void handle(int wParam, long) override
    {
        written.push_back("request " + std::to_string(wParam));
        auto reply = std::make_shared<std::string>(written.back());
        if (wParam == 2)
            droppedCapture = reply;
        platform::postTo(m_receiver, [this, reply] { received.push_back(*reply); });
    }
    QObject* m_receiver;
};
} // namespace

TEST_F(PollerTest, WorkHandedBackThroughTheQueueIsSeenWholeOrDroppedWithItsReceiver)
{
    auto receiver = std::make_unique<QObject>();
    HandingPoller poller(receiver.get());
    ASSERT_TRUE(poller.start());
    poller.post(1, 0);
    // The queued call alone, not waitIdle, is what orders this side after the poller's.
    for (QDeadlineTimer deadline(20000); poller.received.empty() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(poller.received, std::vector<std::string>{"request 1"});
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_EQ(poller.written, std::vector<std::string>{"request 1"});

    // A call queued to a receiver that is gone before it runs is dropped, captures and all.
    poller.post(2, 0);
    ASSERT_TRUE(poller.waitIdle(20000));
    receiver.reset();
    EXPECT_TRUE(poller.droppedCapture.expired());
    EXPECT_EQ(poller.received.size(), 1u);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
