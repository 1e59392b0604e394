#include "trade/low_Financial_Position_Dlg.h"

#include "platform/WorkArea.h"
#include "platform/Windows.h"
#include "trade/Trade.h"

using platform::edges;

low_Financial_Position_Dlg::low_Financial_Position_Dlg(QWidget* parent)
    : trade::ListWindow(parent, "low_Financial_Position_Dlg", kGround, -1)
{
    m_funds = addList(kFundsList, trade::fundsList(), [](QSize) { return edges(10, 29, 720, 100); });
    m_positions = addList(kPositionsList, trade::accountPositionsList(), [](QSize c) {
        const int screenBottom = platform::workArea().height() - 339;
        return edges(10, 120, 900, trade::listBottom(screenBottom, c.height()));
    });
    addButton(kQueryButton, QStringLiteral("查询"),
              [](QSize c) { return edges(c.width() - 140, 2, c.width() - 96, 24); }, [this] { refresh(); });
}

void low_Financial_Position_Dlg::refresh()
{
    const client::ApiReply reply =
        client::Call(client::Endpoint::CustomerItem, trade::userParams(), {"资金持仓\n", "\n结束资金持仓\n"});
    const std::optional<trade::FundsRow> funds = trade::ParseFunds(reply);
    if (!funds)
        return;
    trade::fillList(*m_funds, trade::fundsList(), std::vector<trade::FundsRow>{*funds});
    trade::fillList(*m_positions, trade::accountPositionsList(), trade::ParsePositions(reply).value_or(
                                                                     std::vector<trade::PositionRow>{}));
}
