#include "mainwnd/TradeWindows.h"

#include <QWidget>

#include "app/LoginDlg.h"
#include "client/SettingsFolder.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/IdleLock.h"
#include "market/SingleItemQuote.h"
#include "platform/Dialogs.h"
#include "session/Session.h"
#include "trade/Buying_dlg.h"
#include "trade/Selling_dlg.h"
#include "trade/core/OrderChecks.h"

namespace mainwnd {

TradeWindows::TradeWindows(QWidget* marketWindow)
    : QObject(marketWindow)
    , m_market(marketWindow)
{
    const client::SettingsRead<int> minutes =
        client::settingsFolder().read(kIdleLockFile, parseIdleMinutes, 64);
    if (!minutes.failed.empty())
        platform::messageBox(m_market, QString::fromStdString(idleLockProblemText(minutes.failed)),
                             platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    m_idleLock = new IdleLock(std::chrono::minutes(minutes.value.value_or(kDefaultIdleMinutes)),
                              [this] { lockWhenIdle(); }, this);
}

IdleLock* TradeWindows::idleLock() const { return m_idleLock; }

void TradeWindows::lockWhenIdle()
{
    if (!Session::current().loggedIn())
        return;
    closeQuickOrders();
    if (m_tradePanel && !m_tradePanel->isLocked())
        m_tradePanel->lockPanel();
}

Detail_Trans_Dlg* TradeWindows::tradePanel() const { return m_tradePanel; }

Buying_dlg* TradeWindows::quickBuy() const { return m_quickBuy; }

Selling_dlg* TradeWindows::quickSell() const { return m_quickSell; }

LoginDlg* TradeWindows::loginDialog() const { return m_loginDlg; }

bool TradeWindows::requireLogin()
{
    if (Session::current().loggedIn())
        return true;
    if (!m_loginDlg)
        m_loginDlg = new LoginDlg(m_market);
    m_loginDlg->show();
    m_loginDlg->raise();
    m_loginDlg->activateWindow();
    return false;
}

void TradeWindows::toggleTradePanel()
{
    if (!requireLogin())
        return;
    if (m_tradePanel && m_tradePanel->isVisible()) {
        m_tradePanel->hide(); // its function windows, and its lock, go with it
        return;
    }
    // A locked panel comes back under its lock.
    Detail_Trans_Dlg* panel = dockTradePanel();
    if (!panel->showsAWindow())
        panel->showBuyWindow();
}

void TradeWindows::showTradePanelAtStartUp()
{
    if (Session::current().loggedIn())
        dockTradePanel()->showBuyWindow();
}

void TradeWindows::makeTradePanel()
{
    if (m_tradePanel)
        return;
    m_tradePanel = new Detail_Trans_Dlg(m_market);
    connect(m_tradePanel, &Detail_Trans_Dlg::locked, this, &TradeWindows::closeQuickOrders);
    // Closed, the panel guards nothing: the pop-ups must not stay usable unattended.
    connect(m_tradePanel, &QObject::destroyed, this, &TradeWindows::closeQuickOrders);
}

Detail_Trans_Dlg* TradeWindows::dockTradePanel()
{
    makeTradePanel();
    m_tradePanel->dock();
    m_tradePanel->show();
    m_tradePanel->raise();
    return m_tradePanel;
}

void TradeWindows::showQuickOrder(Side side)
{
    // A locked panel guards the pop-ups too: the command brings up the lock instead.
    if (!requireLogin())
        return;
    if (m_tradePanel && m_tradePanel->isLocked()) {
        dockTradePanel();
        return;
    }
    // Created on first use (closing one destroys it), then shown with the item's code and
    // the quote's first ask or bid price.
    trade::QuickOrderDlg* popup = nullptr;
    if (side == Side::Buy)
        popup = m_quickBuy ? m_quickBuy : (m_quickBuy = new Buying_dlg(m_market));
    else
        popup = m_quickSell ? m_quickSell : (m_quickSell = new Selling_dlg(m_market));
    popup->show();
    popup->raise();
    const int item = Session::current().currentItem().code;
    // Without a fresh quote the shared one may be another item's (the buy and sell windows
    // quote whatever code is typed there), and a quote without an ask or a bid has no price
    // to offer ("0.00" would go out as a price): either way the user types the price.
    QString priceText;
    if (market::requestSingleItemQuote(item, m_market) == market::QuoteOutcome::Updated) {
        const market::SingleItemQuote quote = Session::current().singleItemQuote();
        const float price = side == Side::Buy ? quote.firstPrices[0] : quote.secondPrices[0];
        const QString text = QString::asprintf("%.2f", double(price));
        if (trade::priceOf(text.toStdString()) > 0.0)
            priceText = text;
    }
    popup->prefill(QString::number(item), priceText);
}

void TradeWindows::closeQuickOrders()
{
    // Closing destroys them, with whatever was typed.
    if (m_quickBuy)
        m_quickBuy->close();
    if (m_quickSell)
        m_quickSell->close();
}

} // namespace mainwnd
