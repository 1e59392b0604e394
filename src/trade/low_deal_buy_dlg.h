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

    QString itemName() const { return m_itemName; }
    QString usableCashText() const { return m_cashText; }
    int maxBuyableShown() const { return m_maxBuyable; }
    const QTimer& timer1() const { return m_timer1; }

    // Button 240: checks, asks, sends, tells the service's answer, refreshes the list.
    void placeOrder() override;

protected:
    void drawForm(QPainter& p) override;
    void codeFieldLeft() override;
    void priceFieldLeft() override;

private:
    // Timer 1: the figures at once, the quote off the GUI thread.
    void timerTick();
    void showNameAndCash();
    void showMaxBuyable();

    QTimer m_timer1;
    QString m_itemName;
    QString m_cashText;
    int m_maxBuyable = 0;
};
