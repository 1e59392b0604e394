#include "Storage.h"

#include <sqlite3.h>

namespace exchange {
namespace {

const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS accounts (id TEXT PRIMARY KEY, salt TEXT, hash TEXT, cash INTEGER, frozen INTEGER,
  internal INTEGER, name TEXT, email TEXT, personal_id TEXT, address TEXT, phone TEXT, mobile TEXT,
  contract_address TEXT, account TEXT, is_update INTEGER);
CREATE TABLE IF NOT EXISTS positions (account TEXT, item INTEGER, total INTEGER, frozen INTEGER, cost_total INTEGER,
  PRIMARY KEY (account, item));
CREATE TABLE IF NOT EXISTS orders (id INTEGER PRIMARY KEY, account TEXT, item INTEGER, side INTEGER, price INTEGER,
  qty INTEGER, remain INTEGER, state INTEGER, add_time INTEGER, reserved INTEGER);
CREATE TABLE IF NOT EXISTS trades (trade_no INTEGER PRIMARY KEY, time INTEGER, item INTEGER, price INTEGER,
  qty INTEGER, buy_order INTEGER, sell_order INTEGER, buyer TEXT, seller TEXT, buyer_fee INTEGER,
  seller_fee INTEGER, aggressor INTEGER);
CREATE TABLE IF NOT EXISTS deliveries (id INTEGER PRIMARY KEY, account TEXT, item INTEGER, amount INTEGER,
  delivery_date INTEGER, add_time INTEGER, method TEXT, consignee TEXT, contact TEXT, address TEXT, status INTEGER);
CREATE TABLE IF NOT EXISTS cash_movements (id INTEGER PRIMARY KEY, account TEXT, cash INTEGER, add_time INTEGER,
  direction INTEGER, status INTEGER, is_offline INTEGER);
CREATE TABLE IF NOT EXISTS counters (id INTEGER PRIMARY KEY CHECK (id = 1), fee_pool INTEGER, next_order INTEGER,
  next_trade INTEGER, next_delivery INTEGER, next_cash INTEGER);
)sql";

// A prepared statement that finalises itself.
class Statement
{
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return m_stmt != nullptr; }
    Statement& bind(int i, std::int64_t v)
    {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    Statement& bind(int i, const std::string& v)
    {
        sqlite3_bind_text(m_stmt, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool run()
    {
        const int rc = sqlite3_step(m_stmt);
        sqlite3_reset(m_stmt);
        return rc == SQLITE_DONE;
    }
    bool next() { return sqlite3_step(m_stmt) == SQLITE_ROW; }
    std::int64_t integer(int c) const { return sqlite3_column_int64(m_stmt, c); }
    std::string text(int c) const
    {
        const unsigned char* t = sqlite3_column_text(m_stmt, c);
        return t ? reinterpret_cast<const char*>(t) : "";
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

} // namespace

std::unique_ptr<Storage> Storage::Open(const std::string& path, std::string& error)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        error = db ? sqlite3_errmsg(db) : "cannot open the database";
        sqlite3_close(db);
        return nullptr;
    }
    std::unique_ptr<Storage> storage(new Storage(db));
    sqlite3_busy_timeout(db, 2000);
    // WAL with full sync on commit: an answered order is on disk.
    if (!storage->exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", error) || !storage->exec(kSchema, error))
        return nullptr;
    return storage;
}

Storage::~Storage()
{
    sqlite3_close(m_db);
}

bool Storage::exec(const char* sql, std::string& error)
{
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        error = message ? message : "database error";
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool Storage::load(Engine& engine, bool& loaded, std::string& error)
{
    loaded = false;
    {
        Statement s(m_db, "SELECT id, salt, hash, cash, frozen, internal, name, email, personal_id, address, phone, "
                          "mobile, contract_address, account, is_update FROM accounts");
        if (!s.ok()) {
            error = sqlite3_errmsg(m_db);
            return false;
        }
        while (s.next()) {
            Account a;
            a.id = s.text(0);
            a.salt = s.text(1);
            a.passwordHash = s.text(2);
            a.cash = s.integer(3);
            a.frozen = s.integer(4);
            a.internal = s.integer(5) != 0;
            a.personal = {s.text(6), s.text(7), s.text(8), s.text(9), s.text(10), s.text(11), s.text(12), s.text(13)};
            a.isUpdate = static_cast<int>(s.integer(14));
            engine.restoreAccount(std::move(a));
            loaded = true;
        }
    }
    {
        Statement s(m_db, "SELECT account, item, total, frozen, cost_total FROM positions");
        while (s.ok() && s.next())
            engine.restorePosition({s.text(0), static_cast<int>(s.integer(1)), s.integer(2), s.integer(3), s.integer(4)});
    }
    {
        Statement s(m_db, "SELECT id, account, item, side, price, qty, remain, state, add_time, reserved FROM orders "
                          "ORDER BY id");
        while (s.ok() && s.next()) {
            Order o;
            o.id = s.integer(0);
            o.account = s.text(1);
            o.item = static_cast<int>(s.integer(2));
            o.side = s.integer(3) == 0 ? Side::Buy : Side::Sell;
            o.price = s.integer(4);
            o.qty = s.integer(5);
            o.remain = s.integer(6);
            o.state = s.integer(7) == 0 ? OrderState::Active : OrderState::Cancelled;
            o.addTime = s.integer(8);
            o.reserved = s.integer(9);
            // Participants' finished orders are history nobody asks for.
            if (!o.open() && o.account.rfind("sim-", 0) == 0)
                continue;
            engine.restoreOrder(std::move(o));
        }
    }
    {
        Statement s(m_db, "SELECT trade_no, time, item, price, qty, buy_order, sell_order, buyer, seller, buyer_fee, "
                          "seller_fee, aggressor FROM trades ORDER BY trade_no");
        while (s.ok() && s.next()) {
            Trade t;
            t.tradeNo = s.integer(0);
            t.time = s.integer(1);
            t.item = static_cast<int>(s.integer(2));
            t.price = s.integer(3);
            t.qty = s.integer(4);
            t.buyOrder = s.integer(5);
            t.sellOrder = s.integer(6);
            t.buyer = s.text(7);
            t.seller = s.text(8);
            t.buyerFee = s.integer(9);
            t.sellerFee = s.integer(10);
            t.aggressor = s.integer(11) == 0 ? Side::Buy : Side::Sell;
            engine.restoreTrade(std::move(t));
        }
    }
    {
        Statement s(m_db, "SELECT id, account, item, amount, delivery_date, add_time, method, consignee, contact, "
                          "address, status FROM deliveries");
        while (s.ok() && s.next()) {
            Delivery d;
            d.id = s.integer(0);
            d.account = s.text(1);
            d.item = static_cast<int>(s.integer(2));
            d.amount = s.integer(3);
            d.deliveryDate = s.integer(4);
            d.addTime = s.integer(5);
            d.method = s.text(6);
            d.consignee = s.text(7);
            d.contact = s.text(8);
            d.address = s.text(9);
            d.status = static_cast<int>(s.integer(10));
            engine.restoreDelivery(std::move(d));
        }
    }
    {
        Statement s(m_db, "SELECT id, account, cash, add_time, direction, status, is_offline FROM cash_movements");
        while (s.ok() && s.next()) {
            engine.restoreCash({s.integer(0), s.text(1), s.integer(2), s.integer(3), static_cast<int>(s.integer(4)),
                                static_cast<int>(s.integer(5)), static_cast<int>(s.integer(6))});
        }
    }
    {
        Statement s(m_db, "SELECT fee_pool, next_order, next_trade, next_delivery, next_cash FROM counters WHERE id = 1");
        if (s.ok() && s.next())
            engine.restoreCounters(s.integer(0), s.integer(1), s.integer(2), s.integer(3), s.integer(4));
        else
            engine.restoreCounters(0, 1, 1, 1, 1);
    }
    return true;
}

bool Storage::write(const Engine& engine, const Changes& changes, std::string& error)
{
    if (changes.empty())
        return true;
    if (!exec("BEGIN IMMEDIATE", error))
        return false;
    bool ok = true;
    {
        Statement s(m_db, "INSERT OR REPLACE INTO accounts VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (const std::string& id : changes.accounts) {
            const Account* a = engine.account(id);
            if (!a)
                continue;
            const Personal& p = a->personal;
            ok = ok && s.bind(1, a->id).bind(2, a->salt).bind(3, a->passwordHash).bind(4, a->cash).bind(5, a->frozen)
                           .bind(6, a->internal ? 1 : 0).bind(7, p.name).bind(8, p.email).bind(9, p.personal_id)
                           .bind(10, p.address).bind(11, p.phone).bind(12, p.mobile).bind(13, p.contract_address)
                           .bind(14, p.account).bind(15, a->isUpdate).run();
        }
    }
    {
        Statement s(m_db, "INSERT OR REPLACE INTO positions VALUES (?,?,?,?,?)");
        for (const auto& [account, item] : changes.positions) {
            const Position* p = engine.position(account, item);
            if (p)
                ok = ok && s.bind(1, p->account).bind(2, p->item).bind(3, p->total).bind(4, p->frozen)
                               .bind(5, p->costTotal).run();
        }
    }
    {
        Statement s(m_db, "INSERT OR REPLACE INTO orders VALUES (?,?,?,?,?,?,?,?,?,?)");
        for (std::int64_t id : changes.orders) {
            const Order* o = engine.order(id);
            if (o)
                ok = ok && s.bind(1, o->id).bind(2, o->account).bind(3, o->item).bind(4, o->side == Side::Buy ? 0 : 1)
                               .bind(5, o->price).bind(6, o->qty).bind(7, o->remain)
                               .bind(8, o->state == OrderState::Active ? 0 : 1).bind(9, o->addTime)
                               .bind(10, o->reserved).run();
        }
    }
    if (!changes.trades.empty()) {
        Statement s(m_db, "INSERT OR REPLACE INTO trades VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
        const std::vector<Trade>& all = engine.trades();
        // New trades are at the tail of the tape.
        const std::size_t from = all.size() >= changes.trades.size() ? all.size() - changes.trades.size() : 0;
        for (std::size_t i = from; i < all.size(); ++i) {
            const Trade& t = all[i];
            ok = ok && s.bind(1, t.tradeNo).bind(2, t.time).bind(3, t.item).bind(4, t.price).bind(5, t.qty)
                           .bind(6, t.buyOrder).bind(7, t.sellOrder).bind(8, t.buyer).bind(9, t.seller)
                           .bind(10, t.buyerFee).bind(11, t.sellerFee).bind(12, t.aggressor == Side::Buy ? 0 : 1).run();
        }
    }
    {
        Statement s(m_db, "INSERT OR REPLACE INTO deliveries VALUES (?,?,?,?,?,?,?,?,?,?,?)");
        for (std::int64_t id : changes.deliveries) {
            auto it = engine.deliveries().find(id);
            if (it == engine.deliveries().end())
                continue;
            const Delivery& d = it->second;
            ok = ok && s.bind(1, d.id).bind(2, d.account).bind(3, d.item).bind(4, d.amount).bind(5, d.deliveryDate)
                           .bind(6, d.addTime).bind(7, d.method).bind(8, d.consignee).bind(9, d.contact)
                           .bind(10, d.address).bind(11, d.status).run();
        }
    }
    {
        Statement s(m_db, "INSERT OR REPLACE INTO cash_movements VALUES (?,?,?,?,?,?,?)");
        for (std::int64_t id : changes.cash) {
            auto it = engine.cashMovements().find(id);
            if (it == engine.cashMovements().end())
                continue;
            const CashMovement& m = it->second;
            ok = ok && s.bind(1, m.id).bind(2, m.account).bind(3, m.cash).bind(4, m.addTime).bind(5, m.direction)
                           .bind(6, m.status).bind(7, m.isOffline).run();
        }
    }
    if (changes.counters) {
        const Engine::Counters c = engine.counters();
        Statement s(m_db, "INSERT OR REPLACE INTO counters VALUES (1,?,?,?,?,?)");
        ok = ok && s.bind(1, c.feePool).bind(2, c.nextOrder).bind(3, c.nextTrade).bind(4, c.nextDelivery)
                       .bind(5, c.nextCash).run();
    }
    if (!ok)
        error = sqlite3_errmsg(m_db);
    if (ok && exec("COMMIT", error))
        return true;
    // A failed commit may have rolled back already (a full disk, an I/O error) or not (busy):
    // either way nothing of it stays.
    if (!sqlite3_get_autocommit(m_db)) {
        std::string ignored;
        exec("ROLLBACK", ignored);
    }
    return false;
}

} // namespace exchange
