#pragma once

#include <cstdint>
#include <string>

// The records of the trading lists as the service sends them, read member by member: a
// member that is missing or of the wrong type reads as empty or zero. Money is kept in
// double precision: a balance above 131,072 yuan no longer has a cent to spare in a float.
// Integers are 64-bit: an order number of 2^31 or more read as 32 bits came out as 0, and a
// cancellation went out for order 0.
namespace trade {

// An element of `stock` in "/api/v1/customer/item".
struct PositionRow
{
    std::int64_t stockId = 0;
    std::string name;
    std::int64_t total = 0;
    std::int64_t amountFreeze = 0;
    std::int64_t amountUsable = 0;
    double costPrice = 0;
    double latest = 0;
    double stockValue = 0;
    double profitsPer = 0;
};

// `cash` in "/api/v1/customer/item".
struct FundsRow
{
    double bankroll = 0;
    double bankrollUsable = 0;
    double total = 0;
    double stockFee = 0;
};

// An element of "/api/v1/order/today".
struct OrderRow
{
    std::int64_t id = 0;
    std::int64_t stockId = 0;
    std::string name;
    std::int64_t direction = 0;
    double commissionPrice = 0;
    std::int64_t commissionAmount = 0;
    std::int64_t remain = 0;
    std::int64_t addTime = 0; // Unix seconds
    std::int64_t state = 0;
};

// An element of "/api/v1/trade/today" and "/api/v1/trade/history".
struct TradeRow
{
    std::int64_t tradeTime = 0; // Unix seconds
    std::int64_t stockId = 0;
    std::string name;
    double dealPrice = 0;
    std::int64_t dealedAmount = 0;
    std::int64_t direction = 0;
    double dealedValue = 0;
    double orderPrice = 0;
    std::int64_t orderAmount = 0;
    std::int64_t tradeNo = 0;
    double commission = 0;
};

// An element of "/api/v1/delivery/history".
struct DeliveryRow
{
    std::int64_t id = 0;
    std::int64_t stockId = 0;
    std::int64_t addDate = 0; // Unix seconds
    std::string method;
    std::int64_t amount = 0;
    std::int64_t status = 0;
    std::string consignee;
    std::string address;
};

// An element of "/api/v2/cash/history".
struct CashRow
{
    std::int64_t account = 0;
    double cash = 0;
    std::int64_t addTime = 0; // Unix seconds
    std::int64_t direction = 0;
    std::int64_t status = 0;
    std::int64_t isOffline = 0;
};

} // namespace trade
