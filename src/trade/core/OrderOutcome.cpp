#include "trade/core/OrderOutcome.h"

#include <cmath>
#include <cstdlib>

namespace trade {
namespace {

std::int64_t cents(double price) { return std::llround(price * 100.0); }

} // namespace

PlacedOrder placedOrder(const OrderForm& form, OrderSide side)
{
    return {integerOf(form.code), side, cents(priceOf(form.price)), integerOf(form.quantity)};
}

bool isAmongOrders(const std::vector<OrderRow>& orders, const PlacedOrder& order, std::int64_t now)
{
    const std::int64_t direction = order.side == OrderSide::Buy ? 0 : 1;
    for (const OrderRow& row : orders) {
        if (row.stockId == order.code && row.direction == direction && cents(row.commissionPrice) == order.priceCents
            && row.commissionAmount == order.quantity && std::llabs(row.addTime - now) <= kPlacedWithinSeconds)
            return true;
    }
    return false;
}

} // namespace trade
