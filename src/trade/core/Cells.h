#pragma once

#include <cstdint>

#include <QString>

#include "trade/core/Rows.h"

// Row records to cell texts, one column at a time. Which columns a list shows, in which
// order and with which formats is the list's ListSpec (Lists.h).
namespace trade {

enum class PositionColumn { Number, Code, Name, Total, Frozen, Sellable, CostPrice, Latest, MarketValue, ProfitPercent };
enum class FundsColumn { Number, Currency, Balance, Usable, Total, MarketValue };
enum class OrderColumn { Number, OrderNo, Time, State, Code, Name, Direction, Price, Amount, TradePrice, TradedAmount };
enum class TradeColumn {
    Number, Date, Time, Code, Name, DealPrice, DealAmount, Direction, DealValue, OrderPrice, OrderAmount,
    Commission, TradeNo
};
enum class DeliveryColumn { Number, Code, Date, Method, Amount, State, Consignee, Address };
enum class CashColumn { Number, Account, Amount, Date, Time, Direction, Status, Offline };

// "%02d:%02d:%02d" or, in the sell window and today's-orders window, "%d:%d:%d".
enum class TimeStyle { Padded, Unpadded };
// "%d/%d/%d" or, in the histories, "%d/%02d/%02d".
enum class DateStyle { Plain, PaddedMonthDay };
// What a direction other than 0 and 1 shows: "卖" in most lists, nothing in the
// cancellation and today's-orders lists.
enum class OtherDirection { Sell, Empty };

struct CellFormat
{
    TimeStyle time = TimeStyle::Padded;
    DateStyle date = DateStyle::Plain;
    OtherDirection otherDirection = OtherDirection::Sell;
};

// "已撤单" when `state` is not 0, else "未撤单" while `remain` is not 0, else "已成交".
QString orderStateText(std::int64_t state, std::int64_t remain);
// "买" for 0, "卖" for 1; other values as `other` says.
QString directionText(std::int64_t direction, OtherDirection other = OtherDirection::Sell);
// Unix seconds in local time; empty when the time cannot be represented.
QString localTimeText(std::int64_t seconds, TimeStyle style);
QString localDateText(std::int64_t seconds, DateStyle style);
// "%.2f" of an amount of money, to the cent the service sent.
QString moneyText(double value);

// `number` is the row's number in its list, from 1.
QString cell(const PositionRow& row, PositionColumn column, int number, const CellFormat& format);
QString cell(const FundsRow& row, FundsColumn column, int number, const CellFormat& format);
QString cell(const OrderRow& row, OrderColumn column, int number, const CellFormat& format);
QString cell(const TradeRow& row, TradeColumn column, int number, const CellFormat& format);
QString cell(const DeliveryRow& row, DeliveryColumn column, int number, const CellFormat& format);
QString cell(const CashRow& row, CashColumn column, int number, const CellFormat& format);

} // namespace trade
