#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <thread>

#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Catalogue.h"
#include "Exchange.h"
#include "HttpFront.h"
#include "client/ApiReply.h"
#include "client/ApiSign.h"
#include "client/CodePage.h"
#include "session/Config.h"
#include "client/Endpoints.h"
#include "client/Transport.h"
#include "support/FileSizeLimit.h"
#include "support/LoopbackServer.h"

using namespace exchange;
using client::Endpoint;
using client::Param;

namespace {

std::int64_t TodayAt(int hour, int minute)
{
    return LocalMidnight(LocalDate(std::time(nullptr))) + hour * 3600 + minute * 60;
}

std::string TodayText(int plusDays = 0)
{
    const Date d = LocalDate(TodayAt(12, 0) + plusDays * 86400);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

// An exchange served over real HTTP on this process's own loopback address, on a clock
// the test sets, with the demo accounts logged in from this process as their users would.
class ExchangeHttp : public ::testing::Test
{
protected:
    void SetUp() override { start(""); }
    void TearDown() override
    {
        stop();
        if (!m_dbDir.empty())
            std::filesystem::remove_all(m_dbDir);
    }

    // The exchange stopped and started again on a new database file in a folder of its own.
    std::string startOnFreshDatabase()
    {
        stop();
        m_dbDir = std::filesystem::temp_directory_path() / ("velmora-db-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_dbDir);
        std::filesystem::create_directories(m_dbDir);
        const std::string db = (m_dbDir / "exchange.db").string();
        start(db);
        return db;
    }

    void start(const std::string& db, bool openAccounts = false)
    {
        ExchangeConfig config;
        config.key = client::defaults::kSignKey;
        config.seed = 9;
        config.accounts = DemoAccounts();
        config.dbPath = db;
        config.clock = [this] { return m_now.load(); };
        config.infoPageBase = "http://" + m_address + ":8090/stockinfo/";
        config.openAccounts = openAccounts;
        std::string error;
        m_exchange = Exchange::Create(config, error);
        ASSERT_TRUE(m_exchange) << error;
        m_faults = std::make_unique<Faults>();
        m_front = std::make_unique<HttpFront>(*m_exchange, *m_faults);
        ASSERT_TRUE(m_front->start({m_address}, m_address, 8090, error)) << error;
        // A password a test has changed no longer opens its account; that test logs in itself.
        for (const AccountSeed& a : DemoAccounts())
            login(a.id, a.password);
    }

    void stop()
    {
        m_front.reset();
        m_faults.reset();
        m_exchange.reset();
    }

    std::string rawPost(Endpoint e, std::vector<Param> params, const std::string& key = client::defaults::kSignKey)
    {
        const client::SignedRequest req = client::buildSignedRequest(e, std::move(params), key, client::CurrentTimestamp());
        return rawPostBody(std::string(client::endpointInfo(e).path), req.body);
    }

    std::string rawPostBody(const std::string& path, const std::string& body)
    {
        std::string reply;
        client::HttpPostForm("http://" + m_address + ":8055" + path, body, client::PostLock(), reply);
        return reply;
    }

    client::ApiReply post(Endpoint e, std::vector<Param> params, const std::string& key = client::defaults::kSignKey)
    {
        return client::ApiReply::fromWire(rawPost(e, std::move(params), key));
    }

    std::string rawGet(const std::string& path, int port = 8041)
    {
        std::string reply;
        client::HttpGetUrl("http://" + m_address + ":" + std::to_string(port) + path, reply);
        return reply;
    }

    client::ApiReply get(const std::string& path) { return client::ApiReply::fromWire(rawGet(path)); }

    client::ApiReply login(const std::string& user, const std::string& password)
    {
        return post(Endpoint::Login, {{"passwd", client::hashPassword(password)}, {"username", user}});
    }

    // The same request from another terminal: a client bound to the loopback address `from`.
    client::ApiReply postFrom(const std::string& from, Endpoint e, std::vector<Param> params)
    {
        const client::SignedRequest req =
            client::buildSignedRequest(e, std::move(params), client::defaults::kSignKey, client::CurrentTimestamp());
        httplib::Client other(m_address, 8055);
        other.set_interface(from);
        const auto res = other.Post(std::string(client::endpointInfo(e).path), req.body, "application/json");
        return client::ApiReply::fromWire(res ? res->body : std::string());
    }

    client::ApiReply loginFrom(const std::string& from, const std::string& user, const std::string& password)
    {
        return postFrom(from, Endpoint::Login, {{"passwd", client::hashPassword(password)}, {"username", user}});
    }

    std::string m_address = testsupport::UniqueLoopbackAddress();
    std::atomic<std::int64_t> m_now{TodayAt(10, 0)};
    std::filesystem::path m_dbDir;
    std::unique_ptr<Exchange> m_exchange;
    std::unique_ptr<Faults> m_faults;
    std::unique_ptr<HttpFront> m_front;
};

std::int64_t FirstOpenOrder(const client::ApiReply& orders)
{
    for (const Json::Value& o : orders.infor) {
        if (client::jsonInt(o, "state") == 0 && client::jsonInt(o, "remain") > 0)
            return client::JsonInt64(o, "id");
    }
    return 0;
}

// A request that succeeds on every signed path but the cancellation and the password change,
// for `user` (100001, whose details are not filed yet) when sent in the endpoint table's order:
// the details, with the bank card, come before the withdrawal.
std::map<Endpoint, std::vector<Param>> SignedRequests(const std::string& user)
{
    return {
        {Endpoint::Login, {{"passwd", client::hashPassword("123456")}, {"username", user}}},
        {Endpoint::UpdateInfo,
         {{"account", "6217000010009876543"}, {"address", "上海市黄浦区南京东路1号"}, {"contract_address", "上海市静安区"},
          {"email", "a@example.com"}, {"id", user}, {"mobile", "13900139000"}, {"name", "王小明"},
          {"personal_id", "310101199001011234"}, {"phone", "021-12345678"}}},
        {Endpoint::Buy, {{"buy_amount", "10"}, {"buy_price", "33.00"}, {"id", user}, {"item_id", "9160001"}}},
        {Endpoint::QuickBuy, {{"buy_amount", "5"}, {"buy_price", "33.10"}, {"id", user}, {"item_id", "9160001"}}},
        {Endpoint::Sell, {{"id", user}, {"item_id", "9160001"}, {"sell_amount", "10"}, {"sell_price", "39.00"}}},
        {Endpoint::CustomerItem, {{"id", user}}},
        {Endpoint::OrderToday, {{"id", user}}},
        {Endpoint::TradeToday, {{"id", user}}},
        {Endpoint::TradeHistory, {{"end_date", TodayText()}, {"id", user}, {"start_date", TodayText(-30)}}},
        {Endpoint::Delivery,
         {{"add_date", TodayText(1)}, {"address", "北京市海淀区中关村大街1号"}, {"amount", "40"}, {"consignee", "李四"},
          {"contact", "13800138000"}, {"id", user}, {"method", "邮寄"}, {"stock_id", "9160001"}}},
        {Endpoint::DeliveryHistory, {{"id", user}}},
        {Endpoint::AccountTransfer, {{"cash", "1500"}, {"id", user}}},
        {Endpoint::CashHistory, {{"end_date", TodayText()}, {"id", user}, {"start_date", TodayText(-1)}}},
        {Endpoint::TradeGuide, {{"id", "9160001"}}},
        {Endpoint::Ad, {}},
        {Endpoint::UpToTheMinute, {{"id", user}}},
        {Endpoint::AccountApply, {{"id", user}}},
    };
}

TEST_F(ExchangeHttp, EverySignedPathAnswersASignedRequestAndRefusesABadSignature)
{
    const std::string user = "100001";
    const std::map<Endpoint, std::vector<Param>> params = SignedRequests(user);
    for (const client::EndpointInfo& info : client::endpointTable()) {
        if (info.method != client::Method::SignedPost || info.endpoint == Endpoint::Repeal ||
            info.endpoint == Endpoint::UpdatePasswd)
            continue;
        ASSERT_TRUE(params.count(info.endpoint)) << info.path;
        const client::ApiReply bad = post(info.endpoint, params.at(info.endpoint), "WrongKey12345678");
        EXPECT_TRUE(bad.parsed) << info.path;
        EXPECT_FALSE(bad.success) << info.path;
        EXPECT_EQ(bad.msg, "签名校验失败，请求被拒绝") << info.path;
        const client::ApiReply ok = post(info.endpoint, params.at(info.endpoint));
        EXPECT_TRUE(ok.success) << info.path << ": " << ok.msg;
    }
    // Cancellation and password change need what the others left behind.
    const std::int64_t open = FirstOpenOrder(post(Endpoint::OrderToday, {{"id", user}}));
    ASSERT_NE(open, 0);
    EXPECT_FALSE(post(Endpoint::Repeal, {{"id", std::to_string(open)}, {"stockholder_id", user}}, "WrongKey12345678").success);
    const client::ApiReply repeal = post(Endpoint::Repeal, {{"id", std::to_string(open)}, {"stockholder_id", user}});
    EXPECT_TRUE(repeal.success) << repeal.msg;
    const std::vector<Param> change = {
        {"id", user}, {"new_passwd", client::hashPassword("654321")}, {"old_passwd", client::hashPassword("123456")}};
    EXPECT_FALSE(post(Endpoint::UpdatePasswd, change, "WrongKey12345678").success);
    EXPECT_TRUE(post(Endpoint::UpdatePasswd, change).success);
    EXPECT_FALSE(login(user, "123456").success);
    EXPECT_TRUE(login(user, "654321").success);
    EXPECT_EQ(m_exchange->audit(), "");
}

TEST_F(ExchangeHttp, EveryMarketPathAnswersWithTheEnvelope)
{
    // Every listed item answers, each with its own figures and its own information page.
    for (const auto& [code, name] : {std::pair<std::string, std::string>{"9160001", "Tolmere小酒窖"},
                                     {"9160005", "Cantevel霞多丽"}}) {
        std::vector<std::string> paths = {"/api/realtime/" + code, "/api/dealdetail/" + code + "/20",
                                          "/api/dealdetail/" + code + "/0", "/api/pricedetail/" + code,
                                          "/api/stockinfo/" + code,
                                          "/api/timeline/" + code + "/" + std::to_string(std::time(nullptr))};
        for (int period = 1; period <= 12; ++period)
            paths.push_back("/api/histogram/" + code + "/" + std::to_string(period));
        for (const std::string& path : paths) {
            const client::ApiReply r = get(path);
            EXPECT_TRUE(r.parsed) << path;
            EXPECT_TRUE(r.success) << path;
        }
        EXPECT_EQ(get("/api/timeline/" + code + "/1").infor.size(), 31u);
        EXPECT_GE(get("/api/histogram/" + code + "/10").infor.size(), 200u);
        EXPECT_EQ(get("/api/realtime/" + code).infor[0]["stockName"].asString(), name);

        // The information page named by the reply is served by the update host.
        Json::Value info;
        ASSERT_TRUE(client::parseJson(client::wireToUtf8(rawGet("/api/stockinfo/" + code)), info));
        const std::string page = client::jsonText(info, "infor"); // the address travels as text
        ASSERT_EQ(page.rfind("http://" + m_address + ":8090/", 0), 0u) << page;
        std::string html;
        client::HttpGetUrl(page, html);
        EXPECT_NE(client::wireToUtf8(html).find(name), std::string::npos) << page;
    }
    EXPECT_FALSE(get("/api/histogram/9160001/13").success);
    EXPECT_FALSE(get("/api/realtime/1234567").success);

    Json::Value manifest;
    ASSERT_TRUE(client::parseJson(client::wireToUtf8(rawGet("/pc_update.json", 8090)), manifest));
    EXPECT_EQ(client::jsonText(manifest, "version"), "v1.6");
    EXPECT_EQ(client::jsonText(manifest, "forced"), "false");
    // Paths outside the index are not found, and trading paths are not served on the market port.
    std::string reply;
    client::HttpGetUrl("http://" + m_address + ":8041/api/v1/ad", reply);
    EXPECT_FALSE(client::ApiReply::fromWire(reply).success);
}

TEST_F(ExchangeHttp, RefusalsCarryAClearMessage)
{
    EXPECT_EQ(login("999999", "x").msg, "账户不存在");
    EXPECT_EQ(login("sim-mm-9160001", "x").msg, "账户不存在");
    EXPECT_EQ(login("100001", "wrong").msg, "密码错误");
    EXPECT_EQ(client::ApiReply::fromWire(rawPostBody("/api/v1/user/login", "not json")).msg, "请求格式不正确");
    EXPECT_EQ(client::ApiReply::fromWire(rawPostBody("/api/v1/user/login", "{\"v\":\"1\"}")).msg, "缺少参数：passwd");
    EXPECT_EQ(client::ApiReply::fromWire(rawPostBody("/api/v1/item/buy", "")).msg, "请求格式不正确");

    const std::string u = "100003"; // 50 000 yuan, nothing held
    auto buy = [&](const char* price, const char* qty, const char* item = "9160001") {
        return post(Endpoint::Buy, {{"buy_amount", qty}, {"buy_price", price}, {"id", u}, {"item_id", item}});
    };
    EXPECT_EQ(buy("36.00", "100000").msg, "可用资金不足");
    EXPECT_EQ(buy("36.001", "1").msg, "委托价格不正确");
    EXPECT_EQ(buy("abc", "1").msg, "委托价格不正确");
    EXPECT_EQ(buy("36.00", "0").msg, "委托数量必须为正整数");
    EXPECT_EQ(buy("36.00", "-4").msg, "委托数量必须为正整数");
    EXPECT_EQ(buy("36.00", "1", "12").msg, "产品代码不存在");
    EXPECT_EQ(buy("36.00", "1", "9160001x").msg, "产品代码不存在");
    EXPECT_EQ(buy("99.00", "1").msg.rfind("委托价格超出涨跌停范围", 0), 0u);
    EXPECT_EQ(post(Endpoint::Sell, {{"id", u}, {"item_id", "9160001"}, {"sell_amount", "1"}, {"sell_price", "36.00"}}).msg,
              "可卖数量不足");
    EXPECT_EQ(post(Endpoint::Repeal, {{"id", "1"}, {"stockholder_id", u}}).msg, "该订单不属于本账户，不能撤单");
    EXPECT_EQ(post(Endpoint::Repeal, {{"id", "99999999"}, {"stockholder_id", u}}).msg, "订单不存在");
    EXPECT_EQ(post(Endpoint::AccountTransfer, {{"cash", ""}, {"id", "100002"}}).success, false);
    EXPECT_EQ(post(Endpoint::AccountTransfer, {{"cash", "2000000"}, {"id", "100002"}}).msg, "可用资金不足，出金失败");
    // Money paid out needs a card to go to.
    EXPECT_EQ(post(Endpoint::AccountTransfer, {{"cash", "10"}, {"id", u}}).msg, "未登记银行卡号，不能出金，请先填写客户信息");
    EXPECT_EQ(post(Endpoint::CustomerItem, {{"id", "nobody"}}).msg, "账户不存在");
    EXPECT_EQ(post(Endpoint::TradeHistory, {{"end_date", "soon"}, {"id", u}, {"start_date", "x"}}).msg, "日期格式不正确");

    auto deliver = [&](const std::string& who, const char* amount, const std::string& date, const char* consignee,
                       const char* address) {
        return post(Endpoint::Delivery, {{"add_date", date}, {"address", address}, {"amount", amount},
                                         {"consignee", consignee}, {"contact", "1"}, {"id", who}, {"method", "自提"},
                                         {"stock_id", "9160001"}});
    };
    EXPECT_EQ(deliver("100001", "30", TodayText(), "张三", "自提点").msg, "交割数量须是20的倍数");
    EXPECT_EQ(deliver("100001", "", TodayText(), "张三", "自提点").msg, "交割数量须大于0，且是20的倍数");
    EXPECT_EQ(deliver("100001", "0", TodayText(), "张三", "自提点").msg, "交割数量须大于0，且是20的倍数");
    EXPECT_EQ(deliver("100001", "40", TodayText(-1), "张三", "自提点").msg, "交割日期早于当前日期，请重新输入");
    EXPECT_EQ(deliver("100001", "40", TodayText(366), "张三", "自提点").msg, "交割日期不能晚于365天之后，请重新输入");
    EXPECT_EQ(deliver("100001", "40", TodayText(), "张三3", "自提点").msg, "收货人区域不能含有数字！");
    EXPECT_EQ(deliver("100001", "40", TodayText(), "张三", "12345").msg, "收货地址不能是纯数字！");
    EXPECT_EQ(deliver("100003", "40", TodayText(), "张三", "自提点").msg, "可交割数量不足，当前可交割0");
    EXPECT_EQ(deliver("100001", "2020", TodayText(), "张三", "自提点").msg, "可交割数量不足，当前可交割2000");
    EXPECT_TRUE(deliver("100001", "40", TodayText(), "张三", "自提点").success);
    EXPECT_TRUE(deliver("100001", "40", TodayText(365), "张三", "自提点").success);

    // Account details are taken once.
    const std::vector<Param> details = {{"account", "6217000010001111111"}, {"address", "a"}, {"contract_address", "b"},
                                        {"email", "e"}, {"id", "100002"}, {"mobile", "13800000000"}, {"name", "x"},
                                        {"personal_id", "1"}, {"phone", "p"}};
    EXPECT_EQ(post(Endpoint::UpdateInfo, details).msg, "客户信息已登记，不能重复提交");
    EXPECT_EQ(post(Endpoint::UpdatePasswd, {{"id", "100002"}, {"new_passwd", "x"}, {"old_passwd", "y"}}).msg,
              "旧密码错误，密码未修改");
    EXPECT_EQ(m_exchange->audit(), "");
}

TEST_F(ExchangeHttp, BuyingAcrossTheSpreadTradesAndShowsInEveryQuery)
{
    const std::string u = "100003";
    const double ask = get("/api/realtime/9160001").infor[0]["sellPrice1"].asDouble();
    char price[16];
    std::snprintf(price, sizeof price, "%.2f", ask);
    const client::ApiReply r = post(Endpoint::Buy, {{"buy_amount", "10"}, {"buy_price", price}, {"id", u}, {"item_id", "9160001"}});
    ASSERT_TRUE(r.success) << r.msg;
    EXPECT_NE(r.msg.find("已成交10"), std::string::npos) << r.msg;

    const client::ApiReply trades = post(Endpoint::TradeToday, {{"id", u}});
    ASSERT_EQ(trades.infor.size(), 1u);
    const Json::Value& t = trades.infor[0];
    EXPECT_EQ(client::jsonInt(t, "direction"), 0);
    EXPECT_EQ(client::jsonInt(t, "dealed_amount"), 10);
    EXPECT_NEAR(client::jsonReal(t, "deal_price"), ask, 1e-9);
    EXPECT_NEAR(client::jsonReal(t, "commission"), std::floor(ask * 100 * 10 * 3 / 1000) / 100, 1e-9);
    EXPECT_GT(client::JsonInt64(t, "trade_no"), 0);
    EXPECT_EQ(client::jsonText(t, "name"), "Tolmere小酒窖");

    const client::ApiReply holdings = post(Endpoint::CustomerItem, {{"id", u}});
    ASSERT_TRUE(holdings.success);
    ASSERT_EQ(holdings.infor["stock"].size(), 1u);
    const Json::Value& s = holdings.infor["stock"][0];
    EXPECT_EQ(client::jsonInt(s, "total"), 10);
    EXPECT_EQ(client::jsonInt(s, "amount_usable"), 10);
    EXPECT_GT(client::jsonReal(s, "costprice"), ask); // the fee is part of the cost
    const double usable = client::jsonReal(holdings.infor["cash"], "bankroll_usable");
    EXPECT_NEAR(usable, 50000 - client::jsonReal(t, "dealed_value") - client::jsonReal(t, "commission"), 1e-6);
    EXPECT_NEAR(post(Endpoint::AccountApply, {{"id", u}}).infor["cash"].asDouble(), usable, 1e-6);

    const client::ApiReply orders = post(Endpoint::OrderToday, {{"id", u}});
    ASSERT_EQ(orders.infor.size(), 1u);
    EXPECT_EQ(client::jsonInt(orders.infor[0], "remain"), 0);
    EXPECT_EQ(client::jsonInt(orders.infor[0], "state"), 0);
    const client::ApiReply history =
        post(Endpoint::TradeHistory, {{"end_date", TodayText()}, {"id", u}, {"start_date", TodayText(-7)}});
    EXPECT_EQ(history.infor.size(), 1u);
    // The tape now shows the trade.
    EXPECT_EQ(get("/api/dealdetail/9160001/20").infor[0]["vol"].asInt(), 10);
    const client::ApiReply guide = post(Endpoint::TradeGuide, {{"id", "9160001"}});
    EXPECT_NEAR(guide.infor["main_9"].asDouble(), ask, 1e-9);
    EXPECT_EQ(m_exchange->audit(), "");
}

// Each list holds the members the terminal reads from one reply; a missing one would read as zero.
void ExpectMembers(const Json::Value& object, std::initializer_list<const char*> keys, const std::string& what)
{
    ASSERT_TRUE(object.isObject()) << what;
    for (const char* key : keys)
        EXPECT_TRUE(object.isMember(key)) << what << " lacks " << key;
}

TEST_F(ExchangeHttp, RepliesCarryEveryMemberTheTerminalReads)
{
    const std::string u = "100002";
    // Something of everything: a trade, an open order, a delivery, a withdrawal.
    const double ask = get("/api/realtime/9160001").infor[0]["sellPrice1"].asDouble();
    char price[16];
    std::snprintf(price, sizeof price, "%.2f", ask);
    ASSERT_TRUE(post(Endpoint::Buy, {{"buy_amount", "3"}, {"buy_price", price}, {"id", u}, {"item_id", "9160001"}}).success);
    ASSERT_TRUE(post(Endpoint::Sell, {{"id", u}, {"item_id", "9160001"}, {"sell_amount", "5"}, {"sell_price", "40.00"}}).success);
    ASSERT_TRUE(post(Endpoint::Delivery, {{"add_date", TodayText()}, {"address", "自提点"}, {"amount", "20"}, {"consignee", "林晓雨"},
                                          {"contact", "13800138000"}, {"id", u}, {"method", "自提"}, {"stock_id", "9160003"}})
                    .success);
    ASSERT_TRUE(post(Endpoint::AccountTransfer, {{"cash", "100.25"}, {"id", u}}).success);

    ExpectMembers(login(u, "velmora").infor,
                  {"name", "email", "personal_id", "address", "phone", "mobile", "contract_address", "account", "is_update"},
                  "login");
    const client::ApiReply holdings = post(Endpoint::CustomerItem, {{"id", u}});
    ExpectMembers(holdings.infor["cash"], {"bankroll", "bankroll_usable", "total", "stock_fee"}, "cash");
    ASSERT_GE(holdings.infor["stock"].size(), 3u);
    for (const Json::Value& s : holdings.infor["stock"])
        ExpectMembers(s, {"stock_id", "name", "total", "amount_freeze", "amount_usable", "costprice", "latest",
                          "stock_value", "profits_per"}, "position");
    const client::ApiReply orders = post(Endpoint::OrderToday, {{"id", u}});
    ASSERT_EQ(orders.infor.size(), 2u);
    for (const Json::Value& o : orders.infor)
        ExpectMembers(o, {"id", "stock_id", "name", "direction", "commission_price", "commission_amount", "remain",
                          "add_time", "state"}, "order");
    const client::ApiReply trades = post(Endpoint::TradeToday, {{"id", u}});
    ASSERT_GE(trades.infor.size(), 1u);
    for (const Json::Value& t : trades.infor)
        ExpectMembers(t, {"trade_time", "stock_id", "name", "deal_price", "dealed_amount", "direction", "dealed_value",
                          "order_price", "order_amount", "trade_no", "commission"}, "trade");
    const client::ApiReply deliveries = post(Endpoint::DeliveryHistory, {{"id", u}});
    ASSERT_EQ(deliveries.infor.size(), 1u);
    ExpectMembers(deliveries.infor[0], {"id", "stock_id", "add_date", "method", "amount", "status", "consignee", "address"},
                  "delivery");
    EXPECT_EQ(client::jsonText(deliveries.infor[0], "method"), "自提");
    const client::ApiReply cash = post(Endpoint::CashHistory, {{"end_date", TodayText()}, {"id", u}, {"start_date", TodayText()}});
    ASSERT_GE(cash.infor.size(), 2u); // the opening deposit and the withdrawal
    for (const Json::Value& c : cash.infor)
        ExpectMembers(c, {"account", "cash", "add_time", "direction", "status", "is_offline"}, "cash movement");
    EXPECT_EQ(client::jsonInt(cash.infor[0], "direction"), 1);
    EXPECT_EQ(client::jsonInt(cash.infor[0], "status"), 0);
    for (const Json::Value& a : post(Endpoint::Ad, {}).infor)
        ExpectMembers(a, {"title", "remark"}, "announcement");
    EXPECT_TRUE(post(Endpoint::AccountApply, {{"id", u}}).infor["cash"].isNumeric());

    ExpectMembers(get("/api/realtime/9160001").infor[0],
                  {"stockName", "entrustPCT", "entrustDIF", "sellPrice5", "sellPrice4", "sellPrice3", "sellPrice2",
                   "sellPrice1", "buyPrice1", "buyPrice2", "buyPrice3", "buyPrice4", "buyPrice5", "sellVol5", "sellVol4",
                   "sellVol3", "sellVol2", "sellVol1", "buyVol1", "buyVol2", "buyVol3", "buyVol4", "buyVol5", "latest",
                   "change", "max", "vol", "total", "outVol", "limitUp", "increase", "opening", "min", "newVol",
                   "turnover", "inVol", "limitDown", "inventory", "marketValue"},
                  "quote");
    for (const char* path : {"/api/dealdetail/9160001/20", "/api/dealdetail/9160001/0"}) {
        const client::ApiReply ticks = get(path);
        ASSERT_GE(ticks.infor.size(), 1u) << path;
        ExpectMembers(ticks.infor[0], {"time", "price", "vol"}, path);
    }
    ExpectMembers(get("/api/pricedetail/9160001").infor[0], {"price", "vol"}, "price row");
    ExpectMembers(get("/api/timeline/9160001/1").infor[0], {"averagePrice", "price", "vol"}, "minute");
    for (int period = 1; period <= 12; ++period) {
        const client::ApiReply candles = get("/api/histogram/9160001/" + std::to_string(period));
        ASSERT_GE(candles.infor.size(), 1u) << period;
        ExpectMembers(candles.infor[0], {"startPrice", "endPrice", "maxPrice", "minPrice", "time", "vol"}, "candle");
    }
    const client::ApiReply guide = post(Endpoint::TradeGuide, {{"id", "9160001"}});
    ExpectMembers(guide.infor, {"extend_1", "extend_5", "extend_6", "extend_10", "extend_11", "extend_15", "extend_16",
                                "extend_20", "main_9", "main_24", "extend_22", "extend_23", "main_5"}, "single-item quote");
    const client::ApiReply overview = post(Endpoint::UpToTheMinute, {{"id", ""}}); // a visitor's poller
    ASSERT_TRUE(overview.success);
    EXPECT_GE(overview.infor.size(), 13u);
    EXPECT_EQ(client::jsonText(overview.infor[0], "main_4"), "Tolmere小酒窖");
    EXPECT_EQ(m_exchange->audit(), "");
}

TEST_F(ExchangeHttp, RepliesGoOutInTheWireCodePageAndCompressedWhenAccepted)
{
    const std::string wire = rawPost(Endpoint::Login, {{"passwd", client::hashPassword("velmora")}, {"username", "100002"}});
    EXPECT_NE(wire.find(client::utf8ToWire("林晓雨")), std::string::npos);
    EXPECT_EQ(wire.find("林晓雨"), std::string::npos);
    EXPECT_EQ(client::ApiReply::fromWire(wire).infor["is_update"].asInt(), 1);

    httplib::Client raw(m_address, 8041);
    raw.set_decompress(false);
    auto res = raw.Get("/api/histogram/9160001/8", {{"Accept-Encoding", "gzip"}});
    ASSERT_TRUE(res);
    EXPECT_EQ(res->get_header_value("Content-Encoding"), "gzip");
    auto plain = raw.Get("/api/histogram/9160001/8");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->get_header_value("Content-Encoding"), "");
    EXPECT_LT(res->body.size(), plain->body.size());
}

TEST_F(ExchangeHttp, TheDetailsRequestArrivesInUtf8AndIsSignedOverIt)
{
    const std::vector<Param> details = {{"account", "6217000010009876543"}, {"address", "上海市"}, {"contract_address", "上海市静安区"},
                                        {"email", "a@example.com"}, {"id", "100001"}, {"mobile", "13900139000"},
                                        {"name", "王小明"}, {"personal_id", "310101199001011234"}, {"phone", "021-1"}};
    ASSERT_TRUE(post(Endpoint::UpdateInfo, details).success);
    const client::ApiReply me = login("100001", "123456");
    EXPECT_EQ(client::jsonText(me.infor, "name"), "王小明");
    EXPECT_EQ(client::jsonInt(me.infor, "is_update"), 1);
    const client::ApiReply cash = post(Endpoint::CashHistory, {{"end_date", TodayText()}, {"id", "100001"}, {"start_date", TodayText()}});
    ASSERT_GE(cash.infor.size(), 1u);
    EXPECT_EQ(client::JsonInt64(cash.infor[0], "account"), 6217000010009876543LL);
}

TEST_F(ExchangeHttp, StateSurvivesARestartWithADatabase)
{
    const std::string db = startOnFreshDatabase();
    const std::string u = "100001";
    const client::ApiReply placed =
        post(Endpoint::Buy, {{"buy_amount", "100"}, {"buy_price", "33.00"}, {"id", u}, {"item_id", "9160001"}});
    ASSERT_TRUE(placed.success);
    {
        // Answered means committed: a second reader of the file sees the order already.
        std::string error;
        bool loaded = false;
        Engine copy;
        auto reader = Storage::Open(db, error);
        ASSERT_TRUE(reader) << error;
        ASSERT_TRUE(reader->load(copy, loaded, error)) << error;
        const Order* o = copy.order(client::JsonInt64(placed.infor, "id"));
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->remain, 100);
        EXPECT_EQ(copy.account(u)->frozen, 3300 * 100 + Fee(3300 * 100));
    }
    ASSERT_TRUE(post(Endpoint::UpdateInfo, {{"account", "6217000010009876543"}, {"address", "上海市"}, {"contract_address", "上海市"},
                                            {"email", "a@example.com"}, {"id", u}, {"mobile", "13900139000"},
                                            {"name", "王小明"}, {"personal_id", "310101199001011234"}, {"phone", "021-1"}})
                    .success);
    ASSERT_TRUE(post(Endpoint::AccountTransfer, {{"cash", "250.50"}, {"id", u}}).success);
    ASSERT_TRUE(post(Endpoint::Delivery, {{"add_date", TodayText(3)}, {"address", "上海市黄浦区南京东路1号"}, {"amount", "20"},
                                          {"consignee", "王小明"}, {"contact", "13800138000"}, {"id", u},
                                          {"method", "邮寄"}, {"stock_id", "9160002"}}).success);
    const std::string deliveriesBefore = rawPost(Endpoint::DeliveryHistory, {{"id", u}});
    ASSERT_TRUE(post(Endpoint::UpdatePasswd, {{"id", u}, {"new_passwd", client::hashPassword("abc")},
                                              {"old_passwd", client::hashPassword("123456")}}).success);
    const std::string holdingsBefore = rawPost(Endpoint::CustomerItem, {{"id", u}});
    const std::string ordersBefore = rawPost(Endpoint::OrderToday, {{"id", u}});
    const Cents cashBefore = m_exchange->totalCash();

    stop();
    start(db);
    const client::ApiReply again = login(u, "abc");
    EXPECT_TRUE(again.success);
    EXPECT_EQ(client::jsonText(again.infor, "name"), "王小明");
    EXPECT_EQ(rawPost(Endpoint::OrderToday, {{"id", u}}), ordersBefore);
    const client::ApiReply holdingsAfter = client::ApiReply::fromWire(rawPost(Endpoint::CustomerItem, {{"id", u}}));
    EXPECT_EQ(holdingsAfter.infor["cash"], client::ApiReply::fromWire(holdingsBefore).infor["cash"]);
    // The pending delivery is still listed and still holds its units out of the position.
    EXPECT_EQ(rawPost(Endpoint::DeliveryHistory, {{"id", u}}), deliveriesBefore);
    EXPECT_EQ(holdingsAfter.infor["stock"], client::ApiReply::fromWire(holdingsBefore).infor["stock"]);
    bool found = false;
    for (const Json::Value& s : holdingsAfter.infor["stock"]) {
        if (client::jsonInt(s, "stock_id") == 9160002) {
            EXPECT_EQ(client::jsonInt(s, "amount_freeze"), 20);
            EXPECT_EQ(client::jsonInt(s, "amount_usable"), 180);
            found = true;
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(m_exchange->totalCash(), cashBefore);
    EXPECT_EQ(m_exchange->audit(), "");
    // The restored order can still be cancelled, and its reservation comes back.
    const std::int64_t open = FirstOpenOrder(post(Endpoint::OrderToday, {{"id", u}}));
    ASSERT_NE(open, 0);
    EXPECT_TRUE(post(Endpoint::Repeal, {{"id", std::to_string(open)}, {"stockholder_id", u}}).success);
    EXPECT_EQ(m_exchange->audit(), "");
}

TEST_F(ExchangeHttp, FaultInjectionMisbehavesOnlyWhereAsked)
{
    auto control = [&](const std::string& query) { return rawGet("/__control/fault?" + query); };
    EXPECT_EQ(control("path=/api/realtime/9160001&mode=500"), "ok\n");
    EXPECT_FALSE(get("/api/realtime/9160001").parsed);
    EXPECT_TRUE(get("/api/pricedetail/9160001").success);
    control("path=/api/realtime/9160001&mode=malformed");
    EXPECT_FALSE(get("/api/realtime/9160001").parsed);
    control("path=/api/realtime/9160001&mode=close");
    std::string reply;
    EXPECT_NE(client::HttpGetUrl("http://" + m_address + ":8041/api/realtime/9160001", reply), 0);
    control("path=/api/v1/ad&mode=huge&arg=70000000");
    EXPECT_FALSE(post(Endpoint::Ad, {}).parsed); // the transport's size cap drops it
    control("path=/api/v1/ad&mode=delay&arg=50");
    EXPECT_TRUE(post(Endpoint::Ad, {}).success);
    control("path=/api/histogram/*&mode=hang");
    std::string hung;
    EXPECT_NE(client::HttpGetUrl("http://" + m_address + ":8041/api/histogram/9160001/8", hung), 0); // times out
    EXPECT_NE(control("path=/x&mode=explode"), "ok\n");
    control("mode=clear");
    EXPECT_TRUE(get("/api/realtime/9160001").success);
    EXPECT_TRUE(get("/api/histogram/9160001/8").success);
}

// The order windows read integers, money and times by type: a code or a quantity sent as
// text, or a time as a date string, would read as zero there.
TEST_F(ExchangeHttp, TradingRepliesCarryTheTypesTheOrderWindowsRead)
{
    const std::string u = "100001";
    const double ask = get("/api/realtime/9160001").infor[0]["sellPrice1"].asDouble();
    char price[16];
    std::snprintf(price, sizeof price, "%.2f", ask);
    const client::ApiReply bought =
        post(Endpoint::Buy, {{"buy_amount", "1"}, {"buy_price", price}, {"id", u}, {"item_id", "9160001"}});
    ASSERT_TRUE(bought.success);
    EXPECT_TRUE(bought.infor.isObject());
    ASSERT_TRUE(post(Endpoint::Sell, {{"id", u}, {"item_id", "9160001"}, {"sell_amount", "5"}, {"sell_price", "40.00"}})
                    .success);

    auto expect = [](const Json::Value& o, std::initializer_list<const char*> keys, bool (Json::Value::*is)() const,
                     const char* what) {
        for (const char* key : keys)
            EXPECT_TRUE((o[key].*is)()) << what << "." << key << " is " << o[key].toStyledString();
    };
    auto expectSeconds = [&](const Json::Value& o, const char* key) {
        expect(o, {key}, &Json::Value::isIntegral, "time");
        EXPECT_NEAR(double(o[key].asInt64()), double(TodayAt(10, 0)), 86400.0) << key;
    };

    const client::ApiReply holdings = post(Endpoint::CustomerItem, {{"id", u}});
    expect(holdings.infor["cash"], {"bankroll", "bankroll_usable", "total"}, &Json::Value::isNumeric, "cash");
    for (const Json::Value& s : holdings.infor["stock"]) {
        expect(s, {"stock_id", "total", "amount_freeze", "amount_usable"}, &Json::Value::isIntegral, "position");
        expect(s, {"costprice", "latest", "stock_value", "profits_per"}, &Json::Value::isNumeric, "position");
        expect(s, {"name"}, &Json::Value::isString, "position");
    }
    const client::ApiReply orders = post(Endpoint::OrderToday, {{"id", u}});
    ASSERT_GE(orders.infor.size(), 2u);
    for (const Json::Value& o : orders.infor) {
        expect(o, {"id", "stock_id", "direction", "commission_amount", "remain", "state"}, &Json::Value::isIntegral,
               "order");
        expect(o, {"commission_price"}, &Json::Value::isNumeric, "order");
        expect(o, {"name"}, &Json::Value::isString, "order");
        expectSeconds(o, "add_time");
    }
    // The filled buy is not cancelled: state 0 with nothing remaining reads as filled.
    const Json::Value& filled = orders.infor[orders.infor.size() - 1]; // the newest stands first
    EXPECT_EQ(client::jsonInt(filled, "direction"), 0);
    EXPECT_EQ(client::jsonInt(filled, "state"), 0);
    EXPECT_EQ(client::jsonInt(filled, "remain"), 0);
    const client::ApiReply trades = post(Endpoint::TradeToday, {{"id", u}});
    EXPECT_TRUE(trades.success);
    ASSERT_GE(trades.infor.size(), 1u);
    for (const Json::Value& t : trades.infor) {
        expect(t, {"stock_id", "dealed_amount", "direction", "order_amount", "trade_no"}, &Json::Value::isIntegral,
               "trade");
        expect(t, {"deal_price", "dealed_value", "order_price", "commission"}, &Json::Value::isNumeric, "trade");
        expect(t, {"name"}, &Json::Value::isString, "trade");
        expectSeconds(t, "trade_time");
    }
}

TEST_F(ExchangeHttp, ASecondCopyOnTheSameAddressRefusesToStart)
{
    // Sharing the ports would spread the requests between two books: an accepted order or
    // a changed password would be missing from every other request.
    Faults faults;
    HttpFront second(*m_exchange, faults);
    std::string error;
    EXPECT_FALSE(second.start({m_address}, "", 0, error));
    EXPECT_NE(error.find(m_address + ":8055"), std::string::npos) << error;
    EXPECT_NE(error.find("in use"), std::string::npos) << error;

    // The program says so and fails; the first copy goes on answering.
    const std::string command = "timeout 30 " VELMORA_EXCHANGE_EXE " --listen " + m_address + " --update-listen "
                                + m_address + ":8091 2>&1";
    FILE* program = ::popen(command.c_str(), "r");
    ASSERT_NE(program, nullptr);
    std::string output;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, program))
        output.append(buffer, n);
    const int status = ::pclose(program);
    ASSERT_TRUE(WIFEXITED(status)) << output;
    EXPECT_EQ(WEXITSTATUS(status), 1) << output;
    EXPECT_NE(output.find(m_address + ":8055"), std::string::npos) << output;
    EXPECT_NE(output.find("in use"), std::string::npos) << output;
    EXPECT_TRUE(get("/api/realtime/9160001").success);
}

TEST_F(ExchangeHttp, GarbageBodiesNeverBreakTheService)
{
    std::mt19937 rng(5);
    const std::vector<std::string> bodies = {
        "", "{", "[]", "null", "{\"id\":{}}", "{\"id\":[1,2]}", "{\"v\":1.5,\"sign\":\"x\"}", std::string(5000, '{'),
        std::string("{\"id\":\"\xff\xfe\x80\",\"v\":\"1\",\"sign\":\"00\"}"), "{\"passwd\":null,\"username\":1,\"v\":true}"};
    for (const client::EndpointInfo& info : client::endpointTable()) {
        if (info.method != client::Method::SignedPost)
            continue;
        for (const std::string& body : bodies) {
            const client::ApiReply r = client::ApiReply::fromWire(rawPostBody(std::string(info.path), body));
            EXPECT_TRUE(r.parsed) << info.path << " " << body.substr(0, 30);
            EXPECT_FALSE(r.success);
        }
        std::string noise(200, '\0');
        for (char& c : noise)
            c = static_cast<char>(rng());
        EXPECT_TRUE(client::ApiReply::fromWire(rawPostBody(std::string(info.path), noise)).parsed);
    }
    for (const char* path : {"/api/realtime/", "/api/dealdetail/9160001/x", "/api/histogram/9160001/-1",
                             "/api/histogram/9160001/99999999999999999999", "/api/timeline/abc", "/api/../../etc/passwd"}) {
        rawGet(path); // any answer will do, as long as the service stays up
    }
    EXPECT_TRUE(get("/api/realtime/9160001").success);
    EXPECT_EQ(m_exchange->audit(), "");
}

TEST_F(ExchangeHttp, AnAccountAnswersOnlyTheAddressesThatLoggedInToIt)
{
    const std::string u = "100001";
    const std::string other = "127.250.0.7"; // another terminal on this machine
    auto state = [&] {
        std::string all;
        for (Endpoint e : {Endpoint::CustomerItem, Endpoint::OrderToday, Endpoint::DeliveryHistory, Endpoint::CashHistory})
            all += rawPost(e, {{"end_date", TodayText()}, {"id", u}, {"start_date", TodayText(-1)}});
        return all + WriteJson(login(u, "123456").infor);
    };
    const client::ApiReply placed =
        post(Endpoint::Buy, {{"buy_amount", "1"}, {"buy_price", "33.00"}, {"id", u}, {"item_id", "9160001"}});
    ASSERT_TRUE(placed.success) << placed.msg;
    std::map<Endpoint, std::vector<Param>> requests = SignedRequests(u);
    requests.erase(Endpoint::Login);
    requests[Endpoint::Repeal] = {{"id", std::to_string(client::JsonInt64(placed.infor, "id"))}, {"stockholder_id", u}};
    const std::set<Endpoint> open = {Endpoint::Ad, Endpoint::UpToTheMinute, Endpoint::TradeGuide};

    // Until it logs in, the other address reads and changes nothing; the market stays open to it.
    const std::string before = state();
    for (const auto& [endpoint, params] : requests) {
        const client::ApiReply r = postFrom(other, endpoint, params);
        EXPECT_EQ(r.success, open.count(endpoint) == 1) << client::endpointInfo(endpoint).path;
        if (!open.count(endpoint)) {
            EXPECT_EQ(r.msg, "请先登录") << client::endpointInfo(endpoint).path;
        }
    }
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(loginFrom(other, u, "wrong").success);
    EXPECT_EQ(postFrom(other, Endpoint::AccountApply, {{"id", u}}).msg, "请先登录");

    // Its login opens that account, and that one alone, to it.
    ASSERT_TRUE(loginFrom(other, u, "123456").success);
    for (const client::EndpointInfo& info : client::endpointTable()) {
        if (requests.count(info.endpoint)) {
            const client::ApiReply r = postFrom(other, info.endpoint, requests.at(info.endpoint));
            EXPECT_TRUE(r.success) << info.path << ": " << r.msg;
        }
    }
    EXPECT_EQ(postFrom(other, Endpoint::AccountApply, {{"id", "100002"}}).msg, "请先登录");
    const client::ApiReply theirs =
        post(Endpoint::Buy, {{"buy_amount", "1"}, {"buy_price", "33.00"}, {"id", "100002"}, {"item_id", "9160001"}});
    EXPECT_EQ(postFrom(other, Endpoint::Repeal, {{"id", std::to_string(client::JsonInt64(theirs.infor, "id"))},
                                                  {"stockholder_id", "100002"}}).msg,
              "请先登录");

    // A login lasts its window, then the account asks again.
    m_now += 24 * 3600;
    EXPECT_TRUE(postFrom(other, Endpoint::AccountApply, {{"id", u}}).success);
    m_now += 1;
    EXPECT_EQ(postFrom(other, Endpoint::AccountApply, {{"id", u}}).msg, "请先登录");
    ASSERT_TRUE(loginFrom(other, u, "123456").success);
    ASSERT_TRUE(login(u, "123456").success);
    ASSERT_TRUE(login("100002", "velmora").success);

    // A new password ends the logins of every other address, not the one that changed it.
    ASSERT_TRUE(postFrom(other, Endpoint::UpdatePasswd, {{"id", u}, {"new_passwd", client::hashPassword("new")},
                                                         {"old_passwd", client::hashPassword("123456")}})
                    .success);
    EXPECT_TRUE(postFrom(other, Endpoint::AccountApply, {{"id", u}}).success);
    EXPECT_EQ(post(Endpoint::AccountApply, {{"id", u}}).msg, "请先登录");
    EXPECT_TRUE(post(Endpoint::AccountApply, {{"id", "100002"}}).success); // other accounts are untouched
    EXPECT_EQ(m_exchange->audit(), "");

    // Open accounts answer every address.
    stop();
    start("", true);
    EXPECT_TRUE(postFrom(other, Endpoint::CustomerItem, {{"id", u}}).success);
}

// A database whose writes fail as on a full disk: each kind of change is answered as failed
// and leaves nothing behind, in memory or in the file; with room again it goes through.
TEST_F(ExchangeHttp, AChangeThatCannotBeSavedIsAnsweredAsFailedAndLeavesNoTrace)
{
    const std::string db = startOnFreshDatabase();
    const std::string u = "100001";
    std::string password = "123456";
    auto restart = [&] {
        stop();
        start(db);
        ASSERT_TRUE(login(u, password).success);
    };
    auto state = [&] {
        std::string all;
        for (Endpoint e : {Endpoint::CustomerItem, Endpoint::OrderToday, Endpoint::TradeToday, Endpoint::DeliveryHistory,
                           Endpoint::CashHistory})
            all += rawPost(e, {{"end_date", TodayText()}, {"id", u}, {"start_date", TodayText(-1)}});
        return all + WriteJson(login(u, password).infor) + (login(u, "123456").success ? "old password" : "new") +
               rawGet("/api/dealdetail/9160001/0") + YuanText(m_exchange->totalCash());
    };
    auto ask = [&] {
        char price[16];
        std::snprintf(price, sizeof price, "%.2f", get("/api/realtime/9160001").infor[0]["sellPrice1"].asDouble());
        return std::string(price);
    };
    std::int64_t resting = 0;
    struct Change
    {
        const char* what;
        Endpoint endpoint;
        std::function<std::vector<Param>()> params;
    };
    const std::vector<Change> changes = {
        {"details", Endpoint::UpdateInfo,
         [&]() -> std::vector<Param> {
             return {{"account", "6217000010009876543"}, {"address", "上海市"}, {"contract_address", "上海市"},
                     {"email", "a@example.com"}, {"id", u}, {"mobile", "13900139000"}, {"name", "王小明"},
                     {"personal_id", "310101199001011234"}, {"phone", "021-1"}};
         }},
        {"a buy that trades", Endpoint::Buy,
         [&]() -> std::vector<Param> { return {{"buy_amount", "10"}, {"buy_price", ask()}, {"id", u}, {"item_id", "9160001"}}; }},
        {"a sell that rests", Endpoint::Sell,
         [&]() -> std::vector<Param> { return {{"id", u}, {"item_id", "9160001"}, {"sell_amount", "7"}, {"sell_price", "39.00"}}; }},
        {"a cancellation", Endpoint::Repeal,
         [&]() -> std::vector<Param> { return {{"id", std::to_string(resting)}, {"stockholder_id", u}}; }},
        {"a delivery", Endpoint::Delivery,
         [&]() -> std::vector<Param> {
             return {{"add_date", TodayText()}, {"address", "北京市"}, {"amount", "20"}, {"consignee", "李四"},
                     {"contact", "1"}, {"id", u}, {"method", "邮寄"}, {"stock_id", "9160001"}};
         }},
        {"a withdrawal", Endpoint::AccountTransfer,
         [&]() -> std::vector<Param> { return {{"cash", "321.09"}, {"id", u}}; }},
        {"a password change", Endpoint::UpdatePasswd,
         [&]() -> std::vector<Param> {
             return {{"id", u}, {"new_passwd", client::hashPassword("654321")}, {"old_passwd", client::hashPassword(password)}};
         }},
    };
    for (const Change& change : changes) {
        const std::string before = state();
        {
            const testsupport::FileSizeLimit diskFull(0);
            const client::ApiReply failed = post(change.endpoint, change.params());
            EXPECT_FALSE(failed.success) << change.what;
            EXPECT_EQ(failed.msg, "系统繁忙，数据未能保存，请稍后查询后再试") << change.what;
            EXPECT_EQ(state(), before) << change.what << " stayed in memory";
        }
        restart();
        EXPECT_EQ(state(), before) << change.what << " reached the file";
        const client::ApiReply done = post(change.endpoint, change.params());
        ASSERT_TRUE(done.success) << change.what << ": " << done.msg;
        if (change.endpoint == Endpoint::Sell)
            resting = client::JsonInt64(done.infor, "id");
        if (change.endpoint == Endpoint::UpdatePasswd)
            password = "654321";
        EXPECT_NE(state(), before) << change.what;
    }

    // The back office's settlement of the withdrawal and the delivery, due now, cannot be
    // saved either: both stay pending, in memory and in the file, until there is room.
    m_now += 60;
    auto settled = [&] {
        const client::ApiReply cash = post(Endpoint::CashHistory, {{"end_date", TodayText()}, {"id", u}, {"start_date", TodayText()}});
        const client::ApiReply deliveries = post(Endpoint::DeliveryHistory, {{"id", u}});
        return std::pair(client::jsonInt(cash.infor[0], "status"), client::jsonInt(deliveries.infor[0], "status"));
    };
    {
        const testsupport::FileSizeLimit diskFull(0);
        EXPECT_EQ(settled(), std::pair(0, 0));
    }
    restart();
    EXPECT_EQ(settled(), std::pair(1, 1)); // the first request with room settles them
    restart();
    EXPECT_EQ(settled(), std::pair(1, 1));
    EXPECT_EQ(m_exchange->audit(), "");
}

TEST_F(ExchangeHttp, WithdrawalsAndDeliveriesSettleWhileTheParticipantsStandStill)
{
    const std::string u = "100002";
    ASSERT_TRUE(post(Endpoint::AccountTransfer, {{"cash", "500"}, {"id", u}}).success);
    for (int days : {0, 1}) {
        ASSERT_TRUE(post(Endpoint::Delivery, {{"add_date", TodayText(days)}, {"address", "自提点"}, {"amount", "20"},
                                              {"consignee", "林晓雨"}, {"contact", "1"}, {"id", u}, {"method", "自提"},
                                              {"stock_id", "9160003"}})
                        .success);
    }
    auto statuses = [&] {
        std::vector<int> out;
        for (const Json::Value& c : post(Endpoint::CashHistory, {{"end_date", TodayText()}, {"id", u}, {"start_date", TodayText()}}).infor)
            out.push_back(client::jsonInt(c, "status"));
        for (const Json::Value& d : post(Endpoint::DeliveryHistory, {{"id", u}}).infor)
            out.push_back(client::jsonInt(d, "status"));
        return out; // the withdrawal, the opening deposit, tomorrow's delivery, today's
    };
    m_now += 4;
    EXPECT_EQ(statuses(), (std::vector<int>{0, 1, 0, 0}));
    // No request, no participant: the back office settles on its own, once a second.
    m_now += 1;
    m_exchange->startPace(0);
    bool paid = false;
    for (int i = 0; i < 500 && !paid; ++i) {
        m_exchange->inspect([&](const Engine& engine, const MarketData&) {
            paid = engine.account(u)->frozen == 0;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_exchange->stopPace();
    EXPECT_TRUE(paid);
    EXPECT_EQ(statuses(), (std::vector<int>{1, 1, 0, 1}));
    m_now += 86400;
    ASSERT_TRUE(login(u, "velmora").success);
    EXPECT_EQ(statuses(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(m_exchange->audit(), "");
}

} // namespace
