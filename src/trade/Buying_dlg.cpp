#include "trade/Buying_dlg.h"

#include <QLineEdit>

#include "client/Call.h"
#include "market/Pollers.h"
#include "platform/Bitmaps.h"
#include "platform/Dialogs.h"
#include "trade/Cells.h"
#include "trade/UsableCash.h"

namespace {

trade::QuickOrderDlg::Layout buyingLayout()
{
    namespace bmp = platform::bmp;
    return {QStringLiteral("闪电买入"),
            QColor(64, 64, 64),
            {{43, "产品代码"}, {73, "产品名称"}, {103, "价    格"}, {133, "可用资金"}, {163, "可买数量"}, {193, "数    量"}},
            {40, 70, 100, 130, 160, 190, 220},
            Buying_dlg::kCloseButton,
            Buying_dlg::kCodeField,
            Buying_dlg::kPriceField,
            Buying_dlg::kQuantityField,
            Buying_dlg::kLeftButton,
            Buying_dlg::kOrderButton,
            QRect(75, 195, 115, 20),
            QStringLiteral("买入"),
            {bmp::QuickBuyButton, bmp::QuickBuyButtonHover, bmp::QuickBuyButtonPressed}};
}

} // namespace

Buying_dlg::Buying_dlg(QWidget* parent)
    : trade::QuickOrderDlg(parent, buyingLayout())
{
    setObjectName(QStringLiteral("Buying_dlg"));
    showNameAndCash();
    showBuyable();
}

void Buying_dlg::showNameAndCash()
{
    setBoxText(kNameBox, trade::itemNameForCode(codeField()->text()));
    setBoxText(kCashBox, trade::moneyText(market::AvailableCash()));
}

void Buying_dlg::showBuyable()
{
    const double price = trade::priceOf(priceField()->text().toStdString());
    setBoxText(kBuyableBox, QString::number(trade::maxBuyable(market::AvailableCash(), price)));
}

void Buying_dlg::timerTick()
{
    showNameAndCash();
    showBuyable();
}

void Buying_dlg::codeLeft() { showNameAndCash(); }

void Buying_dlg::priceLeft() { showBuyable(); }

void Buying_dlg::prefilled() { timerTick(); }

void Buying_dlg::placeOrder()
{
    const trade::OrderForm order = form();
    if (const auto refusal = trade::checkQuickBuy(order, trade::QueryUsableCash())) {
        platform::messageBox(this, QString::fromStdString(*refusal));
        return;
    }
    if (platform::messageBox(this, QStringLiteral("是否买入"), platform::MsgButtons::YesNo,
                             platform::MsgIcon::Question) != platform::MsgResult::Yes)
        return;
    finishOrder(client::Call(client::Endpoint::QuickBuy,
                             trade::quickBuyParams(order, market::CurrentSession().userId),
                             {"\n买入返回\n", "\n结束买入返回\n"}));
}
