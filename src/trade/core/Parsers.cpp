#include "trade/core/Parsers.h"

namespace trade {
namespace {

using client::JsonInt64;
using client::jsonMember;
using client::jsonReal;
using client::jsonText;

double money(const Json::Value& record, const char* key) { return jsonReal(record, key); }

bool hasCash(const client::ApiReply& reply) { return !jsonMember(reply.infor, "cash").isNull(); }

template <class Row, class Read>
std::vector<Row> rowsOf(const Json::Value& array, Read read)
{
    std::vector<Row> rows;
    if (!array.isArray())
        return rows;
    rows.reserve(array.size());
    for (const Json::Value& record : array)
        rows.push_back(read(record));
    return rows;
}

PositionRow positionFrom(const Json::Value& r)
{
    PositionRow p;
    p.stockId = JsonInt64(r, "stock_id");
    p.name = jsonText(r, "name");
    p.total = JsonInt64(r, "total");
    p.amountFreeze = JsonInt64(r, "amount_freeze");
    p.amountUsable = JsonInt64(r, "amount_usable");
    p.costPrice = money(r, "costprice");
    p.latest = money(r, "latest");
    p.stockValue = money(r, "stock_value");
    p.profitsPer = money(r, "profits_per");
    return p;
}

OrderRow orderFrom(const Json::Value& r)
{
    OrderRow o;
    o.id = JsonInt64(r, "id");
    o.stockId = JsonInt64(r, "stock_id");
    o.name = jsonText(r, "name");
    o.direction = JsonInt64(r, "direction");
    o.commissionPrice = money(r, "commission_price");
    o.commissionAmount = JsonInt64(r, "commission_amount");
    o.remain = JsonInt64(r, "remain");
    o.addTime = JsonInt64(r, "add_time");
    o.state = JsonInt64(r, "state");
    return o;
}

TradeRow tradeFrom(const Json::Value& r)
{
    TradeRow t;
    t.tradeTime = JsonInt64(r, "trade_time");
    t.stockId = JsonInt64(r, "stock_id");
    t.name = jsonText(r, "name");
    t.dealPrice = money(r, "deal_price");
    t.dealedAmount = JsonInt64(r, "dealed_amount");
    t.direction = JsonInt64(r, "direction");
    t.dealedValue = money(r, "dealed_value");
    t.orderPrice = money(r, "order_price");
    t.orderAmount = JsonInt64(r, "order_amount");
    t.tradeNo = JsonInt64(r, "trade_no");
    t.commission = money(r, "commission");
    return t;
}

DeliveryRow deliveryFrom(const Json::Value& r)
{
    DeliveryRow d;
    d.id = JsonInt64(r, "id");
    d.stockId = JsonInt64(r, "stock_id");
    d.addDate = JsonInt64(r, "add_date");
    d.method = jsonText(r, "method");
    d.amount = JsonInt64(r, "amount");
    d.status = JsonInt64(r, "status");
    d.consignee = jsonText(r, "consignee");
    d.address = jsonText(r, "address");
    return d;
}

CashRow cashFrom(const Json::Value& r)
{
    CashRow c;
    c.account = JsonInt64(r, "account");
    c.cash = jsonReal(r, "cash");
    c.addTime = JsonInt64(r, "add_time");
    c.direction = JsonInt64(r, "direction");
    c.status = JsonInt64(r, "status");
    c.isOffline = JsonInt64(r, "is_offline");
    return c;
}

} // namespace

ParsedRows<PositionRow> ParsePositions(const client::ApiReply& reply)
{
    if (!reply.parsed)
        return std::nullopt;
    if (!hasCash(reply))
        return std::vector<PositionRow>{};
    return rowsOf<PositionRow>(jsonMember(reply.infor, "stock"), positionFrom);
}

std::optional<FundsRow> ParseFunds(const client::ApiReply& reply)
{
    if (!reply.parsed || !hasCash(reply))
        return std::nullopt;
    const Json::Value& cash = jsonMember(reply.infor, "cash");
    FundsRow f;
    f.bankroll = money(cash, "bankroll");
    f.bankrollUsable = money(cash, "bankroll_usable");
    f.total = money(cash, "total");
    f.stockFee = money(cash, "stock_fee");
    return f;
}

ParsedRows<OrderRow> ParseOrders(const client::ApiReply& reply)
{
    if (!reply.parsed)
        return std::nullopt;
    return rowsOf<OrderRow>(reply.infor, orderFrom);
}

bool isCancellable(const OrderRow& order) { return order.state == 0 && order.remain != 0; }

ParsedRows<OrderRow> ParseCancellableOrders(const client::ApiReply& reply)
{
    ParsedRows<OrderRow> orders = ParseOrders(reply);
    if (orders)
        std::erase_if(*orders, [](const OrderRow& o) { return !isCancellable(o); });
    return orders;
}

ParsedRows<TradeRow> ParseTrades(const client::ApiReply& reply)
{
    if (!reply.parsed)
        return std::nullopt;
    if (!reply.success)
        return std::vector<TradeRow>{};
    return rowsOf<TradeRow>(reply.infor, tradeFrom);
}

ParsedRows<DeliveryRow> ParseDeliveries(const client::ApiReply& reply)
{
    if (!reply.success)
        return std::nullopt;
    return rowsOf<DeliveryRow>(reply.infor, deliveryFrom);
}

ParsedRows<CashRow> ParseCashHistory(const client::ApiReply& reply)
{
    if (!reply.parsed)
        return std::nullopt;
    if (!reply.success)
        return std::vector<CashRow>{};
    return rowsOf<CashRow>(reply.infor, cashFrom);
}

std::optional<Holding> FindHolding(const client::ApiReply& reply, std::int64_t stockId)
{
    if (!reply.success)
        return std::nullopt;
    Holding holding;
    const Json::Value& stock = jsonMember(reply.infor, "stock");
    if (!stock.isArray())
        return holding;
    for (const Json::Value& position : stock) {
        if (JsonInt64(position, "stock_id") == stockId) {
            holding.found = true;
            holding.amountUsable = JsonInt64(position, "amount_usable");
        }
    }
    return holding;
}

} // namespace trade
