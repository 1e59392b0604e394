#include "trade/core/Fills.h"

#include <tuple>

#include "client/ApiReply.h"
#include "trade/core/Cells.h"
#include "trade/core/Parsers.h"

namespace trade {
namespace {

auto identity(const TradeRow& t)
{
    return std::tie(t.tradeNo, t.direction, t.stockId, t.tradeTime, t.dealPrice, t.dealedAmount);
}

} // namespace

std::vector<TradeRow> newFills(const std::vector<TradeRow>& seen, const std::vector<TradeRow>& current)
{
    std::vector<bool> matched(seen.size(), false);
    std::vector<TradeRow> fresh;
    for (const TradeRow& trade : current) {
        bool found = false;
        for (std::size_t i = 0; i < seen.size() && !found; ++i) {
            if (!matched[i] && identity(seen[i]) == identity(trade))
                matched[i] = found = true;
        }
        if (!found)
            fresh.push_back(trade);
    }
    return fresh;
}

std::optional<std::vector<TradeRow>> FillWatch::operator()(const std::string& wire, std::uint64_t login)
{
    if (login != m_login) {
        m_login = login;
        m_seen.reset();
    }
    const client::ApiReply reply = client::ApiReply::fromWire(wire);
    // A refusal lists no trades, which is not the same as having none.
    if (!reply.success)
        return std::nullopt;
    const ParsedRows<TradeRow> rows = ParseTrades(reply);
    if (!rows)
        return std::nullopt;
    if (!m_seen) {
        m_seen = *rows;
        return std::nullopt;
    }
    std::vector<TradeRow> fresh = newFills(*m_seen, *rows);
    if (fresh.empty())
        return std::nullopt;
    m_seen->insert(m_seen->end(), fresh.begin(), fresh.end());
    return fresh;
}

QString fillLine(const TradeRow& fill)
{
    return QStringLiteral("%1 %2 %3 %4 × %5 %6")
        .arg(directionText(fill.direction), QString::number(fill.stockId), QString::fromStdString(fill.name),
             moneyText(fill.dealPrice), QString::number(fill.dealedAmount),
             localTimeText(fill.tradeTime, TimeStyle::Padded));
}

} // namespace trade
