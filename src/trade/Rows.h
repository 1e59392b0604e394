#pragma once

#include <cstdint>
#include <string>

// The records of the trading lists as the service sends them, read member by member: a
// member that is missing or of the wrong type reads as empty or zero. Money is kept in
// double precision: a balance above 131,072 yuan no longer has a cent to spare in a float.
namespace trade {

// An element of `stock` in "/api/v1/customer/item".
struct PositionRow
{
    int stockId = 0;
    std::string name;
    int total = 0;
    int amountFreeze = 0;
    int amountUsable = 0;
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
    int id = 0;
    int stockId = 0;
    std::string name;
    int direction = 0;
    double commissionPrice = 0;
    int commissionAmount = 0;
    int remain = 0;
    std::int64_t addTime = 0; // Unix seconds
    int state = 0;
};

// An element of "/api/v1/trade/today" and "/api/v1/trade/history".
struct TradeRow
{
    std::int64_t tradeTime = 0; // Unix seconds
    int stockId = 0;
    std::string name;
    double dealPrice = 0;
    int dealedAmount = 0;
    int direction = 0;
    double dealedValue = 0;
    double orderPrice = 0;
    int orderAmount = 0;
    int tradeNo = 0;
    double commission = 0;
};

// An element of "/api/v1/delivery/history".
struct DeliveryRow
{
    int id = 0;
    int stockId = 0;
    std::int64_t addDate = 0; // Unix seconds
    std::string method;
    int amount = 0;
    int status = 0;
    std::string consignee;
    std::string address;
};

// An element of "/api/v2/cash/history".
struct CashRow
{
    std::int64_t account = 0;
    double cash = 0;
    std::int64_t addTime = 0; // Unix seconds
    int direction = 0;
    int status = 0;
    int isOffline = 0;
};

} // namespace trade
