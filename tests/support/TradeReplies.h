#pragma once

#include <ctime>
#include <map>
#include <string>

#include "client/CodePage.h"
#include "support/LoopbackServer.h"

// A scripted trading service for the order windows' tests: the replies of the paths they
// use, each replaceable by the test, and every request recorded by the server.
namespace testsupport {

// Unix seconds of today's hh:mm:ss in local time.
inline std::int64_t TodayAt(int hour, int minute, int second)
{
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&t));
}

inline std::string PositionsReply(double usableCash, int sellable9160001)
{
    return R"({"success":"true","msg":"资金持仓","infor":{"cash":{"bankroll":500000,"bankroll_usable":)"
           + std::to_string(usableCash)
           + R"(,"total":572400},"stock":[{"stock_id":9160001,"name":"Tolmere小酒窖","total":2000,"amount_freeze":)"
           + std::to_string(2000 - sellable9160001) + R"(,"amount_usable":)" + std::to_string(sellable9160001)
           + R"(,"costprice":35,"latest":36.2,"stock_value":72400,"profits_per":3.43},)"
             R"({"stock_id":9160002,"name":"Aubrac干红","total":200,"amount_freeze":0,"amount_usable":200,)"
             R"("costprice":120,"latest":118.5,"stock_value":23700,"profits_per":-1.25}]}})";
}

// Two orders: a buy at 09:05:07 still open, a sell filled.
inline std::string OrdersReply()
{
    return R"({"success":"true","msg":"当日委托","infor":[{"id":31,"stock_id":9160001,"name":"Tolmere小酒窖",)"
           R"("direction":0,"commission_price":35.5,"commission_amount":20,"remain":20,"add_time":)"
           + std::to_string(TodayAt(9, 5, 7))
           + R"(,"state":0},{"id":32,"stock_id":9160002,"name":"Aubrac干红","direction":1,"commission_price":119,)"
             R"("commission_amount":10,"remain":0,"add_time":)"
           + std::to_string(TodayAt(10, 30, 0)) + R"(,"state":0}]})";
}

inline std::string TradesReply()
{
    return R"({"success":"true","msg":"成交查询","infor":[{"trade_time":)" + std::to_string(TodayAt(10, 30, 5))
           + R"(,"stock_id":9160002,"name":"Aubrac干红","deal_price":119,"dealed_amount":10,"direction":1,)"
             R"("dealed_value":1190,"order_price":119,"order_amount":10,"trade_no":7001,"commission":3.57}]})";
}

// The quote of 9160001 around a reference of 36.00: asks above, bids below, a rise of 0.20.
inline std::string GuideReply()
{
    return R"({"success":"true","msg":"行情","infor":{"main_5":36,"main_9":36.2,"main_24":0.2,)"
           R"("extend_1":36.2,"extend_2":36.3,"extend_3":36.4,"extend_4":36.5,"extend_5":36.6,)"
           R"("extend_6":5,"extend_7":12,"extend_8":30,"extend_9":8,"extend_10":40,)"
           R"("extend_11":35.9,"extend_12":35.8,"extend_13":35.7,"extend_14":35.6,"extend_15":0,)"
           R"("extend_16":7,"extend_17":20,"extend_18":11,"extend_19":3,"extend_20":0,)"
           R"("extend_22":39.6,"extend_23":32.4}})";
}

// The replies of the trading paths by path (UTF-8; sent in the wire code page).
class TradeScript
{
public:
    TradeScript()
    {
        m_replies["/api/v1/customer/item"] = PositionsReply(480000.5, 2000);
        m_replies["/api/v1/order/today"] = OrdersReply();
        m_replies["/api/v1/trade/today"] = TradesReply();
        m_replies["/api/v1/trade/guide"] = GuideReply();
        m_replies["/api/v1/item/buy"] = R"({"success":"true","msg":"买入委托成功，订单号：33"})";
        m_replies["/api/v1/item/sell"] = R"({"success":"true","msg":"卖出委托成功，订单号：34"})";
        m_replies["/api/v1/account/apply"] = R"({"success":"true","msg":"可用资金","infor":{"cash":480000.5}})";
    }

    void set(const std::string& path, std::string utf8Reply)
    {
        std::lock_guard lock(m_mutex);
        m_replies[path] = std::move(utf8Reply);
    }

    LoopbackServer::Handler handler()
    {
        return [this](const RecordedRequest& r) {
            std::lock_guard lock(m_mutex);
            const auto it = m_replies.find(r.path);
            return ScriptedReply{200, client::utf8ToWire(it == m_replies.end() ? R"({"success":"true","msg":"","infor":[]})"
                                                                                  : it->second)};
        };
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::string> m_replies;
};

// Requests the server received for `path`.
inline std::size_t CountPath(const LoopbackServer& server, const std::string& path)
{
    std::size_t n = 0;
    for (const RecordedRequest& r : server.requests())
        n += r.path == path;
    return n;
}

inline std::string LastBody(const LoopbackServer& server, const std::string& path)
{
    std::string body;
    for (const RecordedRequest& r : server.requests()) {
        if (r.path == path)
            body = r.body;
    }
    return body;
}

} // namespace testsupport
