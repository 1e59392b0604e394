#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "Money.h"

namespace exchange {

enum class Side { Buy = 0, Sell = 1 };

struct Personal
{
    std::string name, email, personal_id, address, phone, mobile, contract_address, account;
    bool operator==(const Personal&) const = default;
};

struct Account
{
    std::string id;
    std::string salt;         // hex
    std::string passwordHash; // hex SHA-256 of salt + the hashed password the terminal sends
    Cents cash = 0;           // balance, frozen part included
    Cents frozen = 0;         // held for open buys and pending withdrawals
    bool internal = false;    // simulated participant: cannot log in
    Personal personal;
    int isUpdate = 0;
    bool operator==(const Account&) const = default;
};

struct Position
{
    std::string account;
    int item = 0;
    std::int64_t total = 0;
    std::int64_t frozen = 0; // held for open sells and pending deliveries
    Cents costTotal = 0;     // what the holding cost, fees included
    bool operator==(const Position&) const = default;
};

enum class OrderState { Active = 0, Cancelled = 1 };

struct Order
{
    std::int64_t id = 0;
    std::string account;
    int item = 0;
    Side side = Side::Buy;
    Cents price = 0;
    std::int64_t qty = 0;
    std::int64_t remain = 0;
    OrderState state = OrderState::Active;
    std::int64_t addTime = 0;
    Cents reserved = 0; // buy: cash still frozen for the remaining quantity
    bool open() const { return state == OrderState::Active && remain > 0; }
    bool operator==(const Order&) const = default;
};

struct Trade
{
    std::int64_t tradeNo = 0;
    std::int64_t time = 0;
    int item = 0;
    Cents price = 0;
    std::int64_t qty = 0;
    std::int64_t buyOrder = 0, sellOrder = 0;
    std::string buyer, seller;
    Cents buyerFee = 0, sellerFee = 0;
    Side aggressor = Side::Buy; // the side of the incoming order
    bool operator==(const Trade&) const = default;
};

struct Delivery
{
    std::int64_t id = 0;
    std::string account;
    int item = 0;
    std::int64_t amount = 0;
    std::int64_t deliveryDate = 0; // local midnight of the requested day
    std::int64_t addTime = 0;
    std::string method, consignee, contact, address;
    int status = 0; // 0 applied, 1 delivered
    bool operator==(const Delivery&) const = default;
};

struct CashMovement
{
    std::int64_t id = 0;
    std::string account;
    Cents cash = 0;
    std::int64_t addTime = 0;
    int direction = 0; // 0 deposit, 1 withdrawal
    int status = 0;    // 0 pending, 1 processed
    int isOffline = 0;
    bool operator==(const CashMovement&) const = default;
};

// What an operation touched, for write-through persistence.
struct Changes
{
    std::set<std::string> accounts;
    std::set<std::pair<std::string, int>> positions;
    std::set<std::int64_t> orders;
    std::vector<std::int64_t> trades;
    std::set<std::int64_t> deliveries;
    std::set<std::int64_t> cash;
    bool counters = false;
    bool empty() const
    {
        return accounts.empty() && positions.empty() && orders.empty() && trades.empty() && deliveries.empty() &&
               cash.empty() && !counters;
    }
};

enum class Refusal {
    None,
    UnknownAccount,
    UnknownItem,
    BadPrice,
    BadQuantity,
    OutsideLimits,
    InsufficientCash,
    InsufficientHolding,
    UnknownOrder,
    NotOwner,
    NotOpen,
    BadAmount,
};

struct PlaceResult
{
    Refusal refusal = Refusal::None;
    std::int64_t orderId = 0;
    std::vector<Trade> trades;
};

struct Level
{
    Cents price = 0;
    std::int64_t qty = 0;
    bool operator==(const Level&) const = default;
};

// The matching engine: accounts, holdings, one price-time priority book per item.
// Not thread-safe; the owner serialises calls.
//
// Every change is provisional until takeChanges() accepts it: rollback() puts back every
// record as it was at the last acceptance, so a change that could not be saved is undone.
class Engine final
{
public:
    Engine() = default;

    Account& addAccount(Account account);
    const Account* account(const std::string& id) const;
    const std::map<std::string, Account>& accounts() const { return m_accounts; }
    // An existing account, to be changed and saved with the next changes.
    Account& changeAccount(const std::string& id);

    // Credits holdings at a cost price, e.g. from the accounts file.
    void grant(const std::string& account, int item, std::int64_t qty, Cents costPrice);
    const Position* position(const std::string& account, int item) const;
    std::vector<const Position*> positionsOf(const std::string& account) const;
    std::int64_t totalHeld(int item) const;

    // Limit order; matches at once against the opposite side, the rest rests in the book.
    // `low` and `high` bound the accepted price (the day's limits).
    PlaceResult place(const std::string& account, int item, Side side, Cents price, std::int64_t qty,
                      std::int64_t now, Cents low, Cents high);
    Refusal cancel(const std::string& account, std::int64_t orderId);

    const Order* order(std::int64_t id) const;
    std::vector<const Order*> ordersOf(const std::string& account) const;
    std::vector<const Order*> openOrdersOf(const std::string& account, int item) const;
    const std::vector<Trade>& trades() const { return m_trades; }
    // Positions in trades() of the account's trades, oldest first.
    const std::vector<std::size_t>& tradesOf(const std::string& account) const;
    // Drops the account's closed orders from memory (simulated participants churn through many).
    void forgetClosedOrders(const std::string& account);

    // Best levels, best first, aggregated by price.
    std::vector<Level> bids(int item, std::size_t depth) const;
    std::vector<Level> asks(int item, std::size_t depth) const;

    Refusal applyDelivery(Delivery delivery, std::int64_t& id);
    void completeDelivery(std::int64_t id);
    const std::map<std::int64_t, Delivery>& deliveries() const { return m_deliveries; }

    std::int64_t deposit(const std::string& account, Cents cash, std::int64_t now, bool offline);
    Refusal applyWithdrawal(const std::string& account, Cents cash, std::int64_t now, std::int64_t& id);
    void completeWithdrawal(std::int64_t id);
    const std::map<std::int64_t, CashMovement>& cashMovements() const { return m_cash; }

    Cents feePool() const { return m_feePool; }
    std::int64_t delivered(int item) const;

    // What changed since the last acceptance.
    const Changes& changes() const { return m_changes; }
    // Accepts every change so far and hands over what it touched.
    Changes takeChanges();
    // Undoes every change since the last acceptance.
    void rollback();

    // Restoring persisted state: records go in as they were stored.
    void restoreAccount(Account a) { m_accounts[a.id] = std::move(a); }
    void restorePosition(Position p);
    void restoreOrder(Order o);
    void restoreTrade(Trade t);
    void restoreDelivery(Delivery d);
    void restoreCash(CashMovement c);
    void restoreCounters(Cents feePool, std::int64_t nextOrder, std::int64_t nextTrade, std::int64_t nextDelivery,
                         std::int64_t nextCash);
    struct Counters
    {
        Cents feePool;
        std::int64_t nextOrder, nextTrade, nextDelivery, nextCash;
        bool operator==(const Counters&) const = default;
    };
    Counters counters() const { return {m_feePool, m_nextOrder, m_nextTrade, m_nextDelivery, m_nextCash}; }

    // Audit of the bookkeeping: empty when every frozen amount matches what holds it.
    std::string audit() const;

private:
    struct Book
    {
        std::map<Cents, std::deque<std::int64_t>, std::greater<>> bids;
        std::map<Cents, std::deque<std::int64_t>> asks;
    };
    Position& positionRef(const std::string& account, int item);
    Order& changeOrder(std::int64_t id);
    void rememberLevel(int item, Side side, Cents price);
    void openJournal();
    static Cents BuyReserve(Cents price, std::int64_t qty) { return price * qty + Fee(price * qty); }
    void fill(Order& buy, Order& sell, Cents price, std::int64_t qty, Side aggressor, std::int64_t now,
              std::vector<Trade>& out);
    template <typename Levels>
    void match(Order& incoming, Levels& levels, std::int64_t now, std::vector<Trade>& out);
    void unlink(const Order& order);

    std::map<std::string, Account> m_accounts;
    std::map<std::pair<std::string, int>, Position> m_positions;
    std::unordered_map<std::int64_t, Order> m_orders;
    std::map<std::string, std::vector<std::int64_t>> m_ordersByAccount;
    std::map<std::string, std::vector<std::size_t>> m_tradesByAccount;
    std::map<int, Book> m_books;
    std::vector<Trade> m_trades;
    std::map<std::int64_t, Delivery> m_deliveries;
    std::map<std::int64_t, CashMovement> m_cash;
    std::map<int, std::int64_t> m_delivered;
    Cents m_feePool = 0;
    std::int64_t m_nextOrder = 1, m_nextTrade = 1, m_nextDelivery = 1, m_nextCash = 1;
    Changes m_changes;

    // Each record as it was before its first change since the last acceptance; empty when
    // the change created it. The tape and the counters only grow, so their sizes suffice.
    struct Journal
    {
        bool open = false;
        std::size_t trades = 0;
        Counters counters{};
        std::map<std::string, std::optional<Account>> accounts;
        std::map<std::pair<std::string, int>, std::optional<Position>> positions;
        std::map<std::int64_t, std::optional<Order>> orders;
        std::map<std::string, std::size_t> ordersByAccount;
        std::map<std::tuple<int, Side, Cents>, std::optional<std::deque<std::int64_t>>> levels;
        std::map<std::int64_t, std::optional<Delivery>> deliveries;
        std::map<std::int64_t, std::optional<CashMovement>> cash;
        std::map<int, std::optional<std::int64_t>> delivered;
    };
    Journal m_journal;
};

} // namespace exchange
