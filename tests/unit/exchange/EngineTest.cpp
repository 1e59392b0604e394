#include <random>

#include <gtest/gtest.h>

#include "Engine.h"

using namespace exchange;

namespace {

constexpr int kItem = 9160001;
constexpr Cents kLow = 1;
constexpr Cents kHigh = 1'000'000;

// Two traders with cash and holdings, and the fee pool, so totals can be checked.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* id : {"a", "b", "c"}) {
            Account acc;
            acc.id = id;
            engine.addAccount(acc);
            engine.deposit(id, 1'000'000'00, 0, true);
            engine.grant(id, kItem, 1000, 3000);
        }
        paidIn = 3 * 1'000'000'00;
    }

    PlaceResult Place(const std::string& who, Side side, Cents price, std::int64_t qty)
    {
        return engine.place(who, kItem, side, price, qty, ++clock, kLow, kHigh);
    }

    Cents Usable(const std::string& who) { return engine.account(who)->cash - engine.account(who)->frozen; }

    void ExpectBalanced()
    {
        EXPECT_EQ(engine.audit(), "");
        Cents held = engine.feePool();
        for (const auto& [id, acc] : engine.accounts())
            held += acc.cash;
        EXPECT_EQ(held, paidIn);
        EXPECT_EQ(engine.totalHeld(kItem) + engine.delivered(kItem), 3000);
    }

    Engine engine;
    Cents paidIn = 0;
    std::int64_t clock = 100;
};

TEST_F(EngineTest, RestingBuyFreezesPriceTimesQuantityPlusFeeAndCancelReleasesIt)
{
    const PlaceResult r = Place("a", Side::Buy, 3650, 100); // 365.00 yuan + 1.09 fee
    ASSERT_EQ(r.refusal, Refusal::None);
    EXPECT_TRUE(r.trades.empty());
    EXPECT_EQ(engine.account("a")->frozen, 365000 + 1095);
    EXPECT_EQ(engine.cancel("a", r.orderId), Refusal::None);
    EXPECT_EQ(engine.account("a")->frozen, 0);
    EXPECT_EQ(engine.cancel("a", r.orderId), Refusal::NotOpen);
    ExpectBalanced();
}

TEST_F(EngineTest, SellFreezesQuantityAndRefusesMoreThanUsable)
{
    const PlaceResult r = Place("a", Side::Sell, 3700, 600);
    ASSERT_EQ(r.refusal, Refusal::None);
    EXPECT_EQ(engine.position("a", kItem)->frozen, 600);
    EXPECT_EQ(Place("a", Side::Sell, 3700, 401).refusal, Refusal::InsufficientHolding);
    EXPECT_EQ(Place("a", Side::Sell, 3700, 400).refusal, Refusal::None);
    ExpectBalanced();
}

TEST_F(EngineTest, MatchesAtTheRestingPriceInPriceThenTimePriority)
{
    const auto first = Place("a", Side::Sell, 3010, 10);
    const auto second = Place("b", Side::Sell, 3010, 10);
    const auto better = Place("c", Side::Sell, 3005, 10);
    const PlaceResult buy = Place("c", Side::Buy, 3020, 25);
    ASSERT_EQ(buy.trades.size(), 3u);
    EXPECT_EQ(buy.trades[0].sellOrder, better.orderId);
    EXPECT_EQ(buy.trades[0].price, 3005);
    EXPECT_EQ(buy.trades[1].sellOrder, first.orderId);
    EXPECT_EQ(buy.trades[1].price, 3010);
    EXPECT_EQ(buy.trades[2].sellOrder, second.orderId);
    EXPECT_EQ(buy.trades[2].qty, 5);
    EXPECT_EQ(engine.order(second.orderId)->remain, 5);
    EXPECT_EQ(engine.order(buy.orderId)->remain, 0);
    EXPECT_LT(buy.trades[0].tradeNo, buy.trades[1].tradeNo);
    // Bought below its limit: nothing stays frozen for the filled order.
    EXPECT_EQ(engine.account("c")->frozen, 0);
    ExpectBalanced();
}

TEST_F(EngineTest, PartialFillKeepsTheRestInTheBookWithItsReservation)
{
    Place("a", Side::Sell, 3000, 30);
    const PlaceResult buy = Place("b", Side::Buy, 3100, 100);
    ASSERT_EQ(buy.trades.size(), 1u);
    const Order* o = engine.order(buy.orderId);
    EXPECT_EQ(o->remain, 70);
    EXPECT_EQ(engine.account("b")->frozen, 3100 * 70 + Fee(3100 * 70));
    const std::vector<Level> bids = engine.bids(kItem, 5);
    ASSERT_EQ(bids.size(), 1u);
    EXPECT_EQ(bids[0].price, 3100);
    EXPECT_EQ(bids[0].qty, 70);
    EXPECT_TRUE(engine.asks(kItem, 5).empty());
    ExpectBalanced();
}

TEST_F(EngineTest, TradeMovesCashHoldingsAndChargesBothSidesTheFee)
{
    const Cents aBefore = engine.account("a")->cash;
    const Cents bBefore = engine.account("b")->cash;
    Place("a", Side::Sell, 3333, 7);
    const PlaceResult buy = Place("b", Side::Buy, 3333, 7);
    ASSERT_EQ(buy.trades.size(), 1u);
    const Trade& t = buy.trades[0];
    EXPECT_EQ(t.buyerFee, Fee(3333 * 7));
    EXPECT_EQ(t.sellerFee, Fee(3333 * 7));
    EXPECT_EQ(engine.account("a")->cash, aBefore + 3333 * 7 - t.sellerFee);
    EXPECT_EQ(engine.account("b")->cash, bBefore - 3333 * 7 - t.buyerFee);
    EXPECT_EQ(engine.position("a", kItem)->total, 993);
    EXPECT_EQ(engine.position("b", kItem)->total, 1007);
    EXPECT_EQ(engine.feePool(), t.buyerFee + t.sellerFee);
    // Cost price: the old holding at 30.00 plus what the fill cost, fee included.
    EXPECT_EQ(engine.position("b", kItem)->costTotal, 3000 * 1000 + 3333 * 7 + t.buyerFee);
    ExpectBalanced();
}

TEST_F(EngineTest, RefusesWhatCannotBePaidOrPriced)
{
    EXPECT_EQ(Place("a", Side::Buy, 100000, 1'000'000).refusal, Refusal::InsufficientCash);
    EXPECT_EQ(Place("a", Side::Buy, 0, 1).refusal, Refusal::BadPrice);
    EXPECT_EQ(Place("a", Side::Buy, 100, 0).refusal, Refusal::BadQuantity);
    EXPECT_EQ(Place("a", Side::Buy, 100, -5).refusal, Refusal::BadQuantity);
    EXPECT_EQ(engine.place("a", kItem, Side::Buy, 5000, 1, 0, 1000, 4000).refusal, Refusal::OutsideLimits);
    EXPECT_EQ(Place("nobody", Side::Buy, 100, 1).refusal, Refusal::UnknownAccount);
    EXPECT_EQ(engine.cancel("a", 999), Refusal::UnknownOrder);
    const PlaceResult r = Place("a", Side::Buy, 100, 1);
    EXPECT_EQ(engine.cancel("b", r.orderId), Refusal::NotOwner);
    // Exactly all usable cash can be committed, one fen more cannot.
    const Cents usable = Usable("c");
    const std::int64_t qty = usable / (10000 + Fee(10000));
    EXPECT_EQ(Place("c", Side::Buy, 10000, qty).refusal, Refusal::None);
    EXPECT_LT(Usable("c"), 10000 + Fee(10000) + 1);
    ExpectBalanced();
}

TEST_F(EngineTest, DeliveryAndWithdrawalFreezeThenSettle)
{
    Delivery d;
    d.account = "a";
    d.item = kItem;
    d.amount = 40;
    std::int64_t id = 0;
    ASSERT_EQ(engine.applyDelivery(d, id), Refusal::None);
    EXPECT_EQ(engine.position("a", kItem)->frozen, 40);
    d.amount = 980;
    std::int64_t other = 0;
    EXPECT_EQ(engine.applyDelivery(d, other), Refusal::InsufficientHolding);
    engine.completeDelivery(id);
    EXPECT_EQ(engine.position("a", kItem)->total, 960);
    EXPECT_EQ(engine.position("a", kItem)->frozen, 0);
    EXPECT_EQ(engine.delivered(kItem), 40);

    std::int64_t w = 0;
    ASSERT_EQ(engine.applyWithdrawal("b", 1500'00, 50, w), Refusal::None);
    EXPECT_EQ(Usable("b"), 1'000'000'00 - 1500'00);
    EXPECT_EQ(engine.applyWithdrawal("b", 1'000'000'00, 50, w), Refusal::InsufficientCash);
    engine.completeWithdrawal(1'000'000); // unknown: ignored
    for (const auto& [mid, m] : engine.cashMovements()) {
        if (m.direction == 1)
            engine.completeWithdrawal(mid);
    }
    paidIn -= 1500'00;
    EXPECT_EQ(engine.account("b")->cash, 1'000'000'00 - 1500'00);
    ExpectBalanced();
}

// Random traffic from three traders must never create or lose cash or goods.
TEST_F(EngineTest, RandomTrafficKeepsEveryInvariant)
{
    std::mt19937 rng(7);
    std::vector<std::int64_t> orders;
    const char* who[] = {"a", "b", "c"};
    for (int i = 0; i < 4000; ++i) {
        const std::string acc = who[rng() % 3];
        if (rng() % 4 == 0 && !orders.empty()) {
            engine.cancel(acc, orders[rng() % orders.size()]);
            continue;
        }
        const Side side = rng() % 2 ? Side::Buy : Side::Sell;
        const PlaceResult r = Place(acc, side, 2900 + static_cast<Cents>(rng() % 200), 1 + rng() % 80);
        if (r.orderId)
            orders.push_back(r.orderId);
        if (i % 500 == 0) {
            ASSERT_EQ(engine.audit(), "") << "after " << i;
        }
    }
    EXPECT_GT(engine.trades().size(), 100u);
    ExpectBalanced();
    const std::vector<Level> bids = engine.bids(kItem, 1);
    const std::vector<Level> asks = engine.asks(kItem, 1);
    if (!bids.empty() && !asks.empty()) {
        EXPECT_LT(bids[0].price, asks[0].price);
    }
}

// Traffic of every kind of change: orders that rest, fill and part-fill, cancellations,
// deliveries and withdrawals applied and settled, new accounts with cash and holdings.
void Traffic(Engine& engine, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::string> who = {"a", "b", "c"};
    for (int i = 0; i < 400; ++i) {
        const std::string acc = who[rng() % who.size()];
        std::int64_t id = 0;
        switch (rng() % 8) {
        case 0: engine.cancel(acc, 1 + rng() % engine.counters().nextOrder); break;
        case 1: {
            Delivery d;
            d.account = acc;
            d.item = kItem;
            d.amount = 20;
            engine.applyDelivery(d, id);
            break;
        }
        case 2: engine.applyWithdrawal(acc, 100 + rng() % 1000, i, id); break;
        case 3:
            engine.completeDelivery(1 + rng() % engine.counters().nextDelivery);
            engine.completeWithdrawal(1 + rng() % engine.counters().nextCash);
            break;
        case 4:
            if (rng() % 8 == 0) {
                Account fresh;
                fresh.id = "n" + std::to_string(seed) + "-" + std::to_string(i);
                engine.addAccount(fresh);
                engine.deposit(fresh.id, 1'000'00, i, true);
                engine.grant(fresh.id, kItem, 40, 3000);
                who.push_back(fresh.id);
            }
            break;
        default:
            engine.place(acc, kItem, rng() % 2 ? Side::Buy : Side::Sell, 2900 + static_cast<Cents>(rng() % 200),
                         1 + rng() % 80, 1000 + i, kLow, kHigh);
        }
    }
}

void ExpectSameState(const Engine& a, const Engine& b)
{
    EXPECT_TRUE(a.accounts() == b.accounts());
    EXPECT_TRUE(a.trades() == b.trades());
    EXPECT_TRUE(a.deliveries() == b.deliveries());
    EXPECT_TRUE(a.cashMovements() == b.cashMovements());
    EXPECT_TRUE(a.counters() == b.counters());
    EXPECT_EQ(a.delivered(kItem), b.delivered(kItem));
    EXPECT_TRUE(a.bids(kItem, 1000) == b.bids(kItem, 1000));
    EXPECT_TRUE(a.asks(kItem, 1000) == b.asks(kItem, 1000));
    for (const auto& [id, account] : a.accounts()) {
        const Position* pa = a.position(id, kItem);
        const Position* pb = b.position(id, kItem);
        ASSERT_EQ(pa == nullptr, pb == nullptr) << id;
        if (pa) {
            EXPECT_TRUE(*pa == *pb) << id;
        }
        std::vector<Order> oa, ob;
        for (const Order* o : a.ordersOf(id))
            oa.push_back(*o);
        for (const Order* o : b.ordersOf(id))
            ob.push_back(*o);
        EXPECT_TRUE(oa == ob) << id;
        EXPECT_EQ(a.tradesOf(id), b.tradesOf(id)) << id;
    }
}

// A change that could not be saved is undone whole: afterwards the engine goes on exactly
// as one that never saw it, down to the ids it hands out and the queue at each price.
TEST_F(EngineTest, RollbackLeavesNoTraceOfWhatItUndoes)
{
    Traffic(engine, 1);
    engine.takeChanges();
    const Engine untouched = engine;
    for (std::uint32_t seed : {2u, 3u, 4u}) {
        Traffic(engine, seed);
        ASSERT_FALSE(engine.changes().empty());
        engine.rollback();
        EXPECT_TRUE(engine.changes().empty());
        ExpectSameState(engine, untouched);
    }
    Engine twin = untouched;
    Traffic(engine, 5);
    Traffic(twin, 5);
    ExpectSameState(engine, twin);
    EXPECT_GT(engine.trades().size(), untouched.trades().size());
    EXPECT_EQ(engine.audit(), "");
}

TEST_F(EngineTest, TradingWithOneselfIsBalancedToo)
{
    Place("a", Side::Sell, 3000, 10);
    const PlaceResult r = Place("a", Side::Buy, 3000, 10);
    ASSERT_EQ(r.trades.size(), 1u);
    EXPECT_EQ(engine.position("a", kItem)->total, 1000);
    ExpectBalanced();
}

} // namespace
