#pragma once

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

    QString itemName() const { return m_itemName; }
    // 0 when the user holds none of the typed item; shown blank then.
    int sellable() const { return m_sellable; }
    bool holdsTypedItem() const { return m_holds; }
    const QTimer& timer3() const { return m_timer3; }

    // Button 240 and Enter: looks up the sellable quantity, checks, asks, sends, tells the
    // service's answer and refreshes the list at once.
    void placeOrder() override;

protected:
    void enterPressed() override { placeOrder(); }
    void drawForm(QPainter& p) override;
    void codeFieldLeft() override;

private:
    // Timer 3, from the code field's first loss of focus on: every 1.5 s the quote, the
    // item's name and the sellable quantity again.
    void timerTick();
    void showItemName();
    void lookUpSellable();
    void takeHolding(const client::ApiReply& reply);

    QTimer m_timer3;
    QString m_itemName;
    int m_sellable = 0;
    bool m_holds = false;
};
