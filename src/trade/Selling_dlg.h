#pragma once

#include <cstdint>

#include "trade/QuickOrderDlg.h"

// The quick sell pop-up ("闪电卖出"): the item's name and the sellable quantity of the
// typed code, looked up every second; the order checked against the last looked-up
// figure, confirmed, and sent with the code as typed.
class Selling_dlg final : public trade::QuickOrderDlg
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Selling_dlg)

public:
    enum ControlId {
        kLeftButton = 209,
        kOrderButton = 210,
        kCodeField = 211,
        kPriceField = 212,
        kQuantityField = 213,
        kCloseButton = 220,
    };
    static constexpr int kNameBox = 73;
    static constexpr int kSellableBox = 133;

    explicit Selling_dlg(QWidget* parent);

    std::int64_t sellable() const { return entry().sellable(); }
    bool lookupInFlight() const { return entry().lookupInFlight(); }
};
