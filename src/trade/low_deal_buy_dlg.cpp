#include "trade/low_deal_buy_dlg.h"

#include <QLineEdit>
#include <QPainter>

#include "market/Pollers.h"
#include "platform/Bitmaps.h"
#include "platform/Colours.h"
#include "platform/Windows.h"
#include "trade/Cells.h"
#include "trade/UsableCash.h"

namespace {

trade::OrderSurface buySurface()
{
    trade::OrderSurface s;
    s.orderCaption = QStringLiteral("买入");
    s.orderFace = {platform::bmp::QuickBuyButton, platform::bmp::QuickBuyButtonHover, platform::bmp::QuickBuyButtonPressed};
    s.codeField = platform::edges(110, 45, 220, 65);
    s.priceField = platform::edges(110, 105, 220, 125);
    s.quantityField = platform::edges(110, 195, 220, 215);
    s.refreshLeftInset = 120;
    s.listBottomInset = 39;
    s.ordersTime = trade::TimeStyle::Padded;
    s.ordersTrace = {"当日订单\n", "\n结束当日订单\n"};
    s.tradesTrace = {}; // the reply alone
    return s;
}

const QRect kNameBox(100, 76, 120, 25);
const QRect kCashBox(100, 137, 120, 25);
const QRect kMaxBuyableBox(100, 167, 120, 25);

} // namespace

low_deal_buy_dlg::low_deal_buy_dlg(QWidget* parent)
    : OrderWindow(parent, buySurface())
{
    setObjectName(QStringLiteral("low_deal_buy_dlg"));
    showNameAndCash();
    showMaxBuyable();
    m_timer1.setInterval(kTimer1Interval);
    connect(&m_timer1, &QTimer::timeout, this, &low_deal_buy_dlg::timerTick);
    m_timer1.start();
}

void low_deal_buy_dlg::timerTick()
{
    showNameAndCash();
    showMaxBuyable();
    const std::optional<int> code = quoteCode();
    if (!code)
        return;
    tick().start([code = *code] { return market::FetchSingleItemQuote(code, client::Lock::Unlocked); },
                 [this, typed = codeField()->text()](const client::ApiReply& reply) {
                     // A quote for a code the user has since changed is not this code's.
                     if (typed == codeField()->text())
                         takeQuote(reply, market::QuoteRefusal::Quiet);
                 });
}

void low_deal_buy_dlg::showNameAndCash()
{
    m_itemName = trade::itemNameForCode(codeField()->text());
    m_cashText = trade::moneyText(market::AvailableCash());
    update(kNameBox);
    update(kCashBox);
}

void low_deal_buy_dlg::showMaxBuyable()
{
    m_maxBuyable = trade::maxBuyable(market::AvailableCash(), trade::priceOf(form().price));
    update(kMaxBuyableBox);
}

void low_deal_buy_dlg::codeFieldLeft() { showNameAndCash(); }

void low_deal_buy_dlg::priceFieldLeft() { showMaxBuyable(); }

void low_deal_buy_dlg::placeOrder()
{
    const trade::OrderForm order = form();
    if (confirmAndSend(trade::checkBuy(order, trade::QueryUsableCash()), kConfirmBuy, client::Endpoint::Buy,
                       trade::buyParams(order, market::CurrentSession().userId), {"\n买入返回\n", "\n结束买入返回\n"}))
        QTimer::singleShot(kRefreshDelay, this, &low_deal_buy_dlg::refresh);
}

void low_deal_buy_dlg::drawForm(QPainter& p)
{
    drawLabels(p, 35,
               {{47, "产品代码"}, {77, "产品名称"}, {107, "价    格"}, {137, "可用资金"}, {167, "可买数量"},
                {197, "数    量"}},
               platform::RiseColour);
    drawValue(p, kNameBox, m_itemName);
    drawValue(p, kCashBox, m_cashText);
    drawValue(p, kMaxBuyableBox, QString::number(m_maxBuyable), Qt::AlignHCenter);
}
