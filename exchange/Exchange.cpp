#include "Exchange.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>

#include <json/json.h>

#include "Catalogue.h"
#include "client/ApiReply.h"
#include "client/ApiSign.h"
#include "client/Endpoints.h"

namespace exchange {
namespace {

using Params = std::map<std::string, std::string>;

constexpr std::int64_t kSettleAfter = 5; // seconds a withdrawal or delivery waits for the back office
const char* const kNotSaved = "系统繁忙，数据未能保存，请稍后查询后再试";

std::string Param(const Params& p, const char* key)
{
    auto it = p.find(key);
    return it == p.end() ? std::string() : it->second;
}

std::optional<int> ParseCode(const std::string& text)
{
    const std::optional<std::int64_t> v = ParseQuantity(text);
    if (!v || *v <= 0 || *v > 999999999)
        return std::nullopt;
    return static_cast<int>(*v);
}

std::string ItemName(int code)
{
    const ItemInfo* info = FindItem(code);
    return info ? info->name : std::string();
}

std::string RefusalText(Refusal r)
{
    switch (r) {
    case Refusal::None: return "成功";
    case Refusal::UnknownAccount: return "账户不存在";
    case Refusal::UnknownItem: return "产品代码不存在";
    case Refusal::BadPrice: return "委托价格不正确";
    case Refusal::BadQuantity: return "委托数量必须为正整数";
    case Refusal::OutsideLimits: return "委托价格超出涨跌停范围";
    case Refusal::InsufficientCash: return "可用资金不足";
    case Refusal::InsufficientHolding: return "可用数量不足";
    case Refusal::UnknownOrder: return "订单不存在";
    case Refusal::NotOwner: return "该订单不属于本账户，不能撤单";
    case Refusal::NotOpen: return "订单已成交或已撤单，不能撤单";
    case Refusal::BadAmount: return "金额不正确";
    }
    return "请求被拒绝";
}

bool AllDigits(const std::string& s)
{
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool HasDigit(const std::string& s)
{
    for (char c : s) {
        if (c >= '0' && c <= '9')
            return true;
    }
    return false;
}

std::vector<Announcement> DefaultAnnouncements()
{
    return {
        {"<h3>关于Tolmere小酒窖挂牌交易的公告</h3>",
         "<p>Tolmere小酒窖（产品代码9160001）已于本周起挂牌交易，交易时间为每个交易日09:30-11:30、13:30-15:00、19:30-21:00。</p>"},
        {"<h3>交割服务说明</h3>",
         "<p>交割数量须为20的整数倍，可选择邮寄或自提。自提地点：交易所仓储中心一号库，服务电话400-820-9160。</p>"},
        {"<h3>风险提示</h3>", "<p>市场有风险，投资需谨慎。本模拟交易所的行情由模拟参与者生成，仅供演示与测试。</p>"},
    };
}

} // namespace

std::string WriteJson(const Json::Value& value)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    builder["precision"] = 4;
    builder["precisionType"] = "decimal";
    return Json::writeString(builder, value);
}

Json::Value Envelope(bool success, const std::string& msg, Json::Value infor)
{
    Json::Value v(Json::objectValue);
    v["success"] = success ? "true" : "false";
    v["msg"] = msg;
    if (!infor.isNull())
        v["infor"] = std::move(infor);
    return v;
}

std::unique_ptr<Exchange> Exchange::Create(ExchangeConfig config, std::string& error)
{
    std::unique_ptr<Exchange> ex(new Exchange(std::move(config)));
    const std::int64_t t = ex->now();
    bool loaded = false;
    if (!ex->m_config.dbPath.empty()) {
        ex->m_storage = Storage::Open(ex->m_config.dbPath, error);
        if (!ex->m_storage || !ex->m_storage->load(ex->m_engine, loaded, error))
            return nullptr;
    }
    ex->m_market = std::make_unique<MarketData>(ex->m_config.seed, t);
    if (ex->m_config.sessionClock)
        ex->m_market->setSessionStart(t);
    for (const Trade& trade : ex->m_engine.trades())
        ex->m_market->record(trade);
    if (!loaded)
        OpenAccounts(ex->m_engine, ex->m_config.accounts, t);
    Simulator::CreateParticipants(ex->m_engine, t);
    // The books are quoted from the start, even when the participants stand still.
    ex->m_sim.quoteAll(ex->m_engine, *ex->m_market, t);
    std::lock_guard lock(ex->m_mutex);
    if (!ex->commit()) {
        error = "cannot write the opening state to " + ex->m_config.dbPath;
        return nullptr;
    }
    return ex;
}

Exchange::Exchange(ExchangeConfig config)
    : m_config(std::move(config)), m_sim(m_config.seed), m_logins(m_config.loginWindow)
{
    if (m_config.announcements.empty())
        m_config.announcements = DefaultAnnouncements();
}

Exchange::~Exchange()
{
    stopPace();
}

std::int64_t Exchange::now() const
{
    if (m_config.clock)
        return m_config.clock();
    return static_cast<std::int64_t>(std::time(nullptr));
}

// Saves what changed and only then makes it final; what cannot be saved is undone, so the
// memory never holds a change that the file lacks.
bool Exchange::commit()
{
    if (m_storage) {
        std::string error;
        if (!m_storage->write(m_engine, m_engine.changes(), error)) {
            std::cerr << "velmora-exchange: database write failed, the change is undone: " << error << "\n";
            m_engine.rollback();
            return false;
        }
    }
    const Changes saved = m_engine.takeChanges();
    // The tape shows a trade once it is saved; new trades are at its tail.
    const std::vector<Trade>& trades = m_engine.trades();
    for (std::size_t i = trades.size() - saved.trades.size(); i < trades.size(); ++i)
        m_market->record(trades[i]);
    // Participants' finished orders are no one's business once saved.
    for (const std::string& id : saved.accounts) {
        if (Simulator::IsParticipant(id))
            m_engine.forgetClosedOrders(id);
    }
    return true;
}

// The back office: withdrawals are paid and deliveries made once they have waited a while
// (a delivery not before its day).
void Exchange::settle(std::int64_t now)
{
    std::vector<std::int64_t> due;
    for (const auto& [id, m] : m_engine.cashMovements()) {
        if (m.direction == 1 && m.status == 0 && now - m.addTime >= kSettleAfter)
            due.push_back(id);
    }
    for (std::int64_t id : due)
        m_engine.completeWithdrawal(id);
    due.clear();
    for (const auto& [id, d] : m_engine.deliveries()) {
        if (d.status == 0 && now >= d.deliveryDate && now - d.addTime >= kSettleAfter)
            due.push_back(id);
    }
    for (std::int64_t id : due)
        m_engine.completeDelivery(id);
}

std::string Exchange::trade(std::string_view path, std::string_view body, const std::string& address)
{
    const client::EndpointInfo* info = client::findEndpoint(client::Method::SignedPost, path);
    if (!info)
        return {};
    const client::VerifiedBody verified = client::verifySignedBody(*info, body, m_config.key);
    if (!verified.ok) {
        std::string msg = "请求格式不正确";
        if (verified.error == "signature")
            msg = "签名校验失败，请求被拒绝";
        else if (verified.error.rfind("missing ", 0) == 0)
            msg = "缺少参数：" + verified.error.substr(8);
        return WriteJson(Envelope(false, msg));
    }
    std::lock_guard lock(m_mutex);
    const std::int64_t t = now();
    m_market->advance(t);
    // What fell due is settled before the request looks at the account.
    settle(t);
    commit();
    Json::Value reply = handle(*info, verified.params, address);
    // What the reply says is what happened: a refusal leaves nothing behind, and an
    // acceptance is committed before it leaves, or undone and answered as a failure.
    if (client::jsonText(reply, "success") != "true")
        m_engine.rollback();
    else if (!commit())
        reply = Envelope(false, kNotSaved);
    else if (info->endpoint == client::Endpoint::UpdatePasswd)
        m_logins.endOthers(Param(verified.params, "id"), address);
    return WriteJson(reply);
}

Json::Value Exchange::handle(const client::EndpointInfo& info, const Params& p, const std::string& address)
{
    using client::Endpoint;
    switch (info.endpoint) {
    case Endpoint::Login: return login(p, address);
    case Endpoint::Ad: {
        Json::Value list(Json::arrayValue);
        for (const Announcement& a : m_config.announcements) {
            Json::Value v(Json::objectValue);
            v["title"] = a.title;
            v["remark"] = a.remark;
            list.append(v);
        }
        return Envelope(true, "公告", list);
    }
    case Endpoint::UpToTheMinute: return overview();
    case Endpoint::TradeGuide: return guide(p);
    default: break;
    }
    // The rest read or change one account: the user's id, which a cancellation calls
    // stockholder_id (its id is the order's).
    const Account* account = m_engine.account(Param(p, info.endpoint == Endpoint::Repeal ? "stockholder_id" : "id"));
    if (!account || account->internal)
        return Envelope(false, "账户不存在");
    // The signing key is in every terminal, so a signature alone proves nothing about the user.
    if (!m_config.openAccounts && !m_logins.allows(account->id, address, now()))
        return Envelope(false, "请先登录");
    switch (info.endpoint) {
    case Endpoint::Repeal: return repeal(*account, p);
    case Endpoint::Buy:
    case Endpoint::QuickBuy: return order(*account, p, Side::Buy);
    case Endpoint::Sell: return order(*account, p, Side::Sell);
    case Endpoint::UpdateInfo: return updateInfo(*account, p);
    case Endpoint::UpdatePasswd: return updatePassword(*account, p);
    case Endpoint::CustomerItem: return holdings(*account);
    case Endpoint::OrderToday: return ordersToday(*account);
    case Endpoint::TradeToday: {
        const std::int64_t start = m_market->day(kMainItem).dayStart;
        return tradesBetween(*account, start, start + 86400);
    }
    case Endpoint::TradeHistory: {
        const std::optional<Date> from = ParseDate(Param(p, "start_date"));
        const std::optional<Date> to = ParseDate(Param(p, "end_date"));
        if (!from || !to)
            return Envelope(false, "日期格式不正确");
        return tradesBetween(*account, LocalMidnight(*from), LocalMidnight(*to) + 86400);
    }
    case Endpoint::Delivery: return delivery(*account, p);
    case Endpoint::DeliveryHistory: return deliveryHistory(*account);
    case Endpoint::AccountTransfer: return withdraw(*account, p);
    case Endpoint::CashHistory: return cashHistory(*account, p);
    case Endpoint::AccountApply: {
        Json::Value infor(Json::objectValue);
        infor["cash"] = ToYuan(account->cash - account->frozen);
        return Envelope(true, "可用资金", infor);
    }
    default: break;
    }
    return Envelope(false, "不支持的请求");
}

Json::Value Exchange::login(const Params& p, const std::string& address)
{
    const Account* a = m_engine.account(Param(p, "username"));
    if (!a || a->internal)
        return Envelope(false, "账户不存在");
    if (!PasswordMatches(*a, Param(p, "passwd")))
        return Envelope(false, "密码错误");
    m_logins.record(a->id, address, now());
    Json::Value infor(Json::objectValue);
    infor["id"] = a->id;
    infor["name"] = a->personal.name;
    infor["email"] = a->personal.email;
    infor["personal_id"] = a->personal.personal_id;
    infor["address"] = a->personal.address;
    infor["phone"] = a->personal.phone;
    infor["mobile"] = a->personal.mobile;
    infor["contract_address"] = a->personal.contract_address;
    infor["account"] = a->personal.account;
    infor["is_update"] = a->isUpdate;
    return Envelope(true, "登录成功", infor);
}

Json::Value Exchange::order(const Account& account, const Params& p, Side side)
{
    const bool buy = side == Side::Buy;
    const std::optional<int> code = ParseCode(Param(p, "item_id"));
    if (!code || !FindItem(*code))
        return Envelope(false, "产品代码不存在");
    const std::optional<Cents> price = ParseYuan(Param(p, buy ? "buy_price" : "sell_price"));
    if (!price || *price <= 0)
        return Envelope(false, "委托价格不正确");
    const std::optional<std::int64_t> qty = ParseQuantity(Param(p, buy ? "buy_amount" : "sell_amount"));
    if (!qty || *qty <= 0)
        return Envelope(false, "委托数量必须为正整数");
    const ItemDay& day = m_market->day(*code);
    if (*price < day.limitDown() || *price > day.limitUp())
        return Envelope(false, "委托价格超出涨跌停范围（" + YuanText(day.limitDown()) + "-" + YuanText(day.limitUp()) + "）");
    const PlaceResult r = m_engine.place(account.id, *code, side, *price, *qty, now(), day.limitDown(), day.limitUp());
    if (r.refusal == Refusal::InsufficientHolding)
        return Envelope(false, "可卖数量不足");
    if (r.refusal != Refusal::None)
        return Envelope(false, RefusalText(r.refusal));
    std::int64_t filled = 0;
    for (const Trade& t : r.trades)
        filled += t.qty;
    std::string msg = std::string(buy ? "买入" : "卖出") + "委托成功，订单号：" + std::to_string(r.orderId);
    if (filled > 0)
        msg += "，已成交" + std::to_string(filled);
    Json::Value infor(Json::objectValue);
    infor["id"] = static_cast<Json::Int64>(r.orderId);
    infor["dealed_amount"] = static_cast<Json::Int64>(filled);
    return Envelope(true, msg, infor);
}

Json::Value Exchange::repeal(const Account& account, const Params& p)
{
    const std::optional<std::int64_t> id = ParseQuantity(Param(p, "id"));
    if (!id)
        return Envelope(false, "订单不存在");
    const Refusal r = m_engine.cancel(account.id, *id);
    if (r != Refusal::None)
        return Envelope(false, RefusalText(r));
    return Envelope(true, "撤单成功，订单号：" + std::to_string(*id));
}

Json::Value Exchange::holdings(const Account& account)
{
    Json::Value stock(Json::arrayValue);
    Cents marketValue = 0;
    for (const Position* pos : m_engine.positionsOf(account.id)) {
        const Cents latest = m_market->day(pos->item).last;
        const Cents value = latest * pos->total;
        marketValue += value;
        const double cost = static_cast<double>(pos->costTotal) / static_cast<double>(pos->total) / 100.0;
        Json::Value s(Json::objectValue);
        s["stock_id"] = pos->item;
        s["name"] = ItemName(pos->item);
        s["total"] = static_cast<Json::Int64>(pos->total);
        s["amount_freeze"] = static_cast<Json::Int64>(pos->frozen);
        s["amount_usable"] = static_cast<Json::Int64>(pos->total - pos->frozen);
        s["costprice"] = cost;
        s["latest"] = ToYuan(latest);
        s["stock_value"] = ToYuan(value);
        s["profits_per"] = cost > 0 ? (ToYuan(latest) - cost) / cost * 100.0 : 0.0;
        stock.append(s);
    }
    Json::Value cash(Json::objectValue);
    cash["bankroll"] = ToYuan(account.cash);
    cash["bankroll_usable"] = ToYuan(account.cash - account.frozen);
    cash["bankroll_freeze"] = ToYuan(account.frozen);
    cash["stock_fee"] = ToYuan(marketValue);
    cash["total"] = ToYuan(account.cash + marketValue);
    Json::Value infor(Json::objectValue);
    infor["cash"] = cash;
    infor["stock"] = stock;
    return Envelope(true, "资金持仓", infor);
}

Json::Value Exchange::ordersToday(const Account& account)
{
    const std::int64_t start = m_market->day(kMainItem).dayStart;
    Json::Value list(Json::arrayValue);
    std::vector<const Order*> orders = m_engine.ordersOf(account.id);
    for (auto it = orders.rbegin(); it != orders.rend(); ++it) {
        const Order& o = **it;
        // Earlier days' orders that are still open stay listed, so they can be cancelled.
        if (o.addTime < start && !o.open())
            continue;
        Json::Value v(Json::objectValue);
        v["id"] = static_cast<Json::Int64>(o.id);
        v["stock_id"] = o.item;
        v["name"] = ItemName(o.item);
        v["direction"] = o.side == Side::Buy ? 0 : 1;
        v["commission_price"] = ToYuan(o.price);
        v["commission_amount"] = static_cast<Json::Int64>(o.qty);
        v["remain"] = static_cast<Json::Int64>(o.remain);
        v["add_time"] = static_cast<Json::Int64>(o.addTime);
        v["state"] = o.state == OrderState::Active ? 0 : 1;
        list.append(v);
    }
    return Envelope(true, "当日委托", list);
}

Json::Value Exchange::tradesBetween(const Account& account, std::int64_t from, std::int64_t to)
{
    Json::Value list(Json::arrayValue);
    const std::vector<Trade>& trades = m_engine.trades();
    const std::vector<std::size_t>& mine = m_engine.tradesOf(account.id);
    for (auto it = mine.rbegin(); it != mine.rend(); ++it) {
        const Trade& t = trades[*it];
        if (t.time < from)
            break; // the tape is in time order
        if (t.time >= to)
            continue;
        for (Side side : {Side::Buy, Side::Sell}) {
            const bool buy = side == Side::Buy;
            if ((buy ? t.buyer : t.seller) != account.id)
                continue;
            const Order* o = m_engine.order(buy ? t.buyOrder : t.sellOrder);
            Json::Value v(Json::objectValue);
            v["trade_time"] = static_cast<Json::Int64>(t.time);
            v["stock_id"] = t.item;
            v["name"] = ItemName(t.item);
            v["deal_price"] = ToYuan(t.price);
            v["dealed_amount"] = static_cast<Json::Int64>(t.qty);
            v["direction"] = buy ? 0 : 1;
            v["dealed_value"] = ToYuan(t.price * t.qty);
            v["order_price"] = ToYuan(o ? o->price : t.price);
            v["order_amount"] = static_cast<Json::Int64>(o ? o->qty : t.qty);
            v["trade_no"] = static_cast<Json::Int64>(t.tradeNo);
            v["commission"] = ToYuan(buy ? t.buyerFee : t.sellerFee);
            v["order_id"] = static_cast<Json::Int64>(buy ? t.buyOrder : t.sellOrder);
            list.append(v);
        }
    }
    return Envelope(true, "成交查询", list);
}

Json::Value Exchange::delivery(const Account& account, const Params& p)
{
    const std::optional<int> code = ParseCode(Param(p, "stock_id"));
    if (!code || !FindItem(*code))
        return Envelope(false, "产品代码不存在");
    const std::optional<std::int64_t> amount = ParseQuantity(Param(p, "amount"));
    if (!amount || *amount <= 0) // the terminal lets an empty quantity through as 0
        return Envelope(false, "交割数量须大于0，且是20的倍数");
    if (*amount % 20 != 0)
        return Envelope(false, "交割数量须是20的倍数");
    const std::optional<Date> date = ParseDate(Param(p, "add_date"));
    if (!date)
        return Envelope(false, "交割日期格式不正确");
    const std::int64_t t = now();
    const std::int64_t deliveryDay = LocalMidnight(*date);
    if (deliveryDay < LocalMidnight(LocalDate(t)))
        return Envelope(false, "交割日期早于当前日期，请重新输入");
    Date latest = LocalDate(t);
    latest.day += m_config.deliveryHorizonDays; // the calendar carries the overflow into months and years
    if (deliveryDay > LocalMidnight(latest))
        return Envelope(false, "交割日期不能晚于" + std::to_string(m_config.deliveryHorizonDays) + "天之后，请重新输入");
    const std::string method = Param(p, "method");
    if (method != "邮寄" && method != "自提")
        return Envelope(false, "交割方式不正确");
    const std::string consignee = Param(p, "consignee");
    if (HasDigit(consignee))
        return Envelope(false, "收货人区域不能含有数字！");
    const std::string address = Param(p, "address");
    if (AllDigits(address))
        return Envelope(false, "收货地址不能是纯数字！");
    Delivery d;
    d.account = account.id;
    d.item = *code;
    d.amount = *amount;
    d.deliveryDate = deliveryDay;
    d.addTime = t;
    d.method = method;
    d.consignee = consignee;
    d.contact = Param(p, "contact");
    d.address = address;
    std::int64_t id = 0;
    const Refusal r = m_engine.applyDelivery(d, id);
    if (r == Refusal::InsufficientHolding) {
        const Position* held = m_engine.position(account.id, *code);
        const std::int64_t usable = held ? held->total - held->frozen : 0;
        return Envelope(false, "可交割数量不足，当前可交割" + std::to_string(usable));
    }
    if (r != Refusal::None)
        return Envelope(false, RefusalText(r));
    return Envelope(true, "交割申请已提交，申请编号：" + std::to_string(id));
}

Json::Value Exchange::deliveryHistory(const Account& account)
{
    Json::Value list(Json::arrayValue);
    const auto& all = m_engine.deliveries();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        const Delivery& d = it->second;
        if (d.account != account.id)
            continue;
        Json::Value v(Json::objectValue);
        v["id"] = static_cast<Json::Int64>(d.id);
        v["stock_id"] = d.item;
        v["add_date"] = static_cast<Json::Int64>(d.deliveryDate);
        v["apply_time"] = static_cast<Json::Int64>(d.addTime);
        v["method"] = d.method;
        v["amount"] = static_cast<Json::Int64>(d.amount);
        v["status"] = d.status;
        v["consignee"] = d.consignee;
        v["contact"] = d.contact;
        v["address"] = d.address;
        list.append(v);
    }
    return Envelope(true, "交割记录", list);
}

Json::Value Exchange::withdraw(const Account& account, const Params& p)
{
    if (account.personal.account.find_first_not_of(" \t") == std::string::npos)
        return Envelope(false, "未登记银行卡号，不能出金，请先填写客户信息");
    const std::optional<Cents> cash = ParseYuan(Param(p, "cash"));
    if (!cash || *cash <= 0)
        return Envelope(false, "出金金额不正确，请输入大于0、最多两位小数的金额");
    std::int64_t id = 0;
    const Refusal r = m_engine.applyWithdrawal(account.id, *cash, now(), id);
    if (r != Refusal::None)
        return Envelope(false, r == Refusal::InsufficientCash ? "可用资金不足，出金失败" : RefusalText(r));
    return Envelope(true, "出金申请已提交，金额：" + YuanText(*cash) + "元");
}

Json::Value Exchange::cashHistory(const Account& account, const Params& p)
{
    const std::optional<Date> from = ParseDate(Param(p, "start_date"));
    const std::optional<Date> to = ParseDate(Param(p, "end_date"));
    if (!from || !to)
        return Envelope(false, "日期格式不正确");
    const std::int64_t begin = LocalMidnight(*from);
    const std::int64_t end = LocalMidnight(*to) + 86400;
    // The bank card number travels as a 64-bit integer; one that is not a number reads 0.
    Json::Int64 card = 0;
    if (!account.personal.account.empty() && account.personal.account.size() <= 18 + 1 &&
        AllDigits(account.personal.account)) {
        try {
            card = std::stoll(account.personal.account);
        } catch (...) {
            card = 0;
        }
    }
    Json::Value list(Json::arrayValue);
    const auto& all = m_engine.cashMovements();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        const CashMovement& m = it->second;
        if (m.account != account.id || m.addTime < begin || m.addTime >= end)
            continue;
        Json::Value v(Json::objectValue);
        v["id"] = static_cast<Json::Int64>(m.id);
        v["account"] = card;
        v["cash"] = ToYuan(m.cash);
        v["add_time"] = static_cast<Json::Int64>(m.addTime);
        v["direction"] = m.direction;
        v["status"] = m.status;
        v["is_offline"] = m.isOffline;
        list.append(v);
    }
    return Envelope(true, "出入金记录", list);
}

Json::Value Exchange::updateInfo(const Account& account, const Params& p)
{
    if (account.isUpdate == 1)
        return Envelope(false, "客户信息已登记，不能重复提交");
    Personal next{Param(p, "name"),  Param(p, "email"), Param(p, "personal_id"), Param(p, "address"),
                  Param(p, "phone"), Param(p, "mobile"), Param(p, "contract_address"), Param(p, "account")};
    if (next.name.empty())
        return Envelope(false, "姓名不能为空,请确认输入！");
    Account& changed = m_engine.changeAccount(account.id);
    changed.personal = std::move(next);
    changed.isUpdate = 1;
    return Envelope(true, "信息更新成功");
}

Json::Value Exchange::updatePassword(const Account& account, const Params& p)
{
    if (!PasswordMatches(account, Param(p, "old_passwd")))
        return Envelope(false, "旧密码错误，密码未修改");
    const std::string next = Param(p, "new_passwd");
    // Passwords arrive hashed: an empty one is the hash of nothing.
    if (next.empty() || next == client::hashPassword(""))
        return Envelope(false, "新密码不能为空");
    SetPassword(m_engine.changeAccount(account.id), next);
    return Envelope(true, "密码修改成功");
}

Json::Value Exchange::guide(const Params& p)
{
    const std::optional<int> code = ParseCode(Param(p, "id"));
    if (!code || !FindItem(*code))
        return Envelope(false, "产品代码不存在");
    return Envelope(true, "行情", m_market->overviewRow(*code, m_engine, 1));
}

Json::Value Exchange::overview()
{
    Json::Value list(Json::arrayValue);
    int row = 1;
    for (const ItemInfo& item : Catalogue())
        list.append(m_market->overviewRow(item.code, m_engine, row++));
    return Envelope(true, "行情", list);
}

std::string Exchange::market(std::string_view path)
{
    // "/api/<kind>/<code>[/<argument>]"
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '/') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    if (parts.size() < 4 || !parts[0].empty() || parts[1] != "api")
        return {};
    const std::string& kind = parts[2];
    const std::optional<int> code = ParseCode(parts[3]);
    const bool known = code && FindItem(*code);
    const std::string arg = parts.size() > 4 ? parts[4] : std::string();
    if (parts.size() > 5)
        return {};
    static const char* kKinds[] = {"realtime", "dealdetail", "pricedetail", "stockinfo", "timeline", "histogram"};
    bool kindKnown = false;
    for (const char* k : kKinds)
        kindKnown = kindKnown || kind == k;
    if (!kindKnown)
        return {};
    if (!known)
        return WriteJson(Envelope(false, "产品代码不存在"));

    std::lock_guard lock(m_mutex);
    const std::int64_t t = now();
    m_market->advance(t);
    Json::Value reply;
    if (kind == "realtime") {
        reply = Envelope(true, "实时行情", m_market->quote(*code, m_engine));
    } else if (kind == "dealdetail") {
        const std::optional<std::int64_t> n = ParseQuantity(arg);
        reply = n ? Envelope(true, "成交明细", m_market->ticks(*code, static_cast<std::size_t>(*n)))
                  : Envelope(false, "成交笔数不正确");
    } else if (kind == "pricedetail") {
        reply = Envelope(true, "分价表", m_market->priceDetail(*code));
    } else if (kind == "stockinfo") {
        reply = Envelope(true, "产品信息", Json::Value(m_config.infoPageBase + std::to_string(*code) + ".html"));
    } else if (kind == "timeline") {
        reply = Envelope(true, "分时数据", m_market->timeline(*code, t));
    } else {
        const std::optional<std::int64_t> period = ParseQuantity(arg);
        reply = period && *period >= 1 && *period <= 12
                    ? Envelope(true, "K线数据", m_market->candles(*code, static_cast<int>(*period)))
                    : Envelope(false, "周期代码不正确，应为1到12");
    }
    return WriteJson(reply);
}

std::string Exchange::manifest() const
{
    Json::Value v(Json::objectValue);
    v["version"] = m_config.manifest.version;
    v["forced"] = m_config.manifest.forced;
    v["msg"] = m_config.manifest.msg;
    return WriteJson(v);
}

std::string Exchange::infoPage(int item) const
{
    const ItemInfo* info = FindItem(item);
    std::lock_guard lock(m_mutex);
    const ItemDay& d = m_market->day(item);
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\"><title>产品信息</title></head><body>\n";
    if (!info) {
        html += "<p>产品代码不存在</p>\n";
    } else {
        html += "<h2>" + info->name + "（" + std::to_string(info->code) + "）</h2>\n";
        html += "<table border=\"1\" cellpadding=\"4\">\n";
        html += "<tr><td>产品名称</td><td>" + info->name + "</td></tr>\n";
        html += "<tr><td>产品代码</td><td>" + std::to_string(info->code) + "</td></tr>\n";
        html += "<tr><td>发行总量</td><td>" + std::to_string(info->issued) + "</td></tr>\n";
        html += "<tr><td>昨收</td><td>" + YuanText(d.prevClose) + "</td></tr>\n";
        html += "<tr><td>最新</td><td>" + YuanText(d.last) + "</td></tr>\n";
        html += "<tr><td>涨停/跌停</td><td>" + YuanText(d.limitUp()) + " / " + YuanText(d.limitDown()) + "</td></tr>\n";
        html += "<tr><td>交易时间</td><td>09:30-11:30 13:30-15:00 19:30-21:00</td></tr>\n";
        html += "<tr><td>交易费用</td><td>成交金额的千分之三，买卖双方各自承担</td></tr>\n";
        html += "<tr><td>交割单位</td><td>20的整数倍</td></tr>\n";
        html += "</table>\n";
    }
    html += "</body></html>\n";
    return html;
}

void Exchange::simulate(int steps)
{
    std::lock_guard lock(m_mutex);
    const std::int64_t t = now();
    m_market->advance(t);
    settle(t);
    commit();
    // One commit a step: the next step trades against the tape the last one left.
    for (int i = 0; i < steps; ++i) {
        m_sim.step(m_engine, *m_market, t);
        commit();
    }
}

void Exchange::startPace(double pace)
{
    if (m_paceThread.joinable())
        return;
    m_paceStop = false;
    // With the participants standing still, the back office still settles once a second.
    const int steps = pace > 0 ? 1 : 0;
    const auto interval = std::chrono::duration<double>(pace > 0 ? 1.0 / pace : 1.0);
    m_paceThread = std::thread([this, interval, steps] {
        std::unique_lock lock(m_paceMutex);
        while (!m_paceCv.wait_for(lock, interval, [this] { return m_paceStop; })) {
            lock.unlock();
            simulate(steps);
            lock.lock();
        }
    });
}

void Exchange::stopPace()
{
    {
        std::lock_guard lock(m_paceMutex);
        m_paceStop = true;
    }
    m_paceCv.notify_all();
    if (m_paceThread.joinable())
        m_paceThread.join();
}

std::string Exchange::audit()
{
    std::lock_guard lock(m_mutex);
    std::string problem = m_engine.audit();
    if (!problem.empty())
        return problem;
    Cents in = 0;
    for (const auto& [id, m] : m_engine.cashMovements()) {
        if (m.direction == 0)
            in += m.cash;
        else if (m.status != 0)
            in -= m.cash;
    }
    Cents held = m_engine.feePool();
    for (const auto& [id, a] : m_engine.accounts())
        held += a.cash;
    if (held != in)
        return "cash does not add up: " + YuanText(held) + " held, " + YuanText(in) + " paid in";
    return {};
}

Cents Exchange::totalCash()
{
    std::lock_guard lock(m_mutex);
    Cents held = m_engine.feePool();
    for (const auto& [id, a] : m_engine.accounts())
        held += a.cash;
    return held;
}

void Exchange::inspect(const std::function<void(const Engine&, const MarketData&)>& f)
{
    std::lock_guard lock(m_mutex);
    f(m_engine, *m_market);
}

} // namespace exchange
