#include "mainwnd/TradeWindows.h"

#include <vector>

#include <QLineEdit>
#include <QWidget>

#include "app/LoginDlg.h"
#include "client/SettingsFolder.h"
#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/IdleLock.h"
#include "client/Numbers.h"
#include "market/Right_Msg_Dlg.h"
#include "market/SingleItemQuote.h"
#include "platform/Dialogs.h"
#include "session/Session.h"
#include "trade/Buying_dlg.h"
#include "trade/OrderWindow.h"
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
    m_tradePanel->setOpener([this](Detail_Trans_Dlg::Hosted which, int code) {
        const int item = code > 0 ? code : Session::current().currentItem().code;
        const Side side = which == Detail_Trans_Dlg::Hosted::Buy ? Side::Buy : Side::Sell;
        return Detail_Trans_Dlg::Opening{item, bestPriceFor(side, item)};
    });
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
    const QPointer<trade::QuickOrderDlg> popup = raiseQuickOrder(side);
    if (!popup)
        return;
    const int item = Session::current().currentItem().code;
    // Without a fresh quote the shared one may be another item's (the buy and sell windows
    // quote whatever code is typed there), and a quote without an ask or a bid has no price
    // to offer ("0.00" would go out as a price): either way the user types the price.
    QString priceText;
    if (market::requestSingleItemQuote(item, m_market) == market::QuoteOutcome::Updated) {
        const market::SingleItemQuote quote = Session::current().singleItemQuote();
        const double price = side == Side::Buy ? quote.firstPrices[0] : quote.secondPrices[0];
        const QString text = QString::fromStdString(client::fixedDecimals(price, 2));
        if (trade::priceOf(text.toStdString()) > 0.0)
            priceText = text;
    }
    if (popup)
        popup->prefill(QString::number(item), priceText);
}

void TradeWindows::openQuickOrder(Side side, int code, const QString& price)
{
    if (trade::QuickOrderDlg* popup = raiseQuickOrder(side))
        popup->prefill(QString::number(code), price);
}

trade::QuickOrderDlg* TradeWindows::raiseQuickOrder(Side side)
{
    // A locked panel guards the pop-ups too: the command brings up the lock instead.
    if (!requireLogin())
        return nullptr;
    if (m_tradePanel && m_tradePanel->isLocked()) {
        dockTradePanel();
        return nullptr;
    }
    // Created on first use (closing one destroys it).
    trade::QuickOrderDlg* popup = nullptr;
    if (side == Side::Buy)
        popup = m_quickBuy ? m_quickBuy : (m_quickBuy = new Buying_dlg(m_market));
    else
        popup = m_quickSell ? m_quickSell : (m_quickSell = new Selling_dlg(m_market));
    popup->show();
    popup->raise();
    return popup;
}

void TradeWindows::followQuotePanel(Right_Msg_Dlg* panel)
{
    m_quotePanel = panel;
    connect(panel, &Right_Msg_Dlg::levelDoubleClicked, this, [this](int code, bool ask, double price) {
        openQuickOrder(ask ? Side::Buy : Side::Sell, code, QString::fromStdString(client::fixedDecimals(price, 2)));
    });
    connect(panel, &Right_Msg_Dlg::levelClicked, this,
            [this](int code, bool, double price) { putLevelPrice(code, price); });
}

QString TradeWindows::bestPriceFor(Side side, int code) const
{
    if (!m_quotePanel || code <= 0 || m_quotePanel->levelItem() != code)
        return QString();
    // Row 4 is 卖①, row 5 买①: a buy meets the best ask, a sale the best bid.
    const double price = m_quotePanel->levelPrices()[side == Side::Buy ? 4 : 5];
    return price > 0.0 ? QString::fromStdString(client::fixedDecimals(price, 2)) : QString();
}

void TradeWindows::putLevelPrice(int code, double price)
{
    const QString text = QString::fromStdString(client::fixedDecimals(price, 2));
    std::vector<trade::OrderEntry*> open;
    for (trade::QuickOrderDlg* popup : {static_cast<trade::QuickOrderDlg*>(m_quickBuy.data()),
                                        static_cast<trade::QuickOrderDlg*>(m_quickSell.data())})
        if (popup && popup->isVisible())
            open.push_back(&popup->entry());
    // Under the lock the panel's windows are out of reach.
    if (m_tradePanel && m_tradePanel->isVisible() && !m_tradePanel->isLocked())
        for (const auto which : {Detail_Trans_Dlg::Hosted::Buy, Detail_Trans_Dlg::Hosted::Sell})
            if (auto* window = qobject_cast<trade::OrderWindow*>(m_tradePanel->hostedWindow(which));
                window && window->isVisible())
                open.push_back(&window->entry());
    for (trade::OrderEntry* entry : open)
        if (entry->quoteCode() == code)
            entry->priceField()->setText(text);
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
