#include "trade/core/Cells.h"

#include <ctime>
#include <limits>

#include "client/Numbers.h"

namespace trade {
namespace {

// The C library's "%.2f", which rounds an exact half to even (0.125 is "0.12"); Qt's own
// formatting would round it up.
QString twoDecimals(double value) { return QString::fromStdString(client::fixedDecimals(value, 2)); }

QString number(std::int64_t value) { return QString::number(value); }
QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

bool localParts(std::int64_t seconds, std::tm& parts)
{
    if (seconds < std::numeric_limits<std::time_t>::min() || seconds > std::numeric_limits<std::time_t>::max())
        return false;
    const std::time_t t = static_cast<std::time_t>(seconds);
    return localtime_r(&t, &parts) != nullptr;
}

} // namespace

QString orderStateText(std::int64_t state, std::int64_t remain)
{
    if (state != 0)
        return QStringLiteral("已撤单");
    return remain != 0 ? QStringLiteral("未撤单") : QStringLiteral("已成交");
}

QString directionText(std::int64_t direction, OtherDirection other)
{
    if (direction == 0)
        return QStringLiteral("买");
    if (direction == 1 || other == OtherDirection::Sell)
        return QStringLiteral("卖");
    return QString();
}

QString localTimeText(std::int64_t seconds, TimeStyle style)
{
    std::tm t{};
    if (!localParts(seconds, t))
        return QString();
    return QString::asprintf(style == TimeStyle::Padded ? "%02d:%02d:%02d" : "%d:%d:%d", t.tm_hour, t.tm_min, t.tm_sec);
}

QString localDateText(std::int64_t seconds, DateStyle style)
{
    std::tm t{};
    if (!localParts(seconds, t))
        return QString();
    return QString::asprintf(style == DateStyle::Plain ? "%d/%d/%d" : "%d/%02d/%02d", t.tm_year + 1900, t.tm_mon + 1,
                             t.tm_mday);
}

QString moneyText(double value) { return twoDecimals(value); }

QString cell(const PositionRow& row, PositionColumn column, int n, const CellFormat&)
{
    switch (column) {
    case PositionColumn::Number: return number(n);
    case PositionColumn::Code: return number(row.stockId);
    case PositionColumn::Name: return text(row.name);
    case PositionColumn::Total: return number(row.total);
    case PositionColumn::Frozen: return number(row.amountFreeze);
    case PositionColumn::Sellable: return number(row.amountUsable);
    case PositionColumn::CostPrice: return moneyText(row.costPrice);
    case PositionColumn::Latest: return moneyText(row.latest);
    case PositionColumn::MarketValue: return moneyText(row.stockValue);
    case PositionColumn::ProfitPercent: return moneyText(row.profitsPer);
    }
    return QString();
}

QString cell(const FundsRow& row, FundsColumn column, int n, const CellFormat&)
{
    switch (column) {
    case FundsColumn::Number: return number(n);
    case FundsColumn::Currency: return QStringLiteral("人民币");
    case FundsColumn::Balance: return moneyText(row.bankroll);
    case FundsColumn::Usable: return moneyText(row.bankrollUsable);
    case FundsColumn::Total: return moneyText(row.total);
    case FundsColumn::MarketValue: return moneyText(row.stockFee);
    }
    return QString();
}

QString cell(const OrderRow& row, OrderColumn column, int n, const CellFormat& format)
{
    switch (column) {
    case OrderColumn::Number: return number(n);
    case OrderColumn::OrderNo: return number(row.id);
    case OrderColumn::Time: return localTimeText(row.addTime, format.time);
    case OrderColumn::State: return orderStateText(row.state, row.remain);
    case OrderColumn::Code: return number(row.stockId);
    case OrderColumn::Name: return text(row.name);
    case OrderColumn::Direction: return directionText(row.direction, format.otherDirection);
    case OrderColumn::Price:
    case OrderColumn::TradePrice: return moneyText(row.commissionPrice);
    case OrderColumn::Amount: return number(row.commissionAmount);
    case OrderColumn::TradedAmount: return QString::number(qlonglong(row.commissionAmount) - row.remain);
    }
    return QString();
}

QString cell(const TradeRow& row, TradeColumn column, int n, const CellFormat& format)
{
    switch (column) {
    case TradeColumn::Number: return number(n);
    case TradeColumn::Date: return localDateText(row.tradeTime, format.date);
    case TradeColumn::Time: return localTimeText(row.tradeTime, format.time);
    case TradeColumn::Code: return number(row.stockId);
    case TradeColumn::Name: return text(row.name);
    case TradeColumn::DealPrice: return moneyText(row.dealPrice);
    case TradeColumn::DealAmount: return number(row.dealedAmount);
    case TradeColumn::Direction: return directionText(row.direction, format.otherDirection);
    case TradeColumn::DealValue: return moneyText(row.dealedValue);
    case TradeColumn::OrderPrice: return moneyText(row.orderPrice);
    case TradeColumn::OrderAmount: return number(row.orderAmount);
    case TradeColumn::Commission: return moneyText(row.commission);
    case TradeColumn::TradeNo: return number(row.tradeNo);
    }
    return QString();
}

QString cell(const DeliveryRow& row, DeliveryColumn column, int n, const CellFormat& format)
{
    switch (column) {
    case DeliveryColumn::Number: return number(n);
    case DeliveryColumn::Code: return number(row.stockId);
    case DeliveryColumn::Date: return localDateText(row.addDate, format.date);
    case DeliveryColumn::Method: return text(row.method);
    case DeliveryColumn::Amount: return number(row.amount);
    case DeliveryColumn::State: return row.status != 0 ? QStringLiteral("已交割完成") : QStringLiteral("已申请交割");
    case DeliveryColumn::Consignee: return text(row.consignee);
    case DeliveryColumn::Address: return text(row.address);
    }
    return QString();
}

QString cell(const CashRow& row, CashColumn column, int n, const CellFormat& format)
{
    switch (column) {
    case CashColumn::Number: return number(n);
    case CashColumn::Account: return QString::number(static_cast<qlonglong>(row.account));
    case CashColumn::Amount: return twoDecimals(row.cash);
    case CashColumn::Date: return localDateText(row.addTime, format.date);
    case CashColumn::Time: return localTimeText(row.addTime, format.time);
    case CashColumn::Direction: return row.direction == 0 ? QStringLiteral("入金") : QStringLiteral("出金");
    case CashColumn::Status: return row.status == 0 ? QStringLiteral("未处理") : QStringLiteral("已处理");
    case CashColumn::Offline: return row.isOffline == 0 ? QStringLiteral("否") : QStringLiteral("是");
    }
    return QString();
}

} // namespace trade
