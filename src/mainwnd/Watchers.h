#pragma once

#include <QObject>
#include <QPointer>

#include "market/PriceAlerts.h"
#include "trade/FillNotices.h"

class Transaction_Dlg;
namespace market { class Overview; }
namespace platform { class Notices; }

namespace mainwnd {

// What watches the market and the account for the trader while the market window is open:
// the fill notices, the price alerts and the windows of their commands.
class Watchers final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Watchers)

public:
    Watchers(Transaction_Dlg* market, market::Overview* overview);

    platform::Notices* notices() const { return m_notices; }
    trade::FillNotices* fills() const { return m_fills; }
    trade::FillNoticesDlg* fillsWindow() const { return m_fillsWindow; }
    market::PriceAlerts* alerts() const { return m_alerts; }
    market::PriceAlertsDlg* alertsWindow() const { return m_alertsWindow; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFillsWindow();
    // For the row chosen in the overview, else the item the charts follow.
    void showAlertsWindow();
    // A fill changes the orders, the trades and the holdings the panel may be showing.
    void refreshAccountLists();

    Transaction_Dlg* m_market;
    market::Overview* m_overview;
    platform::Notices* m_notices = nullptr;
    trade::FillNotices* m_fills = nullptr;
    QPointer<trade::FillNoticesDlg> m_fillsWindow;
    market::PriceAlerts* m_alerts = nullptr;
    QPointer<market::PriceAlertsDlg> m_alertsWindow;
    bool m_quoteWatched = false;
};

} // namespace mainwnd
