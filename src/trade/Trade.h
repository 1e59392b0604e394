#pragma once

// The pieces every trading window is built on. A window with a list states only what is
// its own and leaves the rest here:
//
//   // member: the list and what it shows
//   JListCtrl* m_orders;
//   const trade::ListQuery<trade::OrderRow> m_ordersQuery{
//       client::Endpoint::OrderToday, {"当日订单\n", "\n结束当日订单\n"}, &trade::ParseOrders};
//
//   // creation
//   trade::setUpList(*m_orders, trade::panelOrdersList());
//
//   // refresh (tree selection, refresh button, after an order)
//   trade::refreshList(*m_orders, trade::panelOrdersList(), m_ordersQuery, trade::userParams());
//
//   // export button
//   trade::ExportListToText(*m_orders, QStringLiteral("当日订单.txt"));
//
// Requests go through client::Call (signing, lock, trace); a reply becomes rows through a
// parser (Parsers.h) whose result also says whether the list is to be touched at all; rows
// become cells through a ListSpec (Lists.h) of columns and formats (Cells.h). A window that
// acts on an order reply shows `msg` itself (client::ApiReply). QueryUsableCash gives the
// usable cash a buy is checked against.

#include "client/Call.h"
#include "trade/core/Cells.h"
#include "trade/Export.h"
#include "trade/Lists.h"
#include "trade/core/Parsers.h"
#include "trade/core/Rows.h"
#include "trade/UsableCash.h"
