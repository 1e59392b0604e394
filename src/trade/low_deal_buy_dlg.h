#pragma once

#include <QString>
#include <QTimer>

#include "trade/OrderWindow.h"

// The buy window of the trade panel: the order form with the item's name, the usable
// cash and the largest quantity it buys, checked against the service's usable cash.
class low_deal_buy_dlg final : public trade::OrderWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_deal_buy_dlg)

public:
    static constexpr const char* kConfirmBuy = "是否买入";
    static constexpr int kTimer1Interval = 2500;
    // The list is refreshed this long after an order, once the service has booked it.
    static constexpr int kRefreshDelay = 1000;

    explicit low_deal_buy_dlg(QWidget* parent);

    QString usableCashText() const { return entry().cashText(); }
    int maxBuyableShown() const { return entry().maxBuyable(); }
    const QTimer& timer1() const { return entry().timer(); }

protected:
    void drawForm(QPainter& p) override;
};
