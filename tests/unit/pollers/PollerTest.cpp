#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QThread>
#include <gtest/gtest.h>

#include "client/ApiSign.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "market/core/CUPdate_rightdlg_thread.h"
#include "market/core/CUPdate_thread.h"
#include "market/core/PollerThread.h"
#include "market/core/ReplyCache.h"
#include "platform/core/CrossThread.h"
#include "support/LoopbackServer.h"
#include "support/SignedIn.h"
#include "session/Session.h"

using namespace testsupport;

namespace {

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

    // Waits until the poller has handled every request so far and what it handed on has
    // reached this thread, the views' thread.
    static bool settle(market::PollerThread& poller, int timeoutMs = 20000)
    {
        if (!poller.waitIdle(timeoutMs))
            return false;
        QCoreApplication::sendPostedEvents();
        return true;
    }

    std::string m_host;
    QObject m_view; // where values go: this thread
    const market::CurrentItem m_item;
};

// A reader that hands the reply text on as it is.
const auto kAsIs = [](const std::string& reply, auto&&...) { return reply; };

} // namespace

TEST_F(PollerTest, QuotePanelGetsChangedRepliesAndEveryForcedOne)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"{\"a\":1}", "{\"a\":1}", "{\"a\":1}", "{\"a\":2}"}));
    CUPdate_rightdlg_thread poller;
    std::vector<std::string> handed;
    poller.quote().connect(&m_view, kAsIs, [&](const std::string& r) { handed.push_back(r); });
    ASSERT_TRUE(poller.start());

    poller.requestQuote(m_item); // first reply: handed on
    poller.requestQuote(m_item); // same text: skipped
    poller.requestQuote(m_item, market::Handover::Always); // same text but forced, as a repaint asks
    poller.requestQuote(m_item); // changed
    ASSERT_TRUE(settle(poller));
    EXPECT_EQ(handed, (std::vector<std::string>{"{\"a\":1}", "{\"a\":1}", "{\"a\":2}"}));
    for (const RecordedRequest& r : market.requests())
        EXPECT_EQ(r.path, "/api/realtime/9160001");
}

TEST_F(PollerTest, TicksHaveTheirOwnCacheAndAnotherItemIsNewsWhateverItsText)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"same"}));
    CUPdate_rightdlg_thread poller;
    std::vector<std::string> quotes;
    std::vector<std::pair<int, std::uint64_t>> ticks;
    poller.quote().connect(&m_view, kAsIs, [&](const std::string& r) { quotes.push_back(r); });
    poller.ticks().connect(
        &m_view, [](const std::string&, const market::CurrentItem& item) { return item; },
        [&](const market::CurrentItem& item) { ticks.emplace_back(item.code, item.generation); });
    ASSERT_TRUE(poller.start());
    poller.requestQuote(m_item);
    poller.requestTicks(m_item);
    poller.requestTicks(m_item);
    poller.requestTicks({9160002, 1});
    ASSERT_TRUE(settle(poller));
    EXPECT_EQ(quotes.size(), 1u);
    EXPECT_EQ(ticks, (std::vector<std::pair<int, std::uint64_t>>{{9160001, 0}, {9160002, 1}}));
    ASSERT_EQ(market.requestCount(), 4u);
    EXPECT_EQ(market.requests()[1].path, "/api/dealdetail/9160001/20");
    EXPECT_EQ(market.requests()[3].path, "/api/dealdetail/9160002/20");
}

TEST_F(PollerTest, EmptyFirstReplyIsNotHandedOnButAnEmptyReplyAfterDataIs)
{
    CUPdate_rightdlg_thread poller;
    std::vector<std::string> handed;
    poller.quote().connect(&m_view, kAsIs, [&](const std::string& r) { handed.push_back(r); });
    ASSERT_TRUE(poller.start());
    poller.requestQuote(m_item); // nothing listens: empty, equal to the empty cache
    ASSERT_TRUE(settle(poller));
    EXPECT_TRUE(handed.empty());
    {
        LoopbackServer market(m_host, client::kMarketPort, Script({"quote"}));
        poller.requestQuote(m_item);
        ASSERT_TRUE(settle(poller));
    }
    poller.requestQuote(m_item); // the service went away: one empty reply reaches the view
    poller.requestQuote(m_item);
    ASSERT_TRUE(settle(poller));
    {
        LoopbackServer market(m_host, client::kMarketPort, Script({"quote"}));
        poller.requestQuote(m_item); // the same text as before the failure is handed on again
        ASSERT_TRUE(settle(poller));
    }
    EXPECT_EQ(handed, (std::vector<std::string>{"quote", "", "quote"}));
}

TEST_F(PollerTest, CandlesAreReadOnThePollerAndShownOnTheViewsThread)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"[1]", "[1]", "[2]"}));
    CUPdate_thread poller(Session::current());
    std::atomic<int> readOffView{0};
    std::vector<int> periods;
    poller.candles().connect(
        &m_view,
        [&](const std::string&, int period, const market::CurrentItem&) {
            readOffView += QThread::currentThread() != m_view.thread();
            return period;
        },
        [&](int period) {
            EXPECT_EQ(QThread::currentThread(), m_view.thread());
            periods.push_back(period);
        });
    ASSERT_TRUE(poller.start());
    poller.requestCandles(m_item, 8);
    poller.requestCandles(m_item, 5); // same text under another period: skipped
    poller.requestCandles(m_item, 12);
    ASSERT_TRUE(settle(poller));
    EXPECT_EQ(periods, (std::vector<int>{8, 12}));
    EXPECT_EQ(readOffView.load(), 2);
    const auto requests = market.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].path, "/api/histogram/9160001/8");
    EXPECT_EQ(requests[2].path, "/api/histogram/9160001/12");
}

TEST_F(PollerTest, TimelineAsksWithTheCurrentTime)
{
    LoopbackServer market(m_host, client::kMarketPort, Script({"{}"}));
    CUPdate_thread poller(Session::current());
    std::vector<std::string> handed;
    poller.timeline().connect(&m_view, kAsIs, [&](const std::string& r) { handed.push_back(r); });
    ASSERT_TRUE(poller.start());
    const std::uint32_t before = client::CurrentTimestamp();
    poller.requestTimeline(m_item);
    ASSERT_TRUE(settle(poller));
    ASSERT_EQ(market.requestCount(), 1u);
    const std::string path = market.requests()[0].path;
    ASSERT_EQ(path.rfind("/api/timeline/9160001/", 0), 0u) << path;
    EXPECT_GE(std::stoul(path.substr(22)), before);
    EXPECT_EQ(handed.size(), 1u);
}

TEST_F(PollerTest, OverviewListsAreSignedForTheUserAndCachedApart)
{
    LoopbackServer trade(m_host, client::kTradePort, Script({R"({"success":"true","infor":[]})"}));
    CUPdate_thread poller(Session::current());
    int handed = 0;
    poller.overview().connect(&m_view, kAsIs, [&](const std::string&) { ++handed; });
    std::vector<std::pair<market::MarketRequest, int>> asked;
    poller.setRequestObserver([&](market::MarketRequest kind, int argument) { asked.emplace_back(kind, argument); });
    ASSERT_TRUE(poller.start());
    poller.requestOverview(market::MarketRequest::OverviewBasic);
    poller.requestOverview(market::MarketRequest::OverviewBasic);
    poller.requestOverview(market::MarketRequest::OverviewExtended); // the same text, but its cache is its own
    ASSERT_TRUE(settle(poller, 30000));
    EXPECT_EQ(handed, 2);
    EXPECT_EQ(asked, (std::vector<std::pair<market::MarketRequest, int>>{{market::MarketRequest::OverviewBasic, 0},
                                                                         {market::MarketRequest::OverviewBasic, 0},
                                                                         {market::MarketRequest::OverviewExtended, 0}}));
    const auto requests = trade.requests();
    ASSERT_EQ(requests.size(), 3u);
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
    CUPdate_thread poller(Session::current());
    poller.setPauses({std::chrono::milliseconds(0), std::chrono::milliseconds(0), std::chrono::milliseconds(1)});
    ASSERT_TRUE(poller.start());
    Session::current().setAvailableCash(0);
    poller.requestUsableCash();
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_DOUBLE_EQ(Session::current().availableCash(), 499876.43); // to the cent, as the buy windows show it
    poller.requestUsableCash();
    poller.requestUsableCash();
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_DOUBLE_EQ(Session::current().availableCash(), 499876.43);
    poller.requestUsableCash();
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_DOUBLE_EQ(Session::current().availableCash(), 99.25);
    EXPECT_EQ(trade.requests()[0].path, "/api/v1/account/apply");
}

TEST_F(PollerTest, StartUpShowsAnnouncementsAndTheTradePanelOnlyForAUser)
{
    for (const bool loggedIn : {false, true}) {
        Session::current().setLoggedIn(loggedIn);
        CUPdate_thread poller(Session::current());
        poller.setPauses({std::chrono::milliseconds(1), std::chrono::milliseconds(1), std::chrono::milliseconds(0)});
        std::vector<std::string> steps;
        poller.announcementsDue().connect(&m_view, [&] { steps.push_back("announcements"); });
        poller.tradePanelDue().connect(&m_view, [&] { steps.push_back("trade panel"); });
        ASSERT_TRUE(poller.start());
        poller.requestStartUp();
        ASSERT_TRUE(settle(poller));
        const std::vector<std::string> expected =
            loggedIn ? std::vector<std::string>{"announcements", "trade panel"}
                     : std::vector<std::string>{"announcements"};
        EXPECT_EQ(steps, expected) << "logged in: " << loggedIn;
    }
}

TEST_F(PollerTest, StoppingCutsTheStartUpPausesShortAndShowsNothingMore)
{
    // Closing the market window within its first seconds waited out the start-up pauses;
    // with pauses of an hour this test would hang instead.
    Session::current().setLoggedIn(true);
    CUPdate_thread poller(Session::current());
    poller.setPauses({std::chrono::hours(1), std::chrono::hours(1), std::chrono::milliseconds(0)});
    std::vector<std::string> steps;
    poller.announcementsDue().connect(&m_view, [&] { steps.push_back("announcements"); });
    poller.tradePanelDue().connect(&m_view, [&] { steps.push_back("trade panel"); });
    ASSERT_TRUE(poller.start());
    poller.requestStartUp();
    EXPECT_FALSE(poller.waitIdle(100)); // in the first pause
    poller.stop();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(steps.empty());

    // Started again, it pauses in full as before.
    poller.setPauses({std::chrono::milliseconds(1), std::chrono::milliseconds(1), std::chrono::milliseconds(0)});
    ASSERT_TRUE(poller.start());
    poller.requestStartUp();
    ASSERT_TRUE(settle(poller));
    EXPECT_EQ(steps, (std::vector<std::string>{"announcements", "trade panel"}));
}

TEST_F(PollerTest, RequestingBeforeStartDoesNothing)
{
    CUPdate_thread poller(Session::current());
    int asked = 0;
    poller.setRequestObserver([&](market::MarketRequest, int) { ++asked; });
    poller.requestStartUp();
    EXPECT_FALSE(poller.isRunning());
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(poller.waitIdle(10));
}

namespace {
// A poller of a kind of its own, made as the poller header shows: it writes plain, unguarded
// data on its thread and hands values back through the feed. Under TSan only the hand-off
// marks order the two sides.
enum class OwnRequest { Read };
class OwnPoller final : public market::TypedPoller<OwnRequest>
{
public:
    OwnPoller() : TypedPoller(QStringLiteral("poller-test")) {}
    ~OwnPoller() override { stop(); }
    market::Feed<>& replies() { return m_replies; }
    void request(int n)
    {
        ask(OwnRequest::Read, n, [this, n] {
            written.push_back("request " + std::to_string(n));
            if (m_last.offer(written.back()))
                m_replies.hand(written.back());
        });
    }
    std::vector<std::string> written; // the poller's own, read after waitIdle

private:
    market::ReplyCache m_last;
    market::Feed<> m_replies;
};
} // namespace

TEST_F(PollerTest, AnotherPollerKindIsConfigurationAndItsValuesAreDroppedWithTheirView)
{
    auto view = std::make_unique<QObject>();
    std::vector<std::string> received; // the view's, filled on this thread
    std::weak_ptr<std::string> lastRead; // the poller's, read after waitIdle
    OwnPoller poller;
    poller.replies().connect(
        view.get(),
        [&lastRead](const std::string& reply) {
            auto value = std::make_shared<std::string>(reply);
            lastRead = value;
            return value;
        },
        [&received](const std::shared_ptr<std::string>& r) { received.push_back(*r); });
    ASSERT_TRUE(poller.start());
    poller.request(1);
    // The queued call alone, not waitIdle, is what orders this side after the poller's.
    for (QDeadlineTimer deadline(20000); received.empty() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(received, std::vector<std::string>{"request 1"});
    ASSERT_TRUE(poller.waitIdle(20000));
    EXPECT_EQ(poller.written, std::vector<std::string>{"request 1"});

    // A value handed to a view that is gone before it arrives is dropped with its call.
    poller.request(2);
    ASSERT_TRUE(poller.waitIdle(20000));
    view.reset();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(lastRead.expired());
    EXPECT_EQ(received.size(), 1u);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
