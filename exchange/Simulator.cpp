#include "Simulator.h"

#include <algorithm>
#include <cmath>

#include "Catalogue.h"

namespace exchange {
namespace {

constexpr int kTakers = 4;

std::string MakerId(int item)
{
    return "sim-mm-" + std::to_string(item);
}

std::string TakerId(int n)
{
    return "sim-taker-" + std::to_string(n);
}

Cents TickSize(Cents price)
{
    return std::max<Cents>(1, price / 500);
}

} // namespace

Simulator::Simulator(std::uint64_t seed) : m_rng(seed ^ 0x5eed5eedull) {}

bool Simulator::IsParticipant(const std::string& account)
{
    return account.rfind("sim-", 0) == 0;
}

void Simulator::CreateParticipants(Engine& engine, std::int64_t now)
{
    auto create = [&](const std::string& id, Cents cash) {
        if (engine.account(id))
            return false;
        Account a;
        a.id = id;
        a.internal = true;
        engine.addAccount(a);
        engine.deposit(id, cash, now, true);
        return true;
    };
    for (const ItemInfo& item : Catalogue()) {
        if (create(MakerId(item.code), 2'000'000'000'00LL))
            engine.grant(MakerId(item.code), item.code, item.issued / 2, item.referencePrice);
    }
    for (int n = 1; n <= kTakers; ++n) {
        if (create(TakerId(n), 500'000'000'00LL)) {
            for (const ItemInfo& item : Catalogue())
                engine.grant(TakerId(n), item.code, item.issued / 10, item.referencePrice);
        }
    }
}

std::vector<Trade> Simulator::quoteAll(Engine& engine, const MarketData& market, std::int64_t now)
{
    std::vector<Trade> all;
    for (const ItemInfo& item : Catalogue()) {
        std::vector<Trade> t = requote(engine, market, item.code, now);
        all.insert(all.end(), t.begin(), t.end());
    }
    return all;
}

std::vector<Trade> Simulator::requote(Engine& engine, const MarketData& market, int item, std::int64_t now)
{
    const ItemDay& day = market.day(item);
    const std::string maker = MakerId(item);
    if (!engine.account(maker))
        return {};
    double& fair = m_fair.try_emplace(item, static_cast<double>(day.last > 0 ? day.last : day.opening)).first->second;
    std::normal_distribution<double> drift(0.0, 0.0012);
    fair *= std::exp(drift(m_rng));
    // Pulled gently back towards the tape, and kept well inside the day's limits.
    fair += (static_cast<double>(day.last) - fair) * 0.05 + (static_cast<double>(day.opening) - fair) * 0.01;
    const Cents tick = TickSize(day.opening);
    fair = std::clamp(fair, static_cast<double>(day.limitDown() + 6 * tick), static_cast<double>(day.limitUp() - 6 * tick));

    for (const Order* o : engine.openOrdersOf(maker, item))
        engine.cancel(maker, o->id);
    std::uniform_int_distribution<int> size(20, 400);
    const Cents centre = static_cast<Cents>(std::llround(fair));
    std::vector<Trade> trades;
    for (int level = 0; level < 5; ++level) {
        const Cents bid = centre - tick * (level + 1);
        const Cents ask = centre + tick * (level + 1);
        PlaceResult b = engine.place(maker, item, Side::Buy, bid, size(m_rng), now, day.limitDown(), day.limitUp());
        PlaceResult a = engine.place(maker, item, Side::Sell, ask, size(m_rng), now, day.limitDown(), day.limitUp());
        trades.insert(trades.end(), b.trades.begin(), b.trades.end());
        trades.insert(trades.end(), a.trades.begin(), a.trades.end());
    }
    return trades;
}

std::vector<Trade> Simulator::take(Engine& engine, const MarketData& market, int item, std::int64_t now)
{
    const ItemDay& day = market.day(item);
    std::uniform_int_distribution<int> who(1, kTakers);
    std::uniform_int_distribution<int> size(1, 60);
    std::uniform_int_distribution<int> reach(0, 2);
    const std::string taker = TakerId(who(m_rng));
    const Side side = (m_rng() & 1) ? Side::Buy : Side::Sell;
    const std::vector<Level> opposite = side == Side::Buy ? engine.asks(item, 1) : engine.bids(item, 1);
    if (opposite.empty())
        return {};
    const Cents tick = TickSize(day.opening);
    Cents price = opposite.front().price + (side == Side::Buy ? 1 : -1) * tick * reach(m_rng);
    price = std::clamp(price, day.limitDown(), day.limitUp());
    PlaceResult r = engine.place(taker, item, side, price, size(m_rng), now, day.limitDown(), day.limitUp());
    // A taker never leaves orders behind: what did not fill is withdrawn.
    if (r.orderId != 0) {
        const Order* o = engine.order(r.orderId);
        if (o && o->open())
            engine.cancel(taker, r.orderId);
    }
    return r.trades;
}

std::vector<Trade> Simulator::step(Engine& engine, const MarketData& market, std::int64_t now)
{
    const auto items = Catalogue();
    std::uniform_int_distribution<std::size_t> pick(0, items.size() - 1);
    // The main item moves more often: it is the one the charts follow.
    const int item = (m_rng() % 3 == 0) ? kMainItem : items[pick(m_rng)].code;
    if (m_rng() % 3 == 0)
        return requote(engine, market, item, now);
    return take(engine, market, item, now);
}

} // namespace exchange
