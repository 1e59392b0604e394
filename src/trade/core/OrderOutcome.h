#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trade/core/OrderChecks.h"
#include "trade/core/Rows.h"

// An order whose reply never came (time-out, lost connection, an error page, unreadable
// text) may well have been taken by the exchange. Its outcome is looked up in today's
// orders, and until that lookup answers the same order is not sent again.
namespace trade {

inline constexpr const char* kOutcomeUnknown = "委托结果未知";
inline constexpr const char* kOutcomeChecking = "正在查询当日委托，请勿重复下单";
inline constexpr const char* kOrderFound = "已找到该委托";
inline constexpr const char* kOrderNotFound = "未找到该委托，可重新下单";
inline constexpr const char* kOutcomeStillUnknown = "查询当日委托失败，委托结果仍未知，请在当日委托中查看";
inline constexpr const char* kSameOrderBeingChecked = "相同委托的结果正在查询，请稍候再下单";

// An order as the exchange lists it: code, direction, price in cents, quantity.
struct PlacedOrder
{
    std::int64_t code = 0;
    OrderSide side = OrderSide::Buy;
    std::int64_t priceCents = 0;
    std::int64_t quantity = 0;

    bool operator==(const PlacedOrder&) const = default;
};

// The order the form sends, read as the request carries it.
PlacedOrder placedOrder(const OrderForm& form, OrderSide side);

// How far an order's time may stand from the lookup's and still be the one sent: a minute
// back, and as far ahead for an exchange whose clock runs early.
inline constexpr std::int64_t kPlacedWithinSeconds = 60;

// Whether today's orders hold `order`, placed within a minute of `now` (Unix seconds).
bool isAmongOrders(const std::vector<OrderRow>& orders, const PlacedOrder& order, std::int64_t now);

} // namespace trade
