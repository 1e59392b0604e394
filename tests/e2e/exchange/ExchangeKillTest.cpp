// No lost orders: velmora-exchange with --db is killed (SIGKILL) at random moments while a
// client places orders as fast as it can. After each restart every order that was answered
// as accepted is there, nothing answered as refused is, and the books balance.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "client/ApiReply.h"
#include "client/ApiSign.h"
#include "client/Config.h"
#include "client/Endpoints.h"
#include "client/ServerLine.h"
#include "client/Transport.h"
#include "support/LoopbackServer.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr int kKills = 24;
constexpr const char* kAccount = "900001";

class ExchangeProcess final
{
public:
    ExchangeProcess(const std::string& address, const std::string& db, const std::string& accounts)
    {
        const std::string update = address + ":8091";
        std::vector<std::string> args = {EXCHANGE_BINARY, "--listen", address, "--update-listen", update,
                                         "--db", db, "--accounts", accounts, "--pace", "0"};
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ExchangeProcess() { kill(); }
    ExchangeProcess(const ExchangeProcess&) = delete;
    ExchangeProcess& operator=(const ExchangeProcess&) = delete;

    bool running() const { return m_pid > 0; }
    void kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
};

struct Sent
{
    enum class Answer { Accepted, Refused, Unknown };
    Answer answer = Answer::Unknown;
    long long orderId = 0;
    bool buy = true;
    std::string price;
};

class ExchangeKill : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-kill-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        std::ofstream(m_dir + "/accounts.json")
            << R"([{"id":")" << kAccount << R"(","password":"kill","cash":1000000000,)"
            << R"("positions":[{"stock_id":9160001,"amount":10000000,"costprice":35}]}])";
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    std::string url(const std::string& path, int port) const
    {
        return "http://" + m_address + ":" + std::to_string(port) + path;
    }

    client::ApiReply post(client::Endpoint e, std::vector<client::Param> params, bool& answered) const
    {
        const client::SignedRequest r =
            client::BuildSignedRequest(e, std::move(params), client::defaults::kSignKey, client::CurrentTimestamp());
        std::string reply;
        client::HttpPostFormNoLock(url(std::string(client::Info(e).path), client::kTradePort), r.body, reply);
        answered = !reply.empty();
        return client::ApiReply::FromWire(reply);
    }

    std::string get(const std::string& path) const
    {
        std::string reply;
        client::HttpGetUrlNoLock(url(path, client::kMarketPort), reply);
        return reply;
    }

    bool waitUntilServing() const
    {
        for (int i = 0; i < 200; ++i) {
            if (!get("/api/realtime/9160001").empty())
                return true;
            std::this_thread::sleep_for(25ms);
        }
        return false;
    }

    std::string m_address = testsupport::UniqueLoopbackAddress(23);
    std::string m_dir;
};

} // namespace

TEST_F(ExchangeKill, EveryAcceptedOrderSurvivesSigkillAndNothingRefusedAppears)
{
    const std::string db = m_dir + "/exchange.db";
    const std::string accounts = m_dir + "/accounts.json";
    std::mt19937 random(20261208);

    // The day's limits, so that most orders are valid and some are refused for their price.
    double limitUp = 0;
    double limitDown = 0;
    {
        ExchangeProcess first(m_address, db, accounts);
        ASSERT_TRUE(first.running());
        ASSERT_TRUE(waitUntilServing());
        const client::ApiReply quote = client::ApiReply::FromWire(get("/api/realtime/9160001"));
        limitUp = client::JsonReal(quote.infor[0], "limitUp");
        limitDown = client::JsonReal(quote.infor[0], "limitDown");
        ASSERT_GT(limitUp, limitDown);
    }

    // Each order has an amount of its own: the amount names it in the lists afterwards.
    std::map<long long, Sent> sent;
    long long nextAmount = 1;
    int kills = 0;
    int unanswered = 0;
    while (kills < kKills) {
        ExchangeProcess exchange(m_address, db, accounts);
        ASSERT_TRUE(exchange.running());
        ASSERT_TRUE(waitUntilServing()) << "no service after restart " << kills;

        std::atomic<bool> stop{false};
        std::thread client([&] {
            std::uniform_int_distribution<int> fen(int(limitDown * 100) + 1, int(limitUp * 100) - 1);
            while (!stop.load()) {
                const long long amount = nextAmount++;
                Sent s;
                s.buy = amount % 2 == 0;
                const bool refusedForPrice = amount % 7 == 0;
                const int cents = refusedForPrice ? int(limitUp * 100) + 500 : fen(random);
                char price[32];
                std::snprintf(price, sizeof price, "%d.%02d", cents / 100, cents % 100);
                s.price = price;
                bool answered = false;
                const client::ApiReply r =
                    s.buy ? post(client::Endpoint::Buy,
                                 {{"id", kAccount}, {"item_id", "9160001"}, {"buy_price", price},
                                  {"buy_amount", std::to_string(amount)}},
                                 answered)
                          : post(client::Endpoint::Sell,
                                 {{"id", kAccount}, {"item_id", "9160001"}, {"sell_price", price},
                                  {"sell_amount", std::to_string(amount)}},
                                 answered);
                if (r.parsed && r.success) {
                    s.answer = Sent::Answer::Accepted;
                    s.orderId = client::JsonInt64(r.infor, "id");
                } else if (r.parsed) {
                    s.answer = Sent::Answer::Refused;
                }
                sent[amount] = s;
                if (!r.parsed) {
                    ++unanswered; // the service is gone: this order was in flight when it died
                    break;
                }
            }
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(30, 600)(random)));
        exchange.kill();
        ++kills;
        stop.store(true);
        client.join();
    }

    ExchangeProcess last(m_address, db, accounts);
    ASSERT_TRUE(waitUntilServing());
    EXPECT_EQ(get("/__control/audit"), "ok\n");
    bool answered = false;
    const client::ApiReply today = post(client::Endpoint::OrderToday, {{"id", kAccount}}, answered);
    ASSERT_TRUE(today.success);

    std::set<long long> listed;
    for (const Json::Value& o : today.infor) {
        const long long amount = client::JsonInt64(o, "commission_amount");
        listed.insert(amount);
        const auto it = sent.find(amount);
        ASSERT_NE(it, sent.end()) << "an order nobody sent: amount " << amount;
        EXPECT_NE(it->second.answer, Sent::Answer::Refused) << "refused order " << amount << " is in the book";
        if (it->second.answer == Sent::Answer::Accepted) {
            EXPECT_EQ(client::JsonInt64(o, "id"), it->second.orderId) << amount;
        }
    }
    int accepted = 0;
    int refused = 0;
    for (const auto& [amount, s] : sent) {
        if (s.answer == Sent::Answer::Accepted) {
            ++accepted;
            EXPECT_TRUE(listed.count(amount)) << "accepted order " << s.orderId << " (amount " << amount << ") lost";
        }
        refused += s.answer == Sent::Answer::Refused;
    }
    std::printf("%d kills: %zu orders sent, %d accepted, %d refused, %d in flight at the kill, %zu listed\n",
                kills, sent.size(), accepted, refused, unanswered, listed.size());
    EXPECT_GE(kills, 20);
    EXPECT_GT(accepted, 20 * kKills / 2);
    EXPECT_GT(refused, 0);
}
