#pragma once

#include <cstdint>

#include <QString>
#include <QTimer>

#include "trade/OrderWindow.h"

// The sell window of the trade panel: the order form with the item's name and the
// quantity of it the user may sell, checked against the service's figure before selling.
class low_deal_sell_dlg final : public trade::OrderWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_deal_sell_dlg)

public:
    static constexpr const char* kConfirmSell = "是否确定卖出";
    static constexpr int kTimer3Interval = 1500;

    explicit low_deal_sell_dlg(QWidget* parent);

    // 0 when the user holds none of the typed item; shown blank then.
    std::int64_t sellable() const { return entry().sellable(); }
    bool holdsTypedItem() const { return entry().holdsTypedItem(); }
    // From the code field's first loss of focus on: every 1.5 s the quote, the item's name
    // and the sellable quantity again.
    const QTimer& timer3() const { return entry().timer(); }

protected:
    void drawForm(QPainter& p) override;
};
