#include "trade/low_Delivery_Query_Dlg.h"

#include "platform/WorkArea.h"
#include "platform/Windows.h"
#include "trade/Delivery.h"
#include "trade/Trade.h"

using platform::edges;

low_Delivery_Query_Dlg::low_Delivery_Query_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_Delivery_Query_Dlg")
{
    m_list = addList(kList, trade::deliveryList(true), [](QSize c) {
        const int screenBottom = platform::workArea().height() - 313;
        return edges(10, 29, c.width(), trade::listBottom(screenBottom, c.height()));
    });
    addButton(kExportButton, QStringLiteral("导出"),
              [](QSize c) { return edges(c.width() - 70, 2, c.width() - 26, 26); },
              [this] { trade::ExportListToText(*m_list, QStringLiteral("交割订单.txt")); });
}

void low_Delivery_Query_Dlg::refresh() { trade::refreshDeliveries(*m_list, trade::deliveryList(true), this); }
