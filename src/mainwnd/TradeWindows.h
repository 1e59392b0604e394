#pragma once

#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>

class Buying_dlg;
class Detail_Trans_Dlg;
class LoginDlg;
class QWidget;
class Right_Msg_Dlg;
class Selling_dlg;

namespace trade {
class QuickOrderDlg;
}

namespace mainwnd {

class IdleLock;

// The market window's way into trading: the trade panel, the quick buy and sell pop-ups and
// the login that both ask of a visitor. Each is made on first use as a child of the market
// window.
class TradeWindows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TradeWindows)

public:
    enum class Side { Buy, Sell };

    explicit TradeWindows(QWidget* marketWindow);

    // Shows the trade panel, or hides it when it is up.
    void toggleTradePanel();
    // The start-up sequence's step: the panel with its buy window, for a logged-in user.
    void showTradePanelAtStartUp();
    // Made, hidden, for a user logged in when the market window opens.
    void makeTradePanel();
    // The quick pop-up of `side` with the current item and the quote's best price.
    void showQuickOrder(Side side);
    // Trading from the quote panel: a double click on a level opens the quick pop-up at its
    // price (an ask the buy, a bid the sale), a click puts its price into the order windows
    // open on the same item; the buy and sell windows of the panel open on the chosen item
    // at the opposite best level.
    void followQuotePanel(Right_Msg_Dlg* panel);

    Detail_Trans_Dlg* tradePanel() const;
    Buying_dlg* quickBuy() const;
    Selling_dlg* quickSell() const;
    LoginDlg* loginDialog() const;
    // Locks the panel, pop-ups closed, after the idle minutes of the settings folder.
    IdleLock* idleLock() const;

private:
    // True for a logged-in user; otherwise brings up the login window.
    bool requireLogin();
    Detail_Trans_Dlg* dockTradePanel();
    void closeQuickOrders();
    void lockWhenIdle();
    // The quick pop-up of `side`, shown; null when a visitor is sent to the login or the lock
    // is up.
    trade::QuickOrderDlg* raiseQuickOrder(Side side);
    // The quick pop-up of `side` on `code`, its price `price` (empty: none to offer).
    void openQuickOrder(Side side, int code, const QString& price);
    // The quote panel's best price for `side` of `code` (卖① for a buy, 买① for a sale);
    // empty when it shows no such price for that item.
    QString bestPriceFor(Side side, int code) const;
    void putLevelPrice(int code, double price);

    QWidget* m_market;
    QPointer<LoginDlg> m_loginDlg;
    QPointer<Detail_Trans_Dlg> m_tradePanel;
    QPointer<Buying_dlg> m_quickBuy;
    QPointer<Selling_dlg> m_quickSell;
    IdleLock* m_idleLock = nullptr;
    QPointer<Right_Msg_Dlg> m_quotePanel;
};

} // namespace mainwnd
