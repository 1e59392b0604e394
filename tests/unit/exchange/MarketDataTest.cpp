#include <chrono>
#include <ctime>
#include <memory>
#include <thread>

#include <gtest/gtest.h>
#include <json/json.h>

#include "Catalogue.h"
#include "Exchange.h"
#include "MarketData.h"
#include "client/ApiReply.h"

using namespace exchange;

namespace {

std::int64_t TodayAt(int hour, int minute)
{
    return LocalMidnight(LocalDate(std::time(nullptr))) + hour * 3600 + minute * 60;
}

std::unique_ptr<Exchange> MakeExchange(std::uint64_t seed, std::int64_t at)
{
    ExchangeConfig config;
    config.key = "Vm8kQ3zT5rLx2NwP";
    config.seed = seed;
    config.accounts = DemoAccounts();
    config.clock = [at] { return at; };
    std::string error;
    auto ex = Exchange::Create(config, error);
    EXPECT_TRUE(ex) << error;
    return ex;
}

Json::Value Parse(const std::string& text)
{
    Json::Value v;
    EXPECT_TRUE(client::parseJson(text, v)) << text.substr(0, 200);
    return v;
}

TEST(Timeline, TradingMinutesMapOntoTheFixedAxisAndBreaksAreSqueezed)
{
    EXPECT_EQ(TimelineSlot(0), 0);
    EXPECT_EQ(TimelineSlot(9 * 60 + 30), 0);
    EXPECT_EQ(TimelineSlot(11 * 60 + 29), 119);
    EXPECT_EQ(TimelineSlot(11 * 60 + 30), 120);
    EXPECT_EQ(TimelineSlot(13 * 60 + 29), 149);
    EXPECT_EQ(TimelineSlot(13 * 60 + 30), 150);
    EXPECT_EQ(TimelineSlot(15 * 60), 240);
    EXPECT_EQ(TimelineSlot(19 * 60 + 29), 269);
    EXPECT_EQ(TimelineSlot(19 * 60 + 30), 270);
    EXPECT_EQ(TimelineSlot(20 * 60 + 59), 359);
    EXPECT_EQ(TimelineSlot(21 * 60), 360);
    EXPECT_EQ(TimelineSlot(23 * 60 + 59), 360);
    for (int m = 1; m < 24 * 60; ++m)
        EXPECT_LE(TimelineSlot(m - 1), TimelineSlot(m));
}

TEST(Candles, EveryPeriodHasHistoryOldestFirstAndConsistentPrices)
{
    const MarketData market(1, TodayAt(10, 0));
    std::size_t previous = 0;
    for (int period = 2; period <= 12; ++period) {
        const std::vector<Candle> series = market.candleSeries(kMainItem, period);
        ASSERT_FALSE(series.empty()) << period;
        for (std::size_t i = 0; i < series.size(); ++i) {
            const Candle& c = series[i];
            EXPECT_GE(c.high, std::max(c.open, c.close)) << period;
            EXPECT_LE(c.low, std::min(c.open, c.close)) << period;
            EXPECT_GT(c.low, 0);
            if (i > 0) {
                EXPECT_GT(c.time, series[i - 1].time) << period;
            }
        }
        if (period >= 10) {
            EXPECT_LT(series.size(), previous) << "coarser periods hold fewer candles";
        }
        previous = series.size();
    }
    EXPECT_EQ(market.candleSeries(kMainItem, 8).size(), 1000u);
    EXPECT_GE(market.candleSeries(kMainItem, 9).size(), 900u);
    EXPECT_GE(market.candleSeries(kMainItem, 10).size(), 200u);
    EXPECT_TRUE(market.candleSeries(kMainItem, 1).empty()); // no ticks yet today
    EXPECT_TRUE(market.candleSeries(kMainItem, 13).empty());
    // The daily history ends on the item's reference price, today's limits are ±10 % of it.
    const ItemDay& day = market.day(kMainItem);
    EXPECT_EQ(day.prevClose, FindItem(kMainItem)->referencePrice);
    EXPECT_EQ(day.limitUp(), day.opening * 110 / 100);
    EXPECT_EQ(day.limitDown(), (day.opening * 90 + 99) / 100);
}

TEST(Candles, SameSeedSameHistoryAndAnotherSeedAnother)
{
    const std::int64_t now = TodayAt(10, 0);
    const MarketData a(5, now), b(5, now), c(6, now);
    const auto sa = a.candleSeries(kMainItem, 8), sb = b.candleSeries(kMainItem, 8), sc = c.candleSeries(kMainItem, 8);
    ASSERT_EQ(sa.size(), sb.size());
    bool differs = false;
    for (std::size_t i = 0; i < sa.size(); ++i) {
        EXPECT_EQ(sa[i].close, sb[i].close);
        differs = differs || sa[i].close != sc[i].close;
    }
    EXPECT_TRUE(differs);
}

TEST(Candles, ANewDayOpensAtThePreviousCloseAndFilesYesterdaysCandle)
{
    const std::int64_t morning = TodayAt(10, 0);
    MarketData market(1, morning);
    const std::size_t days = market.candleSeries(kMainItem, 8).size();
    Trade t;
    t.item = kMainItem;
    t.time = morning + 60;
    t.price = 3702;
    t.qty = 40;
    market.record(t);
    t.time += 60;
    t.price = 3690;
    t.aggressor = Side::Sell;
    market.record(t);
    EXPECT_EQ(market.day(kMainItem).vol, 80);
    EXPECT_EQ(market.day(kMainItem).inVol, 40);
    EXPECT_EQ(market.candleSeries(kMainItem, 8).back().close, 3690);

    market.advance(morning + 86400 + 3600);
    const ItemDay& next = market.day(kMainItem);
    EXPECT_EQ(next.prevClose, 3690);
    EXPECT_EQ(next.opening, 3690);
    EXPECT_EQ(next.vol, 0);
    EXPECT_TRUE(next.ticks.empty());
    const std::vector<Candle> daily = market.candleSeries(kMainItem, 8);
    ASSERT_GE(daily.size(), 2u);
    EXPECT_EQ(daily[daily.size() - 2].close, 3690); // yesterday, filed
    EXPECT_EQ(daily[daily.size() - 2].vol, 80);
    EXPECT_EQ(daily.back().vol, 0); // today, not traded yet
    EXPECT_EQ(daily.size(), std::min<std::size_t>(days + 1, 1000));
    // An item that did not trade keeps its close.
    EXPECT_EQ(market.day(9160002).prevClose, FindItem(9160002)->referencePrice);
}

TEST(Market, SimulatedTradingKeepsTheQuoteConsistentAndTheBooksBalanced)
{
    auto ex = MakeExchange(3, TodayAt(10, 0));
    ASSERT_TRUE(ex);
    const Cents before = ex->totalCash();
    ex->simulate(600);
    EXPECT_EQ(ex->audit(), "");
    EXPECT_EQ(ex->totalCash(), before);

    const Json::Value quote = Parse(ex->market("/api/realtime/9160001"))["infor"][0];
    EXPECT_EQ(client::jsonText(quote, "stockName"), "Tolmere小酒窖");
    EXPECT_GT(quote["sellPrice1"].asDouble(), quote["buyPrice1"].asDouble());
    for (int i = 1; i < 5; ++i) {
        EXPECT_GT(quote["sellPrice" + std::to_string(i + 1)].asDouble(), quote["sellPrice" + std::to_string(i)].asDouble());
        EXPECT_LT(quote["buyPrice" + std::to_string(i + 1)].asDouble(), quote["buyPrice" + std::to_string(i)].asDouble());
        EXPECT_GT(quote["buyVol" + std::to_string(i)].asInt(), 0);
    }
    EXPECT_NEAR(quote["limitUp"].asDouble(), quote["opening"].asDouble() * 1.1, 0.011);
    EXPECT_NEAR(quote["limitDown"].asDouble(), quote["opening"].asDouble() * 0.9, 0.011);
    EXPECT_GE(quote["max"].asDouble(), quote["latest"].asDouble());
    EXPECT_LE(quote["min"].asDouble(), quote["latest"].asDouble());
    EXPECT_EQ(quote["vol"].asInt64(), quote["outVol"].asInt64() + quote["inVol"].asInt64());
    EXPECT_GT(quote["vol"].asInt64(), 0);

    // Volume by price, the ticks and the time-share series all add up to the day's volume.
    std::int64_t byPrice = 0, ticks = 0, minutes = 0;
    const Json::Value prices = Parse(ex->market("/api/pricedetail/9160001"))["infor"];
    for (const Json::Value& row : prices)
        byPrice += row["vol"].asInt64();
    const Json::Value all = Parse(ex->market("/api/dealdetail/9160001/0"))["infor"];
    for (const Json::Value& t : all)
        ticks += t["vol"].asInt64();
    const Json::Value timeline = Parse(ex->market("/api/timeline/9160001/1700000000"))["infor"];
    for (const Json::Value& m : timeline)
        minutes += m["vol"].asInt64();
    EXPECT_EQ(byPrice, quote["vol"].asInt64());
    EXPECT_EQ(ticks, byPrice);
    EXPECT_EQ(minutes, ticks);
    EXPECT_EQ(timeline.size(), 31u); // 09:30 to 10:00
    const Json::Value latest = Parse(ex->market("/api/dealdetail/9160001/20"))["infor"];
    ASSERT_EQ(latest.size(), 20u);
    // Both newest first: the tick list shows as many of the latest as fit.
    for (Json::ArrayIndex i = 0; i < latest.size(); ++i)
        EXPECT_EQ(latest[i], all[i]) << i;
    for (Json::ArrayIndex i = 1; i < all.size(); ++i)
        EXPECT_GE(all[i - 1]["time"].asInt64(), all[i]["time"].asInt64()) << i;
    EXPECT_FALSE(Parse(ex->market("/api/histogram/9160001/1"))["infor"].empty());
}

TEST(Market, ThePaceThreadTradesUntilStoppedAndLeavesTheBooksBalanced)
{
    auto ex = MakeExchange(4, TodayAt(10, 0));
    auto traded = [&] {
        std::size_t n = 0;
        ex->inspect([&](const Engine& engine, const MarketData&) { n = engine.trades().size(); });
        return n;
    };
    ex->startPace(500);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (traded() < 20 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ex->stopPace();
    EXPECT_GE(traded(), 20u);
    const std::size_t after = traded();
    ex->stopPace(); // a second stop is harmless
    EXPECT_EQ(traded(), after);
    EXPECT_EQ(ex->audit(), "");
}

TEST(Market, AnUnusableDatabaseIsReportedNotFatal)
{
    ExchangeConfig config;
    config.dbPath = "/nonexistent-folder/velmora/exchange.db";
    std::string error;
    EXPECT_FALSE(Exchange::Create(config, error));
    EXPECT_NE(error, "");
}

TEST(Market, SameSeedSameMarket)
{
    auto a = MakeExchange(11, TodayAt(14, 0));
    auto b = MakeExchange(11, TodayAt(14, 0));
    a->simulate(300);
    b->simulate(300);
    EXPECT_EQ(a->market("/api/realtime/9160001"), b->market("/api/realtime/9160001"));
    EXPECT_EQ(a->market("/api/dealdetail/9160001/0"), b->market("/api/dealdetail/9160001/0"));
}

TEST(Market, PaceZeroStillQuotesFiveLevelsEachSide)
{
    auto ex = MakeExchange(1, TodayAt(10, 0));
    const Json::Value quote = Parse(ex->market("/api/realtime/9160001"))["infor"][0];
    EXPECT_GT(quote["sellPrice5"].asDouble(), 0);
    EXPECT_GT(quote["buyPrice5"].asDouble(), 0);
    EXPECT_EQ(quote["vol"].asInt(), 0);
}

TEST(Market, OverviewRowsFillEveryKeyTheColumnsUse)
{
    auto ex = MakeExchange(2, TodayAt(10, 0));
    ex->simulate(200);
    std::string error;
    const Json::Value rows = Parse(ex->trade("/api/v1/stock/up-to-the-minute", "", "127.0.0.1")); // unsigned: refused
    EXPECT_EQ(client::jsonText(rows, "success"), "false");
    ex->inspect([](const Engine& engine, const MarketData& market) {
        std::size_t n = 0;
        for (const ItemInfo& item : Catalogue()) {
            const Json::Value row = market.overviewRow(item.code, engine, static_cast<int>(++n));
            for (int k = 1; k <= 26; ++k)
                EXPECT_TRUE(row.isMember("main_" + std::to_string(k))) << k;
            for (int k = 1; k <= 23; ++k)
                EXPECT_TRUE(row.isMember("extend_" + std::to_string(k))) << k;
            for (int k = 1; k <= 3; ++k)
                EXPECT_TRUE(row.isMember("futures_" + std::to_string(k))) << k;
            EXPECT_EQ(row["main_3"].asInt(), item.code);
            EXPECT_GT(row["extend_1"].asDouble(), row["extend_11"].asDouble()); // best sell above best buy
            EXPECT_EQ(row["main_15"], row["extend_1"]);
            EXPECT_EQ(row["main_14"], row["extend_11"]);
        }
        EXPECT_GE(n, 13u);
    });
}

} // namespace

TEST(Market, ASessionClockOpensTheTimeShareWhenTheServiceStarts)
{
    // Long before the local 09:30: by the local clock the day has not opened yet.
    auto clock = std::make_shared<std::int64_t>(TodayAt(3, 0));
    ExchangeConfig config;
    config.key = "Vm8kQ3zT5rLx2NwP";
    config.seed = 5;
    config.accounts = DemoAccounts();
    config.clock = [clock] { return *clock; };
    config.sessionClock = true;
    std::string error;
    auto ex = Exchange::Create(config, error);
    ASSERT_TRUE(ex) << error;
    ex->simulate(300);
    *clock += 5 * 60;
    ex->simulate(300);

    const Json::Value timeline = Parse(ex->market("/api/timeline/9160001/1700000000"))["infor"];
    ASSERT_EQ(timeline.size(), 6u); // the session's first five minutes and the current one
    std::int64_t minutes = 0;
    for (const Json::Value& m : timeline)
        minutes += m["vol"].asInt64();
    std::int64_t ticks = 0;
    const Json::Value all = Parse(ex->market("/api/dealdetail/9160001/0"))["infor"];
    for (const Json::Value& t : all)
        ticks += t["vol"].asInt64();
    EXPECT_GT(timeline[0]["vol"].asInt64() + timeline[5]["vol"].asInt64(), 0);
    EXPECT_EQ(minutes, ticks); // every tick lands in a slot of the session

    // Without it the same hour shows only the slot before the opening.
    auto plain = MakeExchange(5, TodayAt(3, 0));
    plain->simulate(300);
    EXPECT_EQ(Parse(plain->market("/api/timeline/9160001/1700000000"))["infor"].size(), 1u);
}
