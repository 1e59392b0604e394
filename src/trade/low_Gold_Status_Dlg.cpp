#include "trade/low_Gold_Status_Dlg.h"

#include <QDateEdit>
#include <QPainter>

#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "trade/DatePickers.h"
#include "trade/Lists.h"
#include "trade/WindowLook.h"

low_Gold_Status_Dlg::low_Gold_Status_Dlg(QWidget* parent)
    : trade::PanelWindow(parent)
    , m_list(trade::makeList(this, kList))
{
    trade::setUpHostedWindow(*this, "low_Gold_Status_Dlg");
    const QDate today = QDate::currentDate();
    m_start = trade::makeDatePicker(this, kStartDate, QRect(100, 2, 100, 22), today);
    m_end = trade::makeDatePicker(this, kEndDate, QRect(320, 2, 100, 22), today);
    m_query = trade::makeButton(this, kQueryButton, QStringLiteral("查询"), QRect(450, 2, 60, 24));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    trade::setUpColumns(*m_list,
                        {QStringLiteral("序号"), QStringLiteral("申请日期"), QStringLiteral("申请状态"),
                         QStringLiteral("银行名称"), QStringLiteral("银行账号"), QStringLiteral("发生金额")},
                        {50, 70, 70, 70, 70, 70});
}

void low_Gold_Status_Dlg::paintEvent(QPaintEvent*)
{
    // The pickers are labelled as in the cash history.
    QPainter p(this);
    trade::paintDateRangeGround(p, rect(), 225);
    trade::paintFrame(p, rect(), 28);
}

void low_Gold_Status_Dlg::resizeEvent(QResizeEvent* event)
{
    trade::PanelWindow::resizeEvent(event);
    m_list->setGeometry(trade::listBelowPickers(size()));
}
