#include "trade/low_Gold_Status_Dlg.h"

#include <QDateEdit>
#include <QPainter>

#include "trade/DatePickers.h"

low_Gold_Status_Dlg::low_Gold_Status_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_Gold_Status_Dlg")
    , m_list(trade::makeList(this, kList))
{
    const QDate today = QDate::currentDate();
    trade::makeDatePicker(this, kStartDate, QRect(100, 2, 100, 22), today);
    trade::makeDatePicker(this, kEndDate, QRect(320, 2, 100, 22), today);
    addButton(kQueryButton, QStringLiteral("查询"), [](QSize) { return QRect(450, 2, 60, 24); }, {});
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    trade::setUpColumns(*m_list,
                        {QStringLiteral("序号"), QStringLiteral("申请日期"), QStringLiteral("申请状态"),
                         QStringLiteral("银行名称"), QStringLiteral("银行账号"), QStringLiteral("发生金额")},
                        {50, 70, 70, 70, 70, 70});
    place(m_list, &trade::listBelowPickers);
}

void low_Gold_Status_Dlg::paintEvent(QPaintEvent*)
{
    // The pickers are labelled as in the cash history.
    QPainter p(this);
    trade::paintDateRangeGround(p, rect(), 225);
    trade::paintFrame(p, rect(), 28);
}
