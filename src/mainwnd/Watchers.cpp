#include "mainwnd/Watchers.h"

#include <QAction>
#include <QChildEvent>
#include <QMenu>

#include "mainwnd/Detail_Trans_Dlg.h"
#include "chart/CKBarCtrl.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/Overview.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Notices.h"
#include "session/Session.h"
#include "trade/FillNotices.h"

namespace mainwnd {

using Command = MarketActions::Command;

Watchers::Watchers(Transaction_Dlg* market, market::Overview* overview)
    : QObject(market)
    , m_market(market)
    , m_overview(overview)
    , m_notices(new platform::Notices(market))
    , m_fills(new trade::FillNotices(*m_notices, this))
    , m_alerts(new market::PriceAlerts(*m_notices, market))
{
    QAction* alerts = market->actions()->action(Command::PriceAlerts);
    connect(alerts, &QAction::triggered, this, &Watchers::showAlertsWindow);
    // The chart's own menu gains the entry; its other entries are the chart's.
    if (auto* menu = market->klineChart()->findChild<QMenu*>(QStringLiteral("indicatorMenu"))) {
        menu->addSeparator();
        menu->addAction(alerts);
    }
    connect(overview, &market::Overview::itemsListed, this,
            [this] { m_alerts->check(m_overview->lastReply().figures); });
    // The quote panel comes with the first chart; its quotes serve the alerts from then on.
    market->installEventFilter(this);
    connect(market->actions()->action(Command::FillNotices), &QAction::triggered, this, &Watchers::showFillsWindow);
    connect(m_fills, &trade::FillNotices::filled, this, &Watchers::refreshAccountLists);
    m_fills->start();
}

bool Watchers::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_quoteWatched && watched == m_market && event->type() == QEvent::ChildPolished) {
        if (auto* panel = qobject_cast<Right_Msg_Dlg*>(static_cast<QChildEvent*>(event)->child())) {
            m_quoteWatched = true;
            connect(panel, &Right_Msg_Dlg::latestShown, m_alerts, &market::PriceAlerts::checkLatest);
        }
    }
    return QObject::eventFilter(watched, event);
}

void Watchers::showFillsWindow()
{
    if (!m_fillsWindow)
        m_fillsWindow = new trade::FillNoticesDlg(*m_fills, m_market);
    m_fillsWindow->show();
    m_fillsWindow->raise();
    m_fillsWindow->activateWindow();
}

void Watchers::showAlertsWindow()
{
    if (!m_alertsWindow)
        m_alertsWindow = new market::PriceAlertsDlg(*m_alerts, m_market);
    const int selected = m_market->chartMode() ? 0 : m_overview->selectedCode();
    const int code = selected ? selected : Session::current().currentItem().code;
    const std::optional<market::ItemEntry> item = Session::current().findItem(code);
    m_alertsWindow->setItem(code, item ? QString::fromStdString(item->name) : QString());
    m_alertsWindow->show();
    m_alertsWindow->raise();
    m_alertsWindow->activateWindow();
}

void Watchers::refreshAccountLists()
{
    Detail_Trans_Dlg* panel = m_market->tradePanel();
    if (!panel)
        return;
    using Hosted = Detail_Trans_Dlg::Hosted;
    for (const Hosted which : {Hosted::TodayOrders, Hosted::TodayTrades, Hosted::Cancel, Hosted::Funds}) {
        trade::PanelWindow* window = panel->hostedWindow(which);
        if (window && window->isVisible())
            window->refresh();
    }
}

} // namespace mainwnd
