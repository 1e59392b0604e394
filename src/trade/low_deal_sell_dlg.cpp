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
constexpr client::TraceLines kPositionsTrace{"\n持仓\n", "\n结束持仓\n"};
const QRect kNameBox(100, 73, 120, 25);
const QRect kSellableBox(90, 133, 120, 25);

} // namespace

low_deal_sell_dlg::low_deal_sell_dlg(QWidget* parent)
    : OrderWindow(parent, sellSurface())
{
    setObjectName(QStringLiteral("low_deal_sell_dlg"));
    m_timer3.setInterval(kTimer3Interval);
    connect(&m_timer3, &QTimer::timeout, this, &low_deal_sell_dlg::timerTick);
}

void low_deal_sell_dlg::codeFieldLeft()
{
    m_timer3.start(); // (re)started: the first loss of focus sets it going
    refreshQuote(false);
    showItemName();
    lookUpSellable();
}

void low_deal_sell_dlg::timerTick()
{
    m_timer3.start();
    showItemName();
    // The same two requests as on leaving the code field, in the same order, made off the
    // GUI thread.
    struct Replies
    {
        std::optional<client::ApiReply> quote;
        client::ApiReply positions;
    };
    tick().start(
        [code = quoteCode(), params = trade::userParams()]() mutable {
            Replies replies;
            if (code)
                replies.quote = market::FetchSingleItemQuote(*code, client::Lock::Unlocked);
            replies.positions = client::Call(client::Endpoint::CustomerItem, std::move(params), kPositionsTrace,
                                             client::Lock::Unlocked);
            return replies;
        },
        [this, typed = codeField()->text()](const Replies& replies) {
            // Figures for a code the user has since changed are not this code's.
            if (typed != codeField()->text())
                return;
            if (replies.quote)
                takeQuote(*replies.quote, market::QuoteRefusal::Quiet);
            takeHolding(replies.positions);
        });
}

void low_deal_sell_dlg::showItemName()
{
    m_itemName = trade::itemNameForCode(codeField()->text());
    update(kNameBox);
}

void low_deal_sell_dlg::lookUpSellable()
{
    tick().supersede();
    takeHolding(client::Call(client::Endpoint::CustomerItem, trade::userParams(), kPositionsTrace));
}

void low_deal_sell_dlg::takeHolding(const client::ApiReply& reply)
{
    const std::int64_t code = trade::integerOf(form().code);
    // A code past the range of item codes matches no position.
    const int stockId = code > std::numeric_limits<int>::max() ? -1 : int(code);
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
