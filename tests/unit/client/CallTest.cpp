#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "client/ApiSign.h"
#include "client/Call.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "client/Trace.h"
#include "client/Transport.h"
#include "support/LoopbackServer.h"
#include "session/Session.h"

using namespace client;
using testsupport::LoopbackServer;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

std::vector<std::string> g_traced;
bool g_tracing = true;

void record(std::string_view text) { g_traced.emplace_back(text); }
bool tracing() { return g_tracing; }

// Both servers of line 0 on this process's own loopback address.
class CallTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Options o = defaultOptions();
        o.line0Host = m_host;
        o.line1Host = m_host;
        Session::current().setOptions(o);
        LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-call-no-connect-file");
        g_traced.clear();
        g_tracing = true;
        installTraceHook({&tracing, &record});
    }
    void TearDown() override
    {
        installTraceHook({});
        Session::current().setOptions(defaultOptions());
    }

    // The body the rule gives for these members, with the `v` the request carried.
    static std::string v(const RecordedRequest& r)
    {
        const auto at = r.body.find("\"v\" : \"");
        return at == std::string::npos ? std::string() : r.body.substr(at + 7, r.body.find('"', at + 7) - at - 7);
    }

    const std::string m_host = testsupport::UniqueLoopbackAddress();
    const std::string m_key = defaultOptions().signKey;
};

LoopbackServer::Handler Answer(std::string body)
{
    return [body](const RecordedRequest&) { return ScriptedReply{200, body}; };
}

} // namespace

TEST_F(CallTest, BuyBodyCarriesTextItemAndIntegerAmountSignedInKeyOrder)
{
    LoopbackServer server(m_host, kTradePort, Answer(R"({"success":"true","msg":"ok"})"));
    const ApiReply reply = Call(Endpoint::Buy, {{"item_id", "09160001"}, {"buy_price", "12.5"}, {"id", "100001"},
                                                {"buy_amount", "20"}});
    EXPECT_TRUE(reply.success);
    ASSERT_EQ(server.requestCount(), 1u);
    const RecordedRequest r = server.requests().front();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, "/api/v1/item/buy");
    const std::string stamp = v(r);
    ASSERT_FALSE(stamp.empty());
    const std::string sign =
        ApiSign("buy_amount=20buy_price=12.5id=100001item_id=09160001v=" + stamp + m_key);
    EXPECT_EQ(r.body, "{\n"
                      "   \"buy_amount\" : 20,\n"
                      "   \"buy_price\" : \"12.5\",\n"
                      "   \"id\" : \"100001\",\n"
                      "   \"item_id\" : \"09160001\",\n"
                      "   \"sign\" : \"" + sign + "\",\n"
                      "   \"v\" : \"" + stamp + "\"\n"
                      "}\n");
}

TEST_F(CallTest, TheThreeQueriesSignIdThenV)
{
    LoopbackServer server(m_host, kTradePort, Answer(R"({"success":"true","infor":[]})"));
    for (const Endpoint e : {Endpoint::CustomerItem, Endpoint::OrderToday, Endpoint::TradeToday})
        EXPECT_TRUE(Call(e, {{"id", "100001"}}).parsed);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3u);
    const char* paths[] = {"/api/v1/customer/item", "/api/v1/order/today", "/api/v1/trade/today"};
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(paths[i]);
        const RecordedRequest& r = requests[i];
        EXPECT_EQ(r.path, paths[i]);
        const std::string stamp = v(r);
        const std::string sign = ApiSign("id=100001v=" + stamp + m_key);
        EXPECT_EQ(r.body, "{\n   \"id\" : \"100001\",\n   \"sign\" : \"" + sign + "\",\n   \"v\" : \"" + stamp + "\"\n}\n");
    }
}

TEST_F(CallTest, ReplyIsReadAsTheEnvelopeFromTheWireCodePage)
{
    // "成功" in GBK.
    LoopbackServer server(m_host, kTradePort, Answer("{\"msg\":\"\xB3\xC9\xB9\xA6\",\"success\":\"false\"}"));
    const ApiReply reply = Call(Endpoint::Ad, {});
    EXPECT_TRUE(reply.parsed);
    EXPECT_FALSE(reply.success);
    EXPECT_EQ(reply.msg, "成功");
}

TEST_F(CallTest, NoServerGivesAnUnparsedReplyAndLeavesTheLockFree)
{
    // Nothing listens on line 0's trading port of this address.
    const ApiReply reply = Call(Endpoint::CustomerItem, {{"id", "1"}});
    EXPECT_FALSE(reply.parsed);
    EXPECT_TRUE(PostLock().try_lock());
    PostLock().unlock();
}

TEST_F(CallTest, TraceHasTitleReplyInUtf8AndEndLine)
{
    LoopbackServer server(m_host, kTradePort, Answer("{\"msg\":\"\xB3\xC9\xB9\xA6\"}"));
    Call(Endpoint::Buy, {{"id", "1"}}, {"\n买入返回\n", "\n结束买入返回\n"});
    EXPECT_EQ(g_traced, (std::vector<std::string>{"\n买入返回\n", "{\"msg\":\"成功\"}", "\n结束买入返回\n"}));

    g_traced.clear();
    Call(Endpoint::TradeToday, {{"id", "1"}}, TraceLines{});
    EXPECT_EQ(g_traced, (std::vector<std::string>{"{\"msg\":\"成功\"}"}));

    g_traced.clear();
    Call(Endpoint::AccountApply, {{"id", "1"}}, kUntraced);
    g_tracing = false;
    Call(Endpoint::OrderToday, {{"id", "1"}}, {"当日订单\n"});
    EXPECT_TRUE(g_traced.empty());
    EXPECT_EQ(server.requestCount(), 4u);
}

TEST_F(CallTest, ARequestBodyTraceShowsTheBodyAsPostedInUtf8AndNotTheReply)
{
    LoopbackServer server(m_host, kTradePort, Answer("{\"msg\":\"ok\"}"));
    Call(Endpoint::Delivery, {{"address", "上海"}, {"id", "1"}}, TraceLines::requestBody("\n交割申请\n", "\n自提请求\n"));
    ASSERT_TRUE(server.waitForRequests(1, 5000));
    ASSERT_EQ(g_traced.size(), 3u);
    EXPECT_EQ(g_traced[0], "\n交割申请\n");
    EXPECT_EQ(g_traced[1], server.requests().front().body); // the UTF-8 request travels as traced
    EXPECT_NE(g_traced[1].find("\"address\" : \"上海\""), std::string::npos);
    EXPECT_EQ(g_traced[2], "\n自提请求\n");

    g_traced.clear();
    Call(Endpoint::Sell, {{"id", "张"}}, TraceLines::requestBody("卖出\n"));
    ASSERT_EQ(g_traced.size(), 2u);
    EXPECT_NE(g_traced[1].find("\"id\" : \"张\""), std::string::npos); // a wire-code-page body, traced in UTF-8
}

TEST_F(CallTest, FetchGetsTheMarketPathWithItsTail)
{
    LoopbackServer market(m_host, kMarketPort, Answer(R"({"success":"true","infor":[{"vol":1}]})"));
    const ApiReply reply = fetch(Endpoint::Histogram, "8", TraceLines{"蜡烛图\n"});
    EXPECT_TRUE(reply.success);
    EXPECT_TRUE(reply.infor.isArray());
    EXPECT_EQ(fetchText(Endpoint::StockInfo, {}, kUntraced, Lock::Unlocked), R"({"success":"true","infor":[{"vol":1}]})");
    const auto requests = market.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/api/histogram/9160001/8");
    EXPECT_EQ(requests[1].path, "/api/stockinfo/9160001");
    EXPECT_EQ(g_traced.front(), "蜡烛图\n");

    // The paths name the current item, or the one a request was asked for.
    Session::current().setCurrentItem(9160003);
    fetch(Endpoint::DealDetailLatest);
    fetchItemText(Endpoint::Histogram, 9160005, "3");
    ASSERT_EQ(market.requestCount(), 4u);
    EXPECT_EQ(market.requests()[2].path, "/api/dealdetail/9160003/20");
    EXPECT_EQ(market.requests()[3].path, "/api/histogram/9160005/3");
}

TEST_F(CallTest, LockedCallsWaitForTheirLockAndThePollersDoNot)
{
    LoopbackServer trade(m_host, kTradePort, Answer(R"({"success":"true"})"));
    LoopbackServer market(m_host, kMarketPort, Answer(R"({"success":"true"})"));
    std::unique_lock post(PostLock());
    std::unique_lock get(GetLock());
    std::thread locked([] {
        Call(Endpoint::OrderToday, {{"id", "1"}});
        fetch(Endpoint::Realtime);
    });
    // The poller's transfers go through while another thread holds both locks.
    EXPECT_TRUE(Call(Endpoint::AccountApply, {{"id", "1"}}, kUntraced, Lock::Unlocked).success);
    EXPECT_TRUE(fetch(Endpoint::Timeline, "/1700000000", kUntraced, Lock::Unlocked).success);
    ASSERT_EQ(trade.requestCount(), 1u);
    EXPECT_EQ(trade.requests().front().path, "/api/v1/account/apply");
    ASSERT_EQ(market.requestCount(), 1u);
    EXPECT_EQ(market.requests().front().path, "/api/timeline/9160001/1700000000");
    post.unlock();
    get.unlock();
    locked.join();
    EXPECT_EQ(trade.requestCount(), 2u);
    EXPECT_EQ(market.requestCount(), 2u);
}
