#include "trade/Selling_dlg.h"

#include "platform/Bitmaps.h"

namespace {

trade::QuickOrderDlg::Layout sellingLayout()
{
    namespace bmp = platform::bmp;
    using trade::QuickOrderDlg;
    trade::OrderEntryLayout form =
        QuickOrderDlg::formLayout(trade::kQuickSell, Selling_dlg::kCodeField, Selling_dlg::kPriceField,
                                  Selling_dlg::kQuantityField, QRect(75, 165, 115, 20), Selling_dlg::kNameBox);
    form.figureBox = {QuickOrderDlg::valueBox(Selling_dlg::kSellableBox), Qt::AlignCenter};
    return {.title = QStringLiteral("闪电卖出"),
            .labelColour = QColor(16, 16, 16),
            .labels = {{43, "产品代码"}, {73, "产品名称"}, {103, "价     格"}, {133, "可卖数量"}, {163, "数     量"}},
            .borders = {40, 70, 100, 130, 160, 190},
            .closeId = Selling_dlg::kCloseButton,
            .leftButtonId = Selling_dlg::kLeftButton,
            .orderButtonId = Selling_dlg::kOrderButton,
            .orderCaption = QStringLiteral("卖出"),
            .orderBitmaps = {bmp::QuickSellButton, bmp::QuickSellButtonHover, bmp::QuickSellButtonPressed},
            .entry = form};
}

} // namespace

Selling_dlg::Selling_dlg(QWidget* parent)
    : trade::QuickOrderDlg(parent, sellingLayout())
{
    setObjectName(QStringLiteral("Selling_dlg"));
}
