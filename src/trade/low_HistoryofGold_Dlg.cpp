#include "trade/low_HistoryofGold_Dlg.h"

#include <QDateEdit>
#include <QPainter>

#include "session/Session.h"
#include "trade/AccountForms.h"
#include "trade/DatePickers.h"
#include "trade/core/HistoryDates.h"

low_HistoryofGold_Dlg::low_HistoryofGold_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_HistoryofGold_Dlg")
{
    const QDate today = QDate::currentDate();
    m_start = trade::makeDatePicker(this, kStartDate, QRect(100, 2, 120, 22), today);
    m_end = trade::makeDatePicker(this, kEndDate, QRect(350, 2, 120, 22), today);
    addButton(kQueryButton, QStringLiteral("查询"), [](QSize c) { return QRect(c.width() - 75, 2, 60, 24); },
              [this] { query(); });
    m_list = addList(kList, trade::cashHistoryList(), &trade::listBelowPickers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
}

void low_HistoryofGold_Dlg::query()
{
    static const trade::ListQuery<trade::CashRow> history{
        client::Endpoint::CashHistory, {"历史出金\n", "\n"}, &trade::ParseCashHistory};
    const QDate today = QDate::currentDate();
    QString dates[2];
    QDateEdit* pickers[2] = {m_start, m_end};
    for (int i = 0; i < 2; ++i) {
        const trade::HistoryDate date = trade::historyDate(pickers[i]->date(), today);
        if (date.movedToToday)
            pickers[i]->setDate(today);
        dates[i] = date.text;
    }
    trade::refreshList(*m_list, trade::cashHistoryList(), history,
                       trade::cashHistoryParams(dates[0], dates[1], Session::current().userId()));
}

void low_HistoryofGold_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    trade::paintDateRangeGround(p, rect(), 255);
    trade::paintFrame(p, rect(), 28);
}
