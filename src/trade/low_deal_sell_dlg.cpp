#include "trade/low_deal_sell_dlg.h"

#include <QPainter>

#include "platform/Bitmaps.h"
#include "platform/Windows.h"

namespace {

trade::OrderSurface sellSurface()
{
    trade::OrderSurface s;
    s.entry = trade::OrderWindow::formLayout(trade::kPanelSell, platform::edges(110, 165, 220, 185));
    trade::OrderEntryLayout& e = s.entry;
    e.nameBox = {QRect(100, 73, 120, 25)};
    e.figureBox = {QRect(90, 133, 120, 25), Qt::AlignHCenter};
    e.enterPlacesOrder = true;
    e.timerInterval = low_deal_sell_dlg::kTimer3Interval;
    e.timerWaitsForCodeLeft = true;
    s.orderCaption = QStringLiteral("卖出");
    s.orderFace = {platform::bmp::QuickSellButton, platform::bmp::QuickSellButtonHover, platform::bmp::QuickSellButtonPressed};
    s.refreshLeftInset = 140;
    s.listBottomInset = 31;
    s.refreshDelay = 0; // at once
    s.ordersTime = trade::TimeStyle::Unpadded;
    // Only the positions are traced here.
    s.ordersTrace = client::kUntraced;
    s.tradesTrace = client::kUntraced;
    return s;
}

const QColor kLabel(42, 106, 42);

} // namespace

low_deal_sell_dlg::low_deal_sell_dlg(QWidget* parent)
    : OrderWindow(parent, sellSurface())
{
    setObjectName(QStringLiteral("low_deal_sell_dlg"));
}

void low_deal_sell_dlg::drawForm(QPainter& p)
{
    drawLabels(p, 32, {{47, "产品代码"}, {77, "产品名称"}, {107, "价   格"}, {137, "可卖数量"}, {167, "数   量"}},
               kLabel);
}
