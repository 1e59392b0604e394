#include "trade/low_HistoryofGold_Dlg.h"

#include <QDateEdit>
#include <QPainter>

#include "app/UserSession.h"
#include "controls/CButtonBMP.h"
#include "controls/JListCtrl.h"
#include "trade/AccountForms.h"
#include "trade/DatePickers.h"
#include "trade/HistoryDates.h"
#include "trade/WindowLook.h"

low_HistoryofGold_Dlg::low_HistoryofGold_Dlg(QWidget* parent)
    : trade::PanelWindow(parent)
    , m_list(trade::makeList(this, kList))
{
    trade::setUpHostedWindow(*this, "low_HistoryofGold_Dlg");
    const QDate today = QDate::currentDate();
    m_start = trade::makeDatePicker(this, kStartDate, QRect(100, 2, 120, 22), today);
    m_end = trade::makeDatePicker(this, kEndDate, QRect(350, 2, 120, 22), today);
    m_query = trade::makeButton(this, kQueryButton, QStringLiteral("查询"), QRect(0, 2, 60, 24));
    connect(m_query, &CButtonBMP::clicked, this, &low_HistoryofGold_Dlg::query);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    trade::setUpList(*m_list, trade::cashHistoryList());
}

void low_HistoryofGold_Dlg::query()
{
    const QDate today = QDate::currentDate();
    QString dates[2];
    QDateEdit* pickers[2] = {m_start, m_end};
    for (int i = 0; i < 2; ++i) {
        const trade::HistoryDate date = trade::historyDate(pickers[i]->date(), today);
        if (date.movedToToday)
            pickers[i]->setDate(today);
        dates[i] = date.text;
    }
    trade::refreshList(*m_list, trade::cashHistoryList(), m_history,
                       trade::cashHistoryParams(dates[0], dates[1], UserSession::instance().id()));
}

void low_HistoryofGold_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    trade::paintDateRangeGround(p, rect(), 255);
    trade::paintFrame(p, rect(), 28);
}

void low_HistoryofGold_Dlg::resizeEvent(QResizeEvent* event)
{
    trade::PanelWindow::resizeEvent(event);
    m_query->move(width() - 75, 2);
    m_list->setGeometry(trade::listBelowPickers(size()));
}
