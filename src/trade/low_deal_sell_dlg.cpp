#include "trade/low_deal_sell_dlg.h"

#include <limits>

#include <QLineEdit>
#include <QPainter>

#include "market/Pollers.h"
#include "platform/Bitmaps.h"
#include "platform/Windows.h"

namespace {

trade::OrderSurface sellSurface()
{
    trade::OrderSurface s;
    s.orderCaption = QStringLiteral("卖出");
    s.orderFace = {platform::bmp::QuickSellButton, platform::bmp::QuickSellButtonHover, platform::bmp::QuickSellButtonPressed};
    s.codeField = platform::edges(110, 45, 220, 65);
    s.priceField = platform::edges(110, 105, 220, 125);
    s.quantityField = platform::edges(110, 165, 220, 185);
    s.refreshLeftInset = 140;
    s.listBottomInset = 31;
    s.ordersTime = trade::TimeStyle::Unpadded;
    // Only the positions are traced here.
    s.ordersTrace = client::kUntraced;
    s.tradesTrace = client::kUntraced;
    return s;
}

const QColor kLabel(42, 106, 42);
const QRect kNameBox(100, 73, 120, 25);
const QRect kSellableBox(90, 133, 120, 25);

} // namespace

low_deal_sell_dlg::low_deal_sell_dlg(QWidget* parent)
    : OrderWindow(parent, sellSurface())
{
    setObjectName(QStringLiteral("low_deal_sell_dlg"));
    m_timer3.setInterval(kTimer3Interval);
    connect(&m_timer3, &QTimer::timeout, this, &low_deal_sell_dlg::followTypedItem);
}

void low_deal_sell_dlg::codeFieldLeft() { followTypedItem(); }

void low_deal_sell_dlg::followTypedItem()
{
    m_timer3.start(); // (re)started: the first loss of focus sets it going
    refreshQuote(false);
    m_itemName = trade::itemNameForCode(codeField()->text());
    update(kNameBox);
    lookUpSellable();
}

void low_deal_sell_dlg::lookUpSellable()
{
    const std::int64_t code = trade::integerOf(form().code);
    // A code past the range of item codes matches no position.
    const int stockId = code > std::numeric_limits<int>::max() ? -1 : int(code);
    const client::ApiReply reply = client::Call(client::Endpoint::CustomerItem, trade::userParams(),
                                                {"\n持仓\n", "\n结束持仓\n"});
    // A reply that does not parse or does not succeed leaves the figure as it was.
    if (const std::optional<trade::Holding> holding = trade::FindHolding(reply, stockId)) {
        m_holds = holding->found;
        m_sellable = holding->amountUsable;
        update(kSellableBox);
    }
}

void low_deal_sell_dlg::placeOrder()
{
    const trade::OrderForm order = form();
    lookUpSellable();
    if (confirmAndSend(trade::checkSell(order, m_sellable), kConfirmSell, client::Endpoint::Sell,
                       trade::sellParams(order, market::CurrentSession().userId),
                       {"委托卖出返回\n", "\n结束委托卖出返回\n"}))
        refresh(); // at once
}

void low_deal_sell_dlg::drawForm(QPainter& p)
{
    drawLabels(p, 32, {{47, "产品代码"}, {77, "产品名称"}, {107, "价   格"}, {137, "可卖数量"}, {167, "数   量"}},
               kLabel);
    drawValue(p, kNameBox, m_itemName);
    drawValue(p, kSellableBox, m_holds ? QString::number(m_sellable) : QString(), Qt::AlignHCenter);
}
