#include "trade/Buying_dlg.h"

#include "platform/Bitmaps.h"

namespace {

trade::QuickOrderDlg::Layout buyingLayout()
{
    namespace bmp = platform::bmp;
    using trade::QuickOrderDlg;
    trade::OrderEntryLayout form =
        QuickOrderDlg::formLayout(trade::kQuickBuy, Buying_dlg::kCodeField, Buying_dlg::kPriceField,
                                  Buying_dlg::kQuantityField, QRect(75, 195, 115, 20), Buying_dlg::kNameBox);
    form.cashBox = trade::ValueBox{QuickOrderDlg::valueBox(Buying_dlg::kCashBox), Qt::AlignCenter};
    form.figureBox = {QuickOrderDlg::valueBox(Buying_dlg::kBuyableBox), Qt::AlignCenter};
    return {.title = QStringLiteral("闪电买入"),
            .labelColour = QColor(64, 64, 64),
            .labels = {{43, "产品代码"}, {73, "产品名称"}, {103, "价    格"}, {133, "可用资金"}, {163, "可买数量"},
                       {193, "数    量"}},
            .borders = {40, 70, 100, 130, 160, 190, 220},
            .closeId = Buying_dlg::kCloseButton,
            .leftButtonId = Buying_dlg::kLeftButton,
            .orderButtonId = Buying_dlg::kOrderButton,
            .orderCaption = QStringLiteral("买入"),
            .orderBitmaps = {bmp::QuickBuyButton, bmp::QuickBuyButtonHover, bmp::QuickBuyButtonPressed},
            .entry = form};
}

} // namespace

Buying_dlg::Buying_dlg(QWidget* parent)
    : trade::QuickOrderDlg(parent, buyingLayout())
{
    setObjectName(QStringLiteral("Buying_dlg"));
}
