#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <json/value.h>

#include "Accounts.h"
#include "Engine.h"
#include "Logins.h"
#include "MarketData.h"
#include "Simulator.h"
#include "Storage.h"

namespace client {
struct EndpointInfo;
}

namespace exchange {

struct Manifest
{
    std::string version = "v1.6";
    std::string forced = "false";
    std::string msg;
};

struct Announcement
{
    std::string title; // HTML fragments
    std::string remark;
};

struct ExchangeConfig
{
    std::string key;
    std::uint64_t seed = 1;
    std::vector<AccountSeed> accounts; // opened when the database holds none
    std::string dbPath;                // empty: memory only
    Manifest manifest;
    std::string infoPageBase;          // "/api/stockinfo/<code>" names this followed by "<code>.html"
    std::vector<Announcement> announcements;
    std::function<std::int64_t()> clock; // Unix seconds; the wall clock when empty
    // The time-share's trading day opens (09:30) when the exchange starts instead of at
    // the local clock's 09:30, so a demonstration at any hour sees it fill minute by minute.
    bool sessionClock = false;
    // Accounts answer only the client addresses that logged in to them, for this long.
    std::int64_t loginWindow = 24 * 3600; // seconds
    bool openAccounts = false;            // answers every address, logged in or not
    int deliveryHorizonDays = 365;        // how far ahead a delivery may be dated
};

// The whole exchange behind the HTTP front: engine, market data, participants and
// storage under one lock. Replies are UTF-8 JSON text; the front converts to the wire.
class Exchange final
{
public:
    static std::unique_ptr<Exchange> Create(ExchangeConfig config, std::string& error);
    ~Exchange();
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    // A signed POST to the trading port from the client at `address`; an unknown path
    // gives an empty text.
    std::string trade(std::string_view path, std::string_view body, const std::string& address);
    // A GET of the market port; an unknown path gives an empty text.
    std::string market(std::string_view path);
    std::string manifest() const;
    std::string infoPage(int item) const;

    // Participants: `steps` actions now, or a thread doing `pace` actions a second. Either
    // way the back office settles the withdrawals and deliveries that are due.
    void simulate(int steps);
    void startPace(double pace);
    void stopPace();

    // Empty when the books balance (see Engine::audit), plus cash and quantity totals.
    std::string audit();
    Cents totalCash();

    // Runs `f` on the engine under the lock (tests and benchmarks).
    void inspect(const std::function<void(const Engine&, const MarketData&)>& f);

private:
    explicit Exchange(ExchangeConfig config);
    std::int64_t now() const;
    Json::Value handle(const client::EndpointInfo& info, const std::map<std::string, std::string>& params,
                       const std::string& address);
    bool commit();
    void settle(std::int64_t now);

    Json::Value login(const std::map<std::string, std::string>& p, const std::string& address);
    Json::Value order(const Account& account, const std::map<std::string, std::string>& p, Side side);
    Json::Value repeal(const Account& account, const std::map<std::string, std::string>& p);
    Json::Value holdings(const Account& account);
    Json::Value ordersToday(const Account& account);
    Json::Value tradesBetween(const Account& account, std::int64_t from, std::int64_t to);
    Json::Value delivery(const Account& account, const std::map<std::string, std::string>& p);
    Json::Value deliveryHistory(const Account& account);
    Json::Value withdraw(const Account& account, const std::map<std::string, std::string>& p);
    Json::Value cashHistory(const Account& account, const std::map<std::string, std::string>& p);
    Json::Value updateInfo(const Account& account, const std::map<std::string, std::string>& p);
    Json::Value updatePassword(const Account& account, const std::map<std::string, std::string>& p);
    Json::Value guide(const std::map<std::string, std::string>& p);
    Json::Value overview();

    ExchangeConfig m_config;
    mutable std::mutex m_mutex;
    Engine m_engine;
    std::unique_ptr<MarketData> m_market;
    Simulator m_sim;
    std::unique_ptr<Storage> m_storage;
    Logins m_logins;

    std::thread m_paceThread;
    std::mutex m_paceMutex;
    std::condition_variable m_paceCv;
    bool m_paceStop = false;
};

// Compact UTF-8 JSON text as the exchange writes it.
std::string WriteJson(const Json::Value& value);
Json::Value Envelope(bool success, const std::string& msg, Json::Value infor = Json::Value());

} // namespace exchange
