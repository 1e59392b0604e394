#include "mainwnd/MarketDialogs.h"

#include "app/Aboxt_wineDlg.h"
#include "app/Show_sys_statu_sdlg.h"
#include "client/SettingsFolder.h"
#include "mainwnd/KeysHelpDlg.h"
#include "market/ShowViewSetDlg.h"
#include "platform/Windows.h"

namespace mainwnd {

MarketDialogs::MarketDialogs(QWidget* marketWindow)
    : QObject(marketWindow)
    , m_market(marketWindow)
{
}

KeysHelpDlg* MarketDialogs::keysHelp() const { return m_keysHelp; }

ShowViewSetDlg* MarketDialogs::columnSetup() const { return m_columnSetup; }

void MarketDialogs::showAt(QWidget* window, const QRect& edges)
{
    window->setGeometry(edges);
    window->show();
    window->raise();
}

void MarketDialogs::showSystemStatus()
{
    if (!m_status)
        m_status = new Show_sys_statu_sdlg(m_market);
    showAt(m_status, platform::edges(150, 250, 750, 500));
}

void MarketDialogs::showAbout()
{
    if (!m_about)
        m_about = new Aboxt_wineDlg(m_market);
    showAt(m_about, platform::edges(250, 250, 850, 500));
}

void MarketDialogs::showKeysHelp()
{
    if (!m_keysHelp)
        m_keysHelp = new KeysHelpDlg(m_market);
    showAt(m_keysHelp, QRect(QPoint(250, 150), KeysHelpDlg::preferredSize()));
    m_keysHelp->activateWindow();
    m_keysHelp->setFocus();
}

void MarketDialogs::showColumnSetup()
{
    if (!m_columnSetup)
        m_columnSetup = new ShowViewSetDlg(client::settingsFolder().dir(), m_market);
    m_columnSetup->show();
    m_columnSetup->raise();
}

void MarketDialogs::hideForOverview()
{
    for (QWidget* w : {static_cast<QWidget*>(m_status), static_cast<QWidget*>(m_about),
                       static_cast<QWidget*>(m_columnSetup)}) {
        if (w)
            w->hide();
    }
}

} // namespace mainwnd
