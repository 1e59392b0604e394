#include "trade/low_Today_order_Dlg.h"

#include "platform/Windows.h"
#include "trade/OrderOutcomes.h"
#include "trade/Trade.h"

using platform::edges;

low_Today_order_Dlg::low_Today_order_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_Today_order_Dlg")
{
    m_list = addList(kList, trade::todayOrdersList(),
                     [](QSize c) { return edges(10, 29, c.width(), c.height() - 49); });
    addButton(kQueryButton, QStringLiteral("查询"),
              [](QSize c) { return edges(c.width() - 140, 2, c.width() - 96, 24); }, [this] { refresh(); });
    addButton(kExportButton, QStringLiteral("导出"),
              [](QSize c) { return edges(c.width() - 86, 2, c.width() - 42, 24); },
              [this] { trade::ExportListToText(*m_list, QStringLiteral("当日订单.txt")); });
    // An order's outcome looked up anywhere shows here at once.
    connect(&trade::OrderOutcomes::instance(), &trade::OrderOutcomes::ordersLookedUp, this,
            [this](const client::ApiReply& reply) {
                if (const trade::ParsedRows<trade::OrderRow> rows = trade::ParseOrders(reply))
                    trade::fillList(*m_list, trade::todayOrdersList(), *rows);
            });
}

void low_Today_order_Dlg::refresh()
{
    static const trade::ListQuery<trade::OrderRow> query{client::Endpoint::OrderToday, {}, &trade::ParseOrders};
    trade::refreshList(*m_list, trade::todayOrdersList(), query, trade::userParams());
}
