#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "client/ApiReply.h"
#include "trade/core/Rows.h"

// Replies to rows, each with its list's condition for rows. nullopt means "leave the list
// as it was"; a vector, even an empty one, means "replace the rows with these".
namespace trade {

template <class Row>
using ParsedRows = std::optional<std::vector<Row>>;

// Positions of the trade panel's lists: replaced whenever the reply parses; rows only when
// `infor` and its `cash` are present and not null.
ParsedRows<PositionRow> ParsePositions(const client::ApiReply& reply);

// The funds row, when `infor` and its `cash` are present and not null. The funds window
// touches neither of its lists otherwise.
std::optional<FundsRow> ParseFunds(const client::ApiReply& reply);

// Today's orders: replaced when the reply parses; rows when `infor` is present and not null.
ParsedRows<OrderRow> ParseOrders(const client::ApiReply& reply);
// An order that can still be cancelled: not cancelled and not wholly filled.
bool isCancellable(const OrderRow& order);
// Today's orders that can still be cancelled, for the cancellation list.
ParsedRows<OrderRow> ParseCancellableOrders(const client::ApiReply& reply);

// Today's trades and the trade history: replaced when the reply parses; rows only when
// `success` is true.
ParsedRows<TradeRow> ParseTrades(const client::ApiReply& reply);

// Delivery applications: replaced only when `success` is true. A parsed reply without
// success leaves the list, and the window says "无交割记录！".
ParsedRows<DeliveryRow> ParseDeliveries(const client::ApiReply& reply);

// Cash history: replaced when the reply parses; rows only when `success` is true.
ParsedRows<CashRow> ParseCashHistory(const client::ApiReply& reply);

// What a customer-item reply says about one item: nullopt when the reply does not parse
// or `success` is not true; otherwise whether a position in the item exists and its
// `amount_usable` (0 when none). The last matching position wins.
struct Holding
{
    bool found = false;
    std::int64_t amountUsable = 0;
};
std::optional<Holding> FindHolding(const client::ApiReply& reply, std::int64_t stockId);

} // namespace trade
