#include "trade/Lists.h"

#include "market/core/Pollers.h"
#include "session/Session.h"

namespace trade {
namespace {

using P = PositionColumn;
using O = OrderColumn;
using T = TradeColumn;
using D = DeliveryColumn;
using C = CashColumn;

std::vector<ColumnSpec<OrderColumn>> panelOrderColumns()
{
    return {{O::Number, "序", 70},          {O::OrderNo, "订单号", 70},  {O::Time, "订单时间", 70},
            {O::State, "订单状态", 70},     {O::Code, "产品代码", 95},   {O::Name, "产品名称", 95},
            {O::Direction, "买卖方向", 70}, {O::Price, "下单价格", 70}, {O::Amount, "下单数量", 70}};
}

// Today's trades, with the widths of a window; the history reorders the last two.
std::vector<ColumnSpec<TradeColumn>> tradeColumns(const std::vector<int>& widths, bool tradeNoBeforeCommission)
{
    std::vector<ColumnSpec<TradeColumn>> columns = {
        {T::Number, "序号", 0},         {T::Date, "成交日期", 0},       {T::Time, "成交时间", 0},
        {T::Code, "产品代码", 0},       {T::Name, "产品名称", 0},       {T::DealPrice, "成交价格", 0},
        {T::DealAmount, "成交数量", 0}, {T::Direction, "买卖方向", 0},  {T::DealValue, "发生金额", 0},
        {T::OrderPrice, "下单价格", 0}, {T::OrderAmount, "下单数量", 0}, {T::Commission, "佣金", 0},
        {T::TradeNo, "成交编号", 0}};
    if (tradeNoBeforeCommission)
        std::swap(columns[11], columns[12]);
    for (size_t i = 0; i < columns.size(); ++i)
        columns[i].width = widths[i];
    return columns;
}

} // namespace

QColor directionColour(int direction) { return direction == 0 ? kBuyRowColour : kSellRowColour; }

const ListSpec<PositionColumn>& panelPositionsList()
{
    static const ListSpec<PositionColumn> listSpec{
        {{P::Number, "序", 50},
         {P::Code, "代码", 70},
         {P::Name, "产品名称", 95},
         {P::Total, "数量", 70},
         {P::Frozen, "冻结数量", 70},
         {P::Sellable, "可卖数量", 70},
         {P::CostPrice, "成本价", 70},
         {P::Latest, "最新价", 70},
         {P::MarketValue, "市值", 100},
         {P::ProfitPercent, "盈亏比例(%)", 80}},
        {},
        false};
    return listSpec;
}

ListSpec<OrderColumn> panelOrdersList(TimeStyle time)
{
    ListSpec<OrderColumn> listSpec{panelOrderColumns(), {}, true};
    listSpec.format.time = time;
    return listSpec;
}

const ListSpec<TradeColumn>& panelTradesList()
{
    static const ListSpec<TradeColumn> listSpec{
        tradeColumns({50, 90, 80, 90, 110, 70, 70, 70, 70, 70, 70, 70, 70}, false), {}, true};
    return listSpec;
}

const ListSpec<OrderColumn>& cancellableOrdersList()
{
    static const ListSpec<OrderColumn> listSpec{
        {{O::Number, "序", 70},
         {O::OrderNo, "订单号", 70},
         {O::Time, "订单时间", 70},
         {O::State, "订单状态", 70},
         {O::Code, "产品代码", 75},
         {O::Name, "产品名称", 95},
         {O::Direction, "买卖方向", 70},
         {O::Price, "下单价格", 70},
         {O::Amount, "下单数量", 70},
         {O::TradePrice, "成交价格", 70},
         {O::TradedAmount, "成交数量", 70}},
        {TimeStyle::Padded, DateStyle::Plain, OtherDirection::Empty},
        true};
    return listSpec;
}

const ListSpec<FundsColumn>& fundsList()
{
    using F = FundsColumn;
    static const ListSpec<FundsColumn> listSpec{{{F::Number, "序号", 50},
                                             {F::Currency, "币种类别", 80},
                                             {F::Balance, "资金余额", 120},
                                             {F::Usable, "可用资金", 120},
                                             {F::Total, "资产总值", 130},
                                             {F::MarketValue, "市值", 130}},
                                            {},
                                            false};
    return listSpec;
}

const ListSpec<PositionColumn>& accountPositionsList()
{
    static const ListSpec<PositionColumn> listSpec{
        {{P::Number, "序号", 50},
         {P::Code, "产品代码", 100},
         {P::Name, "产品名称", 110},
         {P::Total, "产品数量", 100},
         {P::Frozen, "冻结数量", 100},
         {P::Sellable, "可卖数量", 100},
         {P::CostPrice, "成本价", 80},
         {P::Latest, "最新价", 80},
         {P::MarketValue, "市值", 120},
         {P::ProfitPercent, "盈亏比例(%)", 100}},
        {},
        false};
    return listSpec;
}

const ListSpec<OrderColumn>& todayOrdersList()
{
    static const ListSpec<OrderColumn> listSpec = [] {
        ListSpec<OrderColumn> s{panelOrderColumns(), {TimeStyle::Unpadded, DateStyle::Plain, OtherDirection::Empty},
                                true};
        s.columns[0] = {O::Number, "序号", 50};
        s.columns[4].width = 75;
        return s;
    }();
    return listSpec;
}

const ListSpec<TradeColumn>& todayTradesList()
{
    static const ListSpec<TradeColumn> listSpec{
        tradeColumns({50, 100, 90, 100, 120, 110, 70, 70, 110, 70, 70, 70, 70}, false), {}, true};
    return listSpec;
}

const ListSpec<TradeColumn>& tradeHistoryList()
{
    static const ListSpec<TradeColumn> listSpec{
        tradeColumns({50, 110, 90, 90, 110, 70, 90, 70, 100, 80, 80, 80, 80}, true),
        {TimeStyle::Padded, DateStyle::PaddedMonthDay, OtherDirection::Sell},
        true};
    return listSpec;
}

const ListSpec<DeliveryColumn>& deliveryList(bool queryWindow)
{
    auto make = [](int stateWidth, int consigneeWidth, int addressWidth) {
        return ListSpec<DeliveryColumn>{{{D::Number, "序号", 50},
                                         {D::Code, "产品代码", 70},
                                         {D::Date, "申请日期", 90},
                                         {D::Method, "交割方式", 70},
                                         {D::Amount, "交割数量", 70},
                                         {D::State, "状态", stateWidth},
                                         {D::Consignee, "收货人", consigneeWidth},
                                         {D::Address, "交割地点", addressWidth}},
                                        {},
                                        false};
    };
    static const ListSpec<DeliveryColumn> application = make(90, 80, 370);
    static const ListSpec<DeliveryColumn> query = make(110, 70, 870);
    return queryWindow ? query : application;
}

const ListSpec<CashColumn>& cashHistoryList()
{
    static const ListSpec<CashColumn> listSpec{{{C::Number, "序号", 60},
                                            {C::Account, "银行账号", 200},
                                            {C::Amount, "金额", 120},
                                            {C::Date, "申请日期", 100},
                                            {C::Time, "申请时间", 100},
                                            {C::Direction, "入金/出金", 90},
                                            {C::Status, "申请状态", 90},
                                            {C::Offline, "线下入金", 90}},
                                           {TimeStyle::Padded, DateStyle::PaddedMonthDay, OtherDirection::Sell},
                                           false};
    return listSpec;
}

void setUpColumns(controls::ColouredList& list, const std::vector<QString>& headers, const std::vector<int>& widths)
{
    list.setBackgroundColour(QColor(240, 240, 240));
    list.setDefaultTextColour(QColor(16, 16, 16));
    for (size_t i = 0; i < headers.size() && i < widths.size(); ++i)
        list.addColumn(headers[i], widths[i], Qt::AlignCenter);
    // Codes and names longer than their columns are read by widening them.
    if (auto* sized = qobject_cast<JListCtrl*>(&list))
        sized->keepUserWidths();
}

std::vector<client::Param> userParams() { return {{"id", Session::current().userId()}}; }

} // namespace trade
