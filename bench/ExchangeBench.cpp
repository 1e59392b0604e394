// Exchange benchmarks: orders matched by the engine alone, and signed requests answered
// over loopback through the real client transport. Bounded by Google Benchmark's timing.
#include <atomic>
#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "Engine.h"
#include "Exchange.h"
#include "HttpFront.h"
#include "client/ApiSign.h"
#include "session/Config.h"
#include "client/Endpoints.h"
#include "client/Transport.h"

namespace {

constexpr int kItem = 9160001;

// Each iteration rests a sell and crosses it with a buy: two orders, one trade.
void BM_EngineMatch(benchmark::State& state)
{
    exchange::Engine engine;
    for (const char* id : {"buyer", "seller"}) {
        exchange::Account a;
        a.id = id;
        engine.addAccount(a);
        engine.deposit(id, 1'000'000'000'000LL, 0, true);
    }
    engine.grant("seller", kItem, 1'000'000'000LL, 3000);
    // A deep book on both sides, so matching walks real levels.
    for (int i = 0; i < 200; ++i) {
        engine.place("seller", kItem, exchange::Side::Sell, 4000 + i, 10, 0, 1, 100000);
        engine.place("buyer", kItem, exchange::Side::Buy, 2000 - i, 10, 0, 1, 100000);
    }
    std::int64_t t = 0;
    for (auto _ : state) {
        const exchange::Cents price = 3000 + (t % 50);
        engine.place("seller", kItem, exchange::Side::Sell, price, 5, ++t, 1, 100000);
        auto r = engine.place("buyer", kItem, exchange::Side::Buy, price, 5, t, 1, 100000);
        benchmark::DoNotOptimize(r);
        if (engine.trades().size() > 2'000'000)
            state.SkipWithError("tape too long");
        engine.takeChanges();
    }
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["orders/s"] = benchmark::Counter(static_cast<double>(state.iterations() * 2), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EngineMatch);

std::string BenchAddress(int salt)
{
    // A loopback address of this process's own, clear of a running exchange.
    const unsigned pid = static_cast<unsigned>(::getpid());
    return "127." + std::to_string(201 + salt) + "." + std::to_string((pid / 254) % 255) + "." +
           std::to_string(1 + pid % 254);
}

struct Served
{
    std::string address;
    std::unique_ptr<exchange::Exchange> ex;
    exchange::Faults faults;
    std::unique_ptr<exchange::HttpFront> front;
    explicit Served(const std::string& db) : address(BenchAddress(db.empty() ? 0 : 1))
    {
        exchange::ExchangeConfig config;
        config.key = client::defaults::kSignKey;
        config.accounts = exchange::DemoAccounts();
        config.dbPath = db;
        std::string error;
        ex = exchange::Exchange::Create(config, error);
        front = std::make_unique<exchange::HttpFront>(*ex, faults);
        if (!front->start({address}, "", 0, error)) {
            ex.reset();
            return;
        }
        // The accounts answer this process once it has logged in to them, as a terminal does.
        for (const exchange::AccountSeed& a : exchange::DemoAccounts()) {
            const client::SignedRequest req = client::buildSignedRequest(
                client::Endpoint::Login, {{"passwd", client::hashPassword(a.password)}, {"username", a.id}},
                client::defaults::kSignKey, client::CurrentTimestamp());
            std::string reply;
            client::HttpPostFormNoLock("http://" + address + ":8055" + std::string(client::endpointInfo(client::Endpoint::Login).path),
                                       req.body, reply);
        }
    }
};

Served& Server(bool durable = false)
{
    static Served memory("");
    if (!durable)
        return memory;
    static const std::string db = "/tmp/velmora-exchange-bench-" + std::to_string(::getpid()) + ".db";
    static Served onDisk(db);
    return onDisk;
}

// One signed query, one fresh connection, as the terminal sends it.
void RunSigned(benchmark::State& state, client::Endpoint endpoint, std::vector<client::Param> params,
               bool durable = false)
{
    Served& s = Server(durable);
    if (!s.ex) {
        state.SkipWithError("cannot listen");
        return;
    }
    const std::string url = "http://" + s.address + ":8055" + std::string(client::endpointInfo(endpoint).path);
    long failures = 0;
    for (auto _ : state) {
        const client::SignedRequest req =
            client::buildSignedRequest(endpoint, params, client::defaults::kSignKey, client::CurrentTimestamp());
        std::string reply;
        client::HttpPostFormNoLock(url, req.body, reply);
        if (reply.find("\"success\":\"true\"") == std::string::npos)
            ++failures;
    }
    state.counters["requests/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["failures"] = static_cast<double>(failures);
}

void BM_SignedUsableCash(benchmark::State& state)
{
    RunSigned(state, client::Endpoint::AccountApply, {{"id", "100001"}});
}
BENCHMARK(BM_SignedUsableCash)->UseRealTime()->Threads(1)->Threads(2);

void BM_SignedOverview(benchmark::State& state)
{
    RunSigned(state, client::Endpoint::UpToTheMinute, {{"id", "100001"}});
}
BENCHMARK(BM_SignedOverview)->UseRealTime()->Threads(1)->Threads(2);

void BM_SignedBuyOrder(benchmark::State& state)
{
    // Resting well below the market: each request is a new order committed to the book.
    RunSigned(state, client::Endpoint::Buy,
              {{"buy_amount", "1"}, {"buy_price", "33.00"}, {"id", "100002"}, {"item_id", "9160001"}});
}
BENCHMARK(BM_SignedBuyOrder)->UseRealTime()->Threads(1);

void BM_SignedBuyOrderWithDatabase(benchmark::State& state)
{
    // The same with --db: every answer waits for its commit.
    RunSigned(state, client::Endpoint::Buy,
              {{"buy_amount", "1"}, {"buy_price", "33.00"}, {"id", "100002"}, {"item_id", "9160001"}}, true);
}
BENCHMARK(BM_SignedBuyOrderWithDatabase)->UseRealTime()->Threads(1);

void BM_SignedTradesToday(benchmark::State& state)
{
    RunSigned(state, client::Endpoint::TradeToday, {{"id", "100001"}});
}
BENCHMARK(BM_SignedTradesToday)->UseRealTime()->Threads(1)->Threads(2);

// The answer time of one trades request while `terminals` logged-in terminals each poll their
// trades every 3 s (the fill notices), all on fresh connections as the terminal makes them.
void BM_TradesTodayUnderPollingTerminals(benchmark::State& state)
{
    Served& s = Server();
    if (!s.ex) {
        state.SkipWithError("cannot listen");
        return;
    }
    const double terminals = static_cast<double>(state.range(0));
    const std::string url = "http://" + s.address + ":8055" + std::string(client::endpointInfo(client::Endpoint::TradeToday).path);
    const auto poll = [&url](const std::string& id) {
        const client::SignedRequest req = client::buildSignedRequest(client::Endpoint::TradeToday, {{"id", id}},
                                                                     client::defaults::kSignKey, client::CurrentTimestamp());
        std::string reply;
        client::HttpPostFormNoLock(url, req.body, reply);
        return reply.find("\"success\":\"true\"") != std::string::npos;
    };
    // A day's worth of trades to list: 100003 crosses the spread a few times.
    static const bool traded = [&s] {
        for (int i = 0; i < 20; ++i) {
            const client::SignedRequest req = client::buildSignedRequest(
                client::Endpoint::Buy, {{"buy_amount", "1"}, {"buy_price", "38.00"}, {"id", "100003"}, {"item_id", "9160001"}},
                client::defaults::kSignKey, client::CurrentTimestamp());
            std::string reply;
            client::HttpPostFormNoLock("http://" + s.address + ":8055" + std::string(client::endpointInfo(client::Endpoint::Buy).path),
                                       req.body, reply);
        }
        return true;
    }();
    (void)traded;

    constexpr int kLoaders = 4;
    const auto period = std::chrono::duration<double>(3.0 * kLoaders / terminals);
    std::atomic<bool> stop{false};
    std::atomic<long> sent{0};
    std::vector<std::thread> loaders;
    const auto start = std::chrono::steady_clock::now();
    for (int t = 0; terminals > 0 && t < kLoaders; ++t) {
        loaders.emplace_back([&, t] {
            auto next = std::chrono::steady_clock::now() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(period * t / kLoaders);
            while (!stop) {
                std::this_thread::sleep_until(next);
                next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
                poll(t % 2 ? "100001" : "100003");
                ++sent;
            }
        });
    }
    long failures = 0;
    for (auto _ : state) {
        if (!poll("100003"))
            ++failures;
    }
    stop = true;
    for (std::thread& t : loaders)
        t.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["offered/s"] = terminals / 3.0;
    state.counters["polled/s"] = static_cast<double>(sent) / seconds;
    state.counters["failures"] = static_cast<double>(failures);
}
BENCHMARK(BM_TradesTodayUnderPollingTerminals)->Arg(0)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(5.0);

} // namespace
BENCHMARK_MAIN();
