#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "trade/core/Rows.h"

// Telling the trader of new fills: today's trades compared with those seen since the login.
namespace trade {

// The trades of `current` that `seen` does not hold, in `current`'s order. A trade is known
// by its number, side, item, time, price and quantity; two equal rows are two trades, so a
// second identical fill still counts once more than was seen.
std::vector<TradeRow> newFills(const std::vector<TradeRow>& seen, const std::vector<TradeRow>& current);

// The reader of the fill poller's replies, on its thread. The first readable reply of a login
// only learns what is there already (no flood of the morning's trades at start-up); later ones
// give the new fills, nullopt when there are none. A reply that cannot be read (none, garbled,
// refused) says nothing and forgets nothing: its trades are not "gone".
class FillWatch final
{
public:
    // `wire` as received; `login` numbers the login the poll was made for: another number
    // starts afresh.
    std::optional<std::vector<TradeRow>> operator()(const std::string& wire, std::uint64_t login);

private:
    std::uint64_t m_login = 0;
    std::optional<std::vector<TradeRow>> m_seen;
};

// One line of a notice: "买 9160001 Tolmere小酒窖 36.20 × 10 10:15:03".
QString fillLine(const TradeRow& fill);

} // namespace trade
