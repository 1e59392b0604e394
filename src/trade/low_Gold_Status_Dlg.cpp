#include "trade/low_Gold_Status_Dlg.h"

#include <QDateEdit>
#include <QPainter>

#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "platform/Bitmaps.h"
#include "platform/Fonts.h"
#include "trade/DatePickers.h"
#include "trade/Lists.h"

low_Gold_Status_Dlg::low_Gold_Status_Dlg(QWidget* parent)
    : trade::PanelWindow(parent)
    , m_list(new JListCtrl(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QDate today = QDate::currentDate();
    m_start = trade::makeDatePicker(this, kStartDate, QRect(100, 2, 100, 22), today);
    m_end = trade::makeDatePicker(this, kEndDate, QRect(320, 2, 100, 22), today);
    m_query = CButtonBMP::Create(
        this, kQueryButton, QStringLiteral("查询"),
        {platform::bmp::QueryButton, platform::bmp::QueryButtonHover, platform::bmp::QueryButtonPressed},
        QRect(450, 2, 60, 24));
    m_query->setFont(platform::font(QStringLiteral("宋体"), 14));
    m_list->setObjectName(QString::number(kList));
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
}

void low_Gold_Status_Dlg::resizeEvent(QResizeEvent* event)
{
    trade::PanelWindow::resizeEvent(event);
    m_list->setGeometry(trade::listBelowPickers(size()));
}
