#include "trade/low_Histor_Transaction_Dlg.h"

#include <QDateEdit>
#include <QPainter>

#include "platform/Windows.h"
#include "trade/DatePickers.h"
#include "trade/core/HistoryDates.h"
#include "trade/Trade.h"

using platform::edges;

namespace {

// The date a query sends for the picker, moving a date later than today back to today.
std::string queryDate(QDateEdit& picker, QDate today)
{
    const trade::HistoryDate date = trade::historyDate(picker.date(), today);
    if (date.movedToToday)
        picker.setDate(today);
    return date.text.toStdString();
}

} // namespace

low_Histor_Transaction_Dlg::low_Histor_Transaction_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_Histor_Transaction_Dlg")
{
    const QDate today = QDate::currentDate();
    m_start =
        trade::makeDatePicker(this, kStartPicker, edges(80, 1, 200, 27), trade::historyStartDate(today));
    m_end = trade::makeDatePicker(this, kEndPicker, edges(280, 1, 400, 27), today);
    m_list = addList(kList, trade::tradeHistoryList(),
                     [](QSize c) { return edges(10, 29, c.width(), c.height() - 44); });
    addButton(kQueryButton, QStringLiteral("查询"),
              [](QSize c) { return edges(c.width() - 140, 2, c.width() - 96, 26); }, [this] { query(); });
    addButton(kExportButton, QStringLiteral("导出"),
              [](QSize c) { return edges(c.width() - 70, 2, c.width() - 26, 26); },
              [this] { trade::ExportListToText(*m_list, QStringLiteral("历史成交.txt")); });
}

void low_Histor_Transaction_Dlg::query()
{
    static const trade::ListQuery<trade::TradeRow> history{
        client::Endpoint::TradeHistory, {"历史成交\n", "\n"}, &trade::ParseTrades};
    const QDate today = QDate::currentDate();
    std::vector<client::Param> params = trade::userParams();
    params.push_back({"start_date", queryDate(*m_start, today)});
    params.push_back({"end_date", queryDate(*m_end, today)});
    trade::refreshList(*m_list, trade::tradeHistoryList(), history, std::move(params));
}

void low_Histor_Transaction_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    trade::paintDateRangeGround(p, rect(), 205);
    trade::paintFrame(p, rect(), 28);
}
