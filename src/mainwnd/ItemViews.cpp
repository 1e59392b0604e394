#include "mainwnd/ItemViews.h"

#include <QUrl>

#include "app/Announcements.h"
#include "app/CHtmlCtrl.h"
#include "client/Call.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/Min_Price_List_Dlg.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Windows.h"
#include "platform/WorkArea.h"

namespace mainwnd {

ItemViews::ItemViews(QWidget* marketWindow, const QRect& chartRect)
    : QObject(marketWindow)
    , m_market(marketWindow)
    , m_chartRect(chartRect)
{
    m_infoPage = new CHtmlCtrl(marketWindow);
    m_infoPage->setObjectName(QString::number(Transaction_Dlg::kInfoPage));
    // Over the period bar as well: the page has no periods.
    m_infoPage->setGeometry(platform::edges(29, 77, chartRect.right() + 1, chartRect.bottom() + 1));
    m_infoPage->hide();
}

Right_Msg_Dlg* ItemViews::quotePanel() const { return m_quotePanel; }

Min_Price_List_Dlg* ItemViews::tickList() const { return m_tickList; }

void ItemViews::showQuotePanel()
{
    if (!m_quotePanel) {
        const QRect area = platform::workArea();
        m_quotePanel = new Right_Msg_Dlg(m_market, area.width(), area.height());
        m_quotePanel->initialise();
        emit quotePanelMade(m_quotePanel);
    }
    m_quotePanel->move(m_chartRect.right() + 1, m_chartRect.top() - 28);
    m_quotePanel->show();
    m_quotePanel->raise();
}

void ItemViews::showTickList(int mode)
{
    m_infoPage->hide();
    if (!m_tickList)
        m_tickList = new Min_Price_List_Dlg(m_market);
    m_tickList->setGeometry(QRect(QPoint(m_chartRect.left(), m_chartRect.bottom() + 1 - Min_Price_List_Dlg::kChartHeight),
                                  m_chartRect.bottomRight()));
    m_tickList->show();
    m_tickList->raise();
    m_tickList->showMode(static_cast<Min_Price_List_Dlg::Mode>(mode));
}

void ItemViews::hideTickList()
{
    if (m_tickList)
        m_tickList->hide();
}

void ItemViews::hideInformationPage() { m_infoPage->hide(); }

void ItemViews::loadInformationPage()
{
    m_infoPage->clear(); // never one item's page under another's figures
    // A plain document whose "infor" is the page's address, not the trading envelope.
    const std::string reply =
        client::fetchText(client::Endpoint::StockInfo, {}, {"\n信息详情\n", "\n信息详情结束\n"});
    const std::optional<std::string> address = app::InformationPageAddress(reply);
    if (!address)
        return;
    m_infoPage->navigate(QUrl(QString::fromStdString(*address)));
    m_infoPage->show();
}

void ItemViews::follow(const market::CurrentItem& item)
{
    if (m_quotePanel)
        m_quotePanel->showItem(item);
    if (m_tickList && m_tickList->isVisible())
        m_tickList->showMode(m_tickList->mode());
    if (m_infoPage->isVisible())
        loadInformationPage();
}

void ItemViews::hideAll()
{
    for (QWidget* w : {static_cast<QWidget*>(m_tickList), static_cast<QWidget*>(m_quotePanel),
                       static_cast<QWidget*>(m_infoPage)}) {
        if (w)
            w->hide();
    }
}

} // namespace mainwnd
