#include "trade/low_deal_buy_dlg.h"

#include <QPainter>

#include "platform/Bitmaps.h"
#include "platform/core/Colours.h"
#include "platform/Windows.h"

namespace {

trade::OrderSurface buySurface()
{
    trade::OrderSurface s;
    s.entry = trade::OrderWindow::formLayout(trade::kPanelBuy, platform::edges(110, 195, 220, 215));
    trade::OrderEntryLayout& e = s.entry;
    e.nameBox = {QRect(100, 76, 120, 25)};
    e.cashBox = trade::ValueBox{QRect(100, 137, 120, 25)};
    e.figureBox = {QRect(100, 167, 120, 25), Qt::AlignHCenter};
    e.enterPlacesOrder = false; // consumed
    e.timerInterval = low_deal_buy_dlg::kTimer1Interval;
    s.orderCaption = QStringLiteral("买入");
    s.orderFace = {platform::bmp::QuickBuyButton, platform::bmp::QuickBuyButtonHover, platform::bmp::QuickBuyButtonPressed};
    s.refreshLeftInset = 120;
    s.listBottomInset = 39;
    s.refreshDelay = low_deal_buy_dlg::kRefreshDelay;
    s.ordersTime = trade::TimeStyle::Padded;
    s.ordersTrace = {"当日订单\n", "\n结束当日订单\n"};
    s.tradesTrace = {}; // the reply alone
    return s;
}

} // namespace

low_deal_buy_dlg::low_deal_buy_dlg(QWidget* parent)
    : OrderWindow(parent, buySurface())
{
    setObjectName(QStringLiteral("low_deal_buy_dlg"));
}

void low_deal_buy_dlg::drawForm(QPainter& p)
{
    drawLabels(p, 35,
               {{47, "产品代码"}, {77, "产品名称"}, {107, "价    格"}, {137, "可用资金"}, {167, "可买数量"},
                {197, "数    量"}},
               platform::RiseColour);
}
