#include "Engine.h"

#include <algorithm>

namespace exchange {
namespace {

// Keeps a record's state before its first change: a copy, or nothing when it is new.
template <class Saved, class Live, class Key>
void Remember(Saved& saved, const Live& live, const Key& key)
{
    if (saved.count(key))
        return;
    const auto it = live.find(key);
    saved.emplace(key, it == live.end() ? std::nullopt : std::make_optional(it->second));
}

template <class Saved, class Live>
void Restore(const Saved& saved, Live& live)
{
    for (const auto& [key, before] : saved) {
        if (before)
            live[key] = *before;
        else
            live.erase(key);
    }
}

} // namespace

void Engine::openJournal()
{
    if (m_journal.open)
        return;
    m_journal.open = true;
    m_journal.trades = m_trades.size();
    m_journal.counters = counters();
}

Account& Engine::addAccount(Account account)
{
    const std::string id = account.id;
    openJournal();
    Remember(m_journal.accounts, m_accounts, id);
    m_changes.accounts.insert(id);
    return m_accounts[id] = std::move(account);
}

Account& Engine::changeAccount(const std::string& id)
{
    openJournal();
    Remember(m_journal.accounts, m_accounts, id);
    m_changes.accounts.insert(id);
    return m_accounts.at(id);
}

const Account* Engine::account(const std::string& id) const
{
    auto it = m_accounts.find(id);
    return it == m_accounts.end() ? nullptr : &it->second;
}

Position& Engine::positionRef(const std::string& account, int item)
{
    openJournal();
    Remember(m_journal.positions, m_positions, std::pair(account, item));
    Position& p = m_positions[{account, item}];
    p.account = account;
    p.item = item;
    m_changes.positions.insert({account, item});
    return p;
}

Order& Engine::changeOrder(std::int64_t id)
{
    openJournal();
    Remember(m_journal.orders, m_orders, id);
    m_changes.orders.insert(id);
    return m_orders.at(id);
}

void Engine::rememberLevel(int item, Side side, Cents price)
{
    openJournal();
    const auto key = std::tuple(item, side, price);
    if (m_journal.levels.count(key))
        return;
    const Book& book = m_books[item];
    std::optional<std::deque<std::int64_t>> before;
    if (side == Side::Buy) {
        if (const auto it = book.bids.find(price); it != book.bids.end())
            before = it->second;
    } else if (const auto it = book.asks.find(price); it != book.asks.end()) {
        before = it->second;
    }
    m_journal.levels.emplace(key, std::move(before));
}

void Engine::grant(const std::string& account, int item, std::int64_t qty, Cents costPrice)
{
    if (qty <= 0)
        return;
    Position& p = positionRef(account, item);
    p.total += qty;
    p.costTotal += costPrice * qty;
}

const Position* Engine::position(const std::string& account, int item) const
{
    auto it = m_positions.find({account, item});
    return it == m_positions.end() ? nullptr : &it->second;
}

std::vector<const Position*> Engine::positionsOf(const std::string& account) const
{
    std::vector<const Position*> out;
    for (auto it = m_positions.lower_bound({account, 0}); it != m_positions.end() && it->first.first == account; ++it) {
        if (it->second.total > 0)
            out.push_back(&it->second);
    }
    return out;
}

std::int64_t Engine::totalHeld(int item) const
{
    std::int64_t sum = 0;
    for (const auto& [key, p] : m_positions) {
        if (key.second == item)
            sum += p.total;
    }
    return sum;
}

std::int64_t Engine::delivered(int item) const
{
    auto it = m_delivered.find(item);
    return it == m_delivered.end() ? 0 : it->second;
}

PlaceResult Engine::place(const std::string& accountId, int item, Side side, Cents price, std::int64_t qty,
                          std::int64_t now, Cents low, Cents high)
{
    PlaceResult result;
    const Account* acc = account(accountId);
    if (!acc) {
        result.refusal = Refusal::UnknownAccount;
        return result;
    }
    if (price <= 0) {
        result.refusal = Refusal::BadPrice;
        return result;
    }
    if (qty <= 0 || qty > 100000000) {
        result.refusal = Refusal::BadQuantity;
        return result;
    }
    if (price < low || price > high) {
        result.refusal = Refusal::OutsideLimits;
        return result;
    }
    Order order;
    order.account = accountId;
    order.item = item;
    order.side = side;
    order.price = price;
    order.qty = qty;
    order.remain = qty;
    order.addTime = now;
    openJournal();
    if (side == Side::Buy) {
        const Cents reserve = BuyReserve(price, qty);
        if (acc->cash - acc->frozen < reserve) {
            result.refusal = Refusal::InsufficientCash;
            return result;
        }
        changeAccount(accountId).frozen += reserve;
        order.reserved = reserve;
    } else {
        auto it = m_positions.find({accountId, item});
        if (it == m_positions.end() || it->second.total - it->second.frozen < qty) {
            result.refusal = Refusal::InsufficientHolding;
            return result;
        }
        positionRef(accountId, item).frozen += qty;
    }
    order.id = m_nextOrder++;
    m_changes.counters = true;
    Remember(m_journal.orders, m_orders, order.id);
    Order& stored = m_orders[order.id] = order;
    m_journal.ordersByAccount.try_emplace(accountId, m_ordersByAccount[accountId].size());
    m_ordersByAccount[accountId].push_back(order.id);
    m_changes.orders.insert(order.id);
    result.orderId = order.id;

    Book& book = m_books[item];
    if (side == Side::Buy)
        match(stored, book.asks, now, result.trades);
    else
        match(stored, book.bids, now, result.trades);
    if (stored.remain > 0) {
        rememberLevel(item, side, price);
        if (side == Side::Buy)
            book.bids[price].push_back(stored.id);
        else
            book.asks[price].push_back(stored.id);
    }
    return result;
}

template <typename Levels>
void Engine::match(Order& incoming, Levels& levels, std::int64_t now, std::vector<Trade>& out)
{
    const bool buying = incoming.side == Side::Buy;
    while (incoming.remain > 0 && !levels.empty()) {
        auto level = levels.begin();
        const bool crosses = buying ? level->first <= incoming.price : level->first >= incoming.price;
        if (!crosses)
            break;
        rememberLevel(incoming.item, buying ? Side::Sell : Side::Buy, level->first);
        auto& queue = level->second;
        while (incoming.remain > 0 && !queue.empty()) {
            Order& resting = changeOrder(queue.front());
            const std::int64_t q = std::min(incoming.remain, resting.remain);
            if (buying)
                fill(incoming, resting, resting.price, q, Side::Buy, now, out);
            else
                fill(resting, incoming, resting.price, q, Side::Sell, now, out);
            if (resting.remain == 0)
                queue.pop_front();
        }
        if (queue.empty())
            levels.erase(level);
    }
}

void Engine::fill(Order& buy, Order& sell, Cents price, std::int64_t qty, Side aggressor, std::int64_t now,
                  std::vector<Trade>& out)
{
    Account& buyer = changeAccount(buy.account);
    Account& seller = changeAccount(sell.account);
    const Cents value = price * qty;
    const Cents buyerFee = Fee(value);
    const Cents sellerFee = Fee(value);

    // The buyer's reservation shrinks to what the rest of the order needs at its own price;
    // what it frees beyond the fill's cost goes back to usable cash.
    buy.remain -= qty;
    const Cents newReserve = BuyReserve(buy.price, buy.remain);
    buyer.frozen -= buy.reserved - newReserve;
    buy.reserved = newReserve;
    buyer.cash -= value + buyerFee;
    Position& bp = positionRef(buy.account, buy.item);
    bp.total += qty;
    bp.costTotal += value + buyerFee;

    sell.remain -= qty;
    Position& sp = positionRef(sell.account, sell.item);
    const std::int64_t before = sp.total;
    sp.total -= qty;
    sp.frozen -= qty;
    sp.costTotal = sp.total == 0 ? 0 : sp.costTotal - sp.costTotal * qty / before;
    // Seller's account may be the buyer's: look it up again after the buyer's update.
    seller.cash += value - sellerFee;
    m_feePool += buyerFee + sellerFee;

    Trade t;
    t.tradeNo = m_nextTrade++;
    t.time = now;
    t.item = buy.item;
    t.price = price;
    t.qty = qty;
    t.buyOrder = buy.id;
    t.sellOrder = sell.id;
    t.buyer = buy.account;
    t.seller = sell.account;
    t.buyerFee = buyerFee;
    t.sellerFee = sellerFee;
    t.aggressor = aggressor;
    m_tradesByAccount[t.buyer].push_back(m_trades.size());
    if (t.seller != t.buyer)
        m_tradesByAccount[t.seller].push_back(m_trades.size());
    m_trades.push_back(t);
    out.push_back(t);

    m_changes.orders.insert(buy.id);
    m_changes.orders.insert(sell.id);
    m_changes.trades.push_back(t.tradeNo);
    m_changes.counters = true;
}

void Engine::unlink(const Order& order)
{
    rememberLevel(order.item, order.side, order.price);
    Book& book = m_books[order.item];
    auto drop = [&](auto& levels) {
        auto level = levels.find(order.price);
        if (level == levels.end())
            return;
        auto& q = level->second;
        q.erase(std::remove(q.begin(), q.end(), order.id), q.end());
        if (q.empty())
            levels.erase(level);
    };
    if (order.side == Side::Buy)
        drop(book.bids);
    else
        drop(book.asks);
}

Refusal Engine::cancel(const std::string& accountId, std::int64_t orderId)
{
    const Order* found = order(orderId);
    if (!found)
        return Refusal::UnknownOrder;
    if (found->account != accountId)
        return Refusal::NotOwner;
    if (!found->open())
        return Refusal::NotOpen;
    Order& o = changeOrder(orderId);
    unlink(o);
    o.state = OrderState::Cancelled;
    if (o.side == Side::Buy) {
        changeAccount(o.account).frozen -= o.reserved;
        o.reserved = 0;
    } else {
        positionRef(o.account, o.item).frozen -= o.remain;
    }
    return Refusal::None;
}

const Order* Engine::order(std::int64_t id) const
{
    auto it = m_orders.find(id);
    return it == m_orders.end() ? nullptr : &it->second;
}

std::vector<const Order*> Engine::ordersOf(const std::string& account) const
{
    std::vector<const Order*> out;
    auto it = m_ordersByAccount.find(account);
    if (it == m_ordersByAccount.end())
        return out;
    for (std::int64_t id : it->second) {
        if (auto o = m_orders.find(id); o != m_orders.end())
            out.push_back(&o->second);
    }
    return out;
}

const std::vector<std::size_t>& Engine::tradesOf(const std::string& account) const
{
    static const std::vector<std::size_t> none;
    auto it = m_tradesByAccount.find(account);
    return it == m_tradesByAccount.end() ? none : it->second;
}

void Engine::forgetClosedOrders(const std::string& account)
{
    auto it = m_ordersByAccount.find(account);
    if (it == m_ordersByAccount.end())
        return;
    std::vector<std::int64_t> kept;
    for (std::int64_t id : it->second) {
        auto o = m_orders.find(id);
        if (o == m_orders.end())
            continue;
        if (o->second.open() || m_changes.orders.count(id))
            kept.push_back(id); // an unsaved change still needs the record
        else
            m_orders.erase(o);
    }
    it->second = std::move(kept);
}

std::vector<const Order*> Engine::openOrdersOf(const std::string& account, int item) const
{
    std::vector<const Order*> out;
    auto it = m_books.find(item);
    if (it == m_books.end())
        return out;
    auto collect = [&](const auto& levels) {
        for (const auto& [price, q] : levels) {
            for (std::int64_t id : q) {
                const Order& o = m_orders.at(id);
                if (o.account == account)
                    out.push_back(&o);
            }
        }
    };
    collect(it->second.bids);
    collect(it->second.asks);
    return out;
}

namespace {

// The first `depth` price levels of one side of a book, best first.
template <class Side, class Orders>
std::vector<Level> DepthOf(const Side& side, const Orders& orders, std::size_t depth)
{
    std::vector<Level> out;
    for (const auto& [price, q] : side) {
        if (out.size() == depth)
            break;
        Level l{price, 0};
        for (std::int64_t id : q)
            l.qty += orders.at(id).remain;
        out.push_back(l);
    }
    return out;
}

} // namespace

std::vector<Level> Engine::bids(int item, std::size_t depth) const
{
    auto it = m_books.find(item);
    return it == m_books.end() ? std::vector<Level>{} : DepthOf(it->second.bids, m_orders, depth);
}

std::vector<Level> Engine::asks(int item, std::size_t depth) const
{
    auto it = m_books.find(item);
    return it == m_books.end() ? std::vector<Level>{} : DepthOf(it->second.asks, m_orders, depth);
}

Refusal Engine::applyDelivery(Delivery delivery, std::int64_t& id)
{
    if (!account(delivery.account))
        return Refusal::UnknownAccount;
    if (delivery.amount <= 0)
        return Refusal::BadQuantity;
    auto it = m_positions.find({delivery.account, delivery.item});
    if (it == m_positions.end() || it->second.total - it->second.frozen < delivery.amount)
        return Refusal::InsufficientHolding;
    positionRef(delivery.account, delivery.item).frozen += delivery.amount;
    delivery.id = id = m_nextDelivery++;
    delivery.status = 0;
    Remember(m_journal.deliveries, m_deliveries, id);
    m_deliveries[id] = std::move(delivery);
    m_changes.deliveries.insert(id);
    m_changes.counters = true;
    return Refusal::None;
}

void Engine::completeDelivery(std::int64_t id)
{
    auto it = m_deliveries.find(id);
    if (it == m_deliveries.end() || it->second.status != 0)
        return;
    openJournal();
    Remember(m_journal.deliveries, m_deliveries, id);
    Delivery& d = it->second;
    Remember(m_journal.delivered, m_delivered, d.item);
    Position& p = positionRef(d.account, d.item);
    const std::int64_t before = p.total;
    p.frozen -= d.amount;
    p.total -= d.amount;
    p.costTotal = p.total == 0 ? 0 : p.costTotal - p.costTotal * d.amount / before;
    m_delivered[d.item] += d.amount;
    d.status = 1;
    m_changes.deliveries.insert(id);
}

std::int64_t Engine::deposit(const std::string& accountId, Cents cash, std::int64_t now, bool offline)
{
    if (!account(accountId) || cash <= 0)
        return 0;
    changeAccount(accountId).cash += cash;
    CashMovement m;
    m.id = m_nextCash++;
    m.account = accountId;
    m.cash = cash;
    m.addTime = now;
    m.direction = 0;
    m.status = 1;
    m.isOffline = offline ? 1 : 0;
    Remember(m_journal.cash, m_cash, m.id);
    m_cash[m.id] = m;
    m_changes.cash.insert(m.id);
    m_changes.counters = true;
    return m.id;
}

Refusal Engine::applyWithdrawal(const std::string& accountId, Cents cash, std::int64_t now, std::int64_t& id)
{
    const Account* acc = account(accountId);
    if (!acc)
        return Refusal::UnknownAccount;
    if (cash <= 0)
        return Refusal::BadAmount;
    if (acc->cash - acc->frozen < cash)
        return Refusal::InsufficientCash;
    changeAccount(accountId).frozen += cash;
    CashMovement m;
    m.id = id = m_nextCash++;
    m.account = accountId;
    m.cash = cash;
    m.addTime = now;
    m.direction = 1;
    Remember(m_journal.cash, m_cash, m.id);
    m_cash[m.id] = m;
    m_changes.cash.insert(m.id);
    m_changes.counters = true;
    return Refusal::None;
}

void Engine::completeWithdrawal(std::int64_t id)
{
    auto it = m_cash.find(id);
    if (it == m_cash.end() || it->second.direction != 1 || it->second.status != 0)
        return;
    openJournal();
    Remember(m_journal.cash, m_cash, id);
    Account& acc = changeAccount(it->second.account);
    acc.frozen -= it->second.cash;
    acc.cash -= it->second.cash;
    it->second.status = 1;
    m_changes.cash.insert(id);
}

Changes Engine::takeChanges()
{
    Changes out = std::move(m_changes);
    m_changes = {};
    m_journal = {};
    return out;
}

void Engine::rollback()
{
    if (m_journal.open) {
        while (m_trades.size() > m_journal.trades) {
            const Trade& t = m_trades.back();
            m_tradesByAccount[t.buyer].pop_back();
            if (t.seller != t.buyer)
                m_tradesByAccount[t.seller].pop_back();
            m_trades.pop_back();
        }
        for (const auto& [account, size] : m_journal.ordersByAccount)
            m_ordersByAccount[account].resize(size);
        Restore(m_journal.accounts, m_accounts);
        Restore(m_journal.positions, m_positions);
        Restore(m_journal.orders, m_orders);
        Restore(m_journal.deliveries, m_deliveries);
        Restore(m_journal.cash, m_cash);
        Restore(m_journal.delivered, m_delivered);
        for (const auto& [key, before] : m_journal.levels) {
            const auto& [item, side, price] = key;
            Book& book = m_books[item];
            if (side == Side::Buy) {
                if (before)
                    book.bids[price] = *before;
                else
                    book.bids.erase(price);
            } else if (before) {
                book.asks[price] = *before;
            } else {
                book.asks.erase(price);
            }
        }
        const Counters& c = m_journal.counters;
        m_feePool = c.feePool;
        m_nextOrder = c.nextOrder;
        m_nextTrade = c.nextTrade;
        m_nextDelivery = c.nextDelivery;
        m_nextCash = c.nextCash;
    }
    m_changes = {};
    m_journal = {};
}

void Engine::restorePosition(Position p)
{
    m_positions[{p.account, p.item}] = std::move(p);
}

void Engine::restoreOrder(Order o)
{
    const std::int64_t id = o.id;
    Order& stored = m_orders[id] = std::move(o);
    m_ordersByAccount[stored.account].push_back(id);
    if (stored.open()) {
        Book& book = m_books[stored.item];
        if (stored.side == Side::Buy)
            book.bids[stored.price].push_back(id);
        else
            book.asks[stored.price].push_back(id);
    }
}

void Engine::restoreTrade(Trade t)
{
    m_tradesByAccount[t.buyer].push_back(m_trades.size());
    if (t.seller != t.buyer)
        m_tradesByAccount[t.seller].push_back(m_trades.size());
    m_trades.push_back(std::move(t));
}

void Engine::restoreDelivery(Delivery d)
{
    if (d.status != 0)
        m_delivered[d.item] += d.amount;
    m_deliveries[d.id] = std::move(d);
}

void Engine::restoreCash(CashMovement c)
{
    m_cash[c.id] = std::move(c);
}

void Engine::restoreCounters(Cents feePool, std::int64_t nextOrder, std::int64_t nextTrade, std::int64_t nextDelivery,
                             std::int64_t nextCash)
{
    m_feePool = feePool;
    m_nextOrder = nextOrder;
    m_nextTrade = nextTrade;
    m_nextDelivery = nextDelivery;
    m_nextCash = nextCash;
    // Orders restored in id order keep their time priority within a level.
    for (auto& [item, book] : m_books) {
        for (auto& [price, q] : book.bids)
            std::sort(q.begin(), q.end());
        for (auto& [price, q] : book.asks)
            std::sort(q.begin(), q.end());
    }
}

std::string Engine::audit() const
{
    std::map<std::string, Cents> frozenCash;
    std::map<std::pair<std::string, int>, std::int64_t> frozenQty;
    for (const auto& [id, o] : m_orders) {
        if (!o.open()) {
            if (o.reserved != 0)
                return "closed order " + std::to_string(id) + " still reserves cash";
            continue;
        }
        if (o.side == Side::Buy) {
            if (o.reserved != BuyReserve(o.price, o.remain))
                return "order " + std::to_string(id) + " reserves the wrong amount";
            frozenCash[o.account] += o.reserved;
        } else {
            frozenQty[{o.account, o.item}] += o.remain;
        }
    }
    for (const auto& [id, m] : m_cash) {
        if (m.direction == 1 && m.status == 0)
            frozenCash[m.account] += m.cash;
    }
    for (const auto& [id, d] : m_deliveries) {
        if (d.status == 0)
            frozenQty[{d.account, d.item}] += d.amount;
    }
    for (const auto& [id, a] : m_accounts) {
        const auto it = frozenCash.find(id);
        if (a.frozen != (it == frozenCash.end() ? 0 : it->second))
            return "account " + id + " freezes the wrong amount";
        if (a.frozen < 0 || a.cash < a.frozen)
            return "account " + id + " is overdrawn";
    }
    for (const auto& [key, p] : m_positions) {
        const auto it = frozenQty.find(key);
        if (p.frozen != (it == frozenQty.end() ? 0 : it->second))
            return "position " + key.first + "/" + std::to_string(key.second) + " freezes the wrong quantity";
        if (p.frozen < 0 || p.total < p.frozen)
            return "position " + key.first + "/" + std::to_string(key.second) + " is oversold";
    }
    for (const auto& [item, book] : m_books) {
        if (!book.bids.empty() && !book.asks.empty() && book.bids.begin()->first >= book.asks.begin()->first)
            return "book " + std::to_string(item) + " is crossed";
    }
    return {};
}

} // namespace exchange
