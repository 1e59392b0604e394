#include "trade/low_Today_transaction_Dlg.h"

#include "platform/Windows.h"
#include "trade/Trade.h"

using platform::edges;

low_Today_transaction_Dlg::low_Today_transaction_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_Today_transaction_Dlg")
{
    m_list = addList(kList, trade::todayTradesList(),
                     [](QSize c) { return edges(10, 29, c.width(), c.height() - 39); });
    addButton(kQueryButton, QStringLiteral("查询"),
              [](QSize c) { return edges(c.width() - 140, 2, c.width() - 96, 24); }, [this] { refresh(); });
    // Laid out from the screen's width, the export button would hang 12 pixels past the edge.
    addButton(kExportButton, QStringLiteral("导出"),
              [](QSize c) {
                  return trade::insideWidth(edges(c.width() - 32, 2, c.width() + 12, 24), c.width() - 2);
              },
              [this] { trade::ExportListToText(*m_list, QStringLiteral("当日成交.txt")); });
}

void low_Today_transaction_Dlg::refresh()
{
    static const trade::ListQuery<trade::TradeRow> query{
        client::Endpoint::TradeToday, {"当日成交\n", "\n当日成交\n"}, &trade::ParseTrades};
    trade::refreshList(*m_list, trade::todayTradesList(), query, trade::userParams());
}
