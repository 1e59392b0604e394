#pragma once

#include "trade/QuickOrderDlg.h"

// The quick buy pop-up ("闪电买入"): the item's name, the usable cash and the largest
// quantity it buys, redrawn every second; the order checked against the usable cash
// asked of the service, confirmed, and sent with the code as an integer.
class Buying_dlg final : public trade::QuickOrderDlg
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Buying_dlg)

public:
    enum ControlId {
        kCloseButton = 1094,
        kCodeField = 1096,
        kPriceField = 1098,
        kLeftButton = 1102,
        kOrderButton = 1100,
        kQuantityField = 1104,
    };
    // Tops of the value boxes.
    static constexpr int kNameBox = 73;
    static constexpr int kCashBox = 133;
    static constexpr int kBuyableBox = 163;

    explicit Buying_dlg(QWidget* parent);
};
