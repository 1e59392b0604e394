// The trading windows' list replies: positions, funds, orders, trades, deliveries and cash
// history, and the holding lookup of the sell checks.
#include "client/ApiReply.h"
#include "fuzz/FuzzCheck.h"
#include "trade/core/Parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const client::ApiReply reply = client::ApiReply::fromWire(fuzz::text(data, size));
    const auto positions = trade::ParsePositions(reply);
    trade::ParseFunds(reply);
    const auto orders = trade::ParseOrders(reply);
    const auto cancellable = trade::ParseCancellableOrders(reply);
    if (orders && cancellable)
        FUZZ_CHECK(cancellable->size() <= orders->size());
    trade::ParseTrades(reply);
    trade::ParseDeliveries(reply);
    trade::ParseCashHistory(reply);
    const auto holding = trade::FindHolding(reply, 9160001);
    if (holding && !holding->found)
        FUZZ_CHECK(holding->amountUsable == 0);
    if (!reply.parsed)
        FUZZ_CHECK(!positions && !orders);
    return 0;
}
