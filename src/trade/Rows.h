#pragma once

#include <cstdint>
#include <string>

// The records of the trading lists as the service sends them, read member by member: a
// member that is missing or of the wrong type reads as empty or zero. Money is narrowed
// to single precision, as the lists print it.
namespace trade {

// An element of `stock` in "/api/v1/customer/item".
struct PositionRow
{
    int stockId = 0;
    std::string name;
    int total = 0;
    int amountFreeze = 0;
    int amountUsable = 0;
    float costPrice = 0;
    float latest = 0;
    float stockValue = 0;
    float profitsPer = 0;
};

// `cash` in "/api/v1/customer/item".
struct FundsRow
{
    float bankroll = 0;
    float bankrollUsable = 0;
    float total = 0;
    float stockFee = 0;
};

// An element of "/api/v1/order/today".
struct OrderRow
{
    int id = 0;
    int stockId = 0;
    std::string name;
    int direction = 0;
    float commissionPrice = 0;
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
    float dealPrice = 0;
    int dealedAmount = 0;
    int direction = 0;
    float dealedValue = 0;
    float orderPrice = 0;
    int orderAmount = 0;
    int tradeNo = 0;
    float commission = 0;
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
