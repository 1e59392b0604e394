#include "mainwnd/Watchers.h"

#include <QAction>

#include "mainwnd/Detail_Trans_Dlg.h"
#include "mainwnd/Transaction_Dlg.h"
#include "platform/Notices.h"
#include "trade/FillNotices.h"

namespace mainwnd {

using Command = MarketActions::Command;

Watchers::Watchers(Transaction_Dlg* market, market::Overview* overview)
    : QObject(market)
    , m_market(market)
    , m_overview(overview)
    , m_notices(new platform::Notices(market))
    , m_fills(new trade::FillNotices(*m_notices, this))
{
    connect(market->actions()->action(Command::FillNotices), &QAction::triggered, this, &Watchers::showFillsWindow);
    connect(m_fills, &trade::FillNotices::filled, this, &Watchers::refreshAccountLists);
    m_fills->start();
}

void Watchers::showFillsWindow()
{
    if (!m_fillsWindow)
        m_fillsWindow = new trade::FillNoticesDlg(*m_fills, m_market);
    m_fillsWindow->show();
    m_fillsWindow->raise();
    m_fillsWindow->activateWindow();
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
