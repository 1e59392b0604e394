#pragma once

#include <functional>
#include <vector>

#include <QColor>
#include <QStringList>

#include "client/Call.h"
#include "controls/JListCtrl.h"
#include "trade/core/Cells.h"
#include "trade/core/Parsers.h"

// The trading lists: their columns, and the one refresh that fills any of them.
namespace trade {

template <class Column>
struct ColumnSpec
{
    Column column;
    const char* header; // UTF-8
    int width;
};

// What a list shows: its columns in order (headers and cells centred), the cell formats,
// and whether rows take the colour of their direction.
template <class Column>
struct ListSpec
{
    std::vector<ColumnSpec<Column>> columns;
    CellFormat format;
    bool colourByDirection = false;
};

// A buy row's colour and a sell row's, in the lists that colour rows.
inline const QColor kBuyRowColour{233, 39, 76};
inline const QColor kSellRowColour{16, 16, 16};
QColor directionColour(int direction);

// The lists as each window shows them.
const ListSpec<PositionColumn>& panelPositionsList();         // buy and sell windows
ListSpec<OrderColumn> panelOrdersList(TimeStyle time = TimeStyle::Padded); // the sell window: Unpadded
const ListSpec<TradeColumn>& panelTradesList();               // buy and sell windows
const ListSpec<OrderColumn>& cancellableOrdersList();         // cancellation window
const ListSpec<FundsColumn>& fundsList();                     // funds and positions window
const ListSpec<PositionColumn>& accountPositionsList();       // funds and positions window
const ListSpec<OrderColumn>& todayOrdersList();               // today's orders window
const ListSpec<TradeColumn>& todayTradesList();               // today's trades window
const ListSpec<TradeColumn>& tradeHistoryList();              // trade history window
const ListSpec<DeliveryColumn>& deliveryList(bool queryWindow); // application window, or the query window
const ListSpec<CashColumn>& cashHistoryList();                // cash history window

// The row's cells in the listSpec's column order.
template <class Row, class Column>
QStringList cells(const Row& row, int number, const ListSpec<Column>& listSpec)
{
    QStringList out;
    out.reserve(qsizetype(listSpec.columns.size()));
    for (const ColumnSpec<Column>& c : listSpec.columns)
        out << cell(row, c.column, number, listSpec.format);
    return out;
}

// Gives an empty list its columns and the light trading look.
void setUpColumns(controls::ColouredList& list, const std::vector<QString>& headers, const std::vector<int>& widths);
template <class Column>
void setUpList(controls::ColouredList& list, const ListSpec<Column>& listSpec)
{
    std::vector<QString> headers;
    std::vector<int> widths;
    for (const ColumnSpec<Column>& c : listSpec.columns) {
        headers.push_back(QString::fromUtf8(c.header));
        widths.push_back(c.width);
    }
    setUpColumns(list, headers, widths);
}

// Replaces the list's rows. Where the list colours rows, each row of the first 200 takes
// its direction's colour (later rows keep the list's default colour).
template <class Row, class Column>
void fillList(JListCtrl& list, const ListSpec<Column>& listSpec, const std::vector<Row>& rows)
{
    list.setUpdatesEnabled(false);
    list.clearRows();
    list.setRowCount(int(rows.size()));
    for (int i = 0; i < int(rows.size()); ++i) {
        const QStringList texts = cells(rows[size_t(i)], i + 1, listSpec);
        for (int c = 0; c < texts.size(); ++c)
            list.setCellText(i, c, texts[c]);
        if constexpr (requires { rows[0].direction; }) {
            if (listSpec.colourByDirection && i < int(JListCtrl::ColourTable::kRows))
                list.setRowColour(i, directionColour(rows[size_t(i)].direction));
        }
    }
    list.setUpdatesEnabled(true);
}

// What a window states about one of its lists.
template <class Row>
struct ListQuery
{
    client::Endpoint endpoint;
    client::TraceLines trace;
    // The list's condition for rows: nullopt leaves the list as it was.
    std::function<ParsedRows<Row>(const client::ApiReply&)> parse;
};

// The one list refresh: sends the request, and when the reply gives rows replaces the
// list's rows with them. Returns the reply, for windows that say more about it.
template <class Row, class Column>
client::ApiReply refreshList(JListCtrl& list, const ListSpec<Column>& listSpec, const ListQuery<Row>& query,
                             std::vector<client::Param> params)
{
    client::ApiReply reply = client::Call(query.endpoint, std::move(params), query.trace);
    if (const ParsedRows<Row> rows = query.parse(reply))
        fillList(list, listSpec, *rows);
    return reply;
}

// The request parameters of the queries that name only the user.
std::vector<client::Param> userParams();

} // namespace trade
