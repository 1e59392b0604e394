// Tick replies: the quote panel's latest 20 and the tick list's whole day.
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"
#include "market/core/RealtimeQuote.h"
#include "market/core/TickReplies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view wire = fuzz::text(data, size);
    const std::vector<market::TickRow> rows = market::parseDealTicks(client::wireToUtf8(wire), 12.3);
    for (const market::TickRow& row : rows)
        FUZZ_CHECK(row.time.size() == 8);
    const auto ticks = market::parseTicks(wire);
    if (!rows.empty())
        FUZZ_CHECK(ticks && ticks->size() == rows.size());
    if (!ticks)
        return 0;
    const market::TickGrid grid = market::tickGridLayout(1600, 322);
    int index = 0;
    for (const market::Tick& t : *ticks) {
        FUZZ_CHECK(market::tickTimeText(t.time).size() == 8);
        market::tickPriceText(t.price);
        market::tickCellPlace(grid, index++);
    }
    market::tickCountText(static_cast<int>(ticks->size()));
    return 0;
}
