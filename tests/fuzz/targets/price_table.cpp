// The volume-by-price table's reader.
#include <algorithm>

#include "fuzz/FuzzCheck.h"
#include "market/core/TickReplies.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto rows = market::parsePriceRows(fuzz::text(data, size));
    if (!rows)
        return 0;
    const int full = market::priceTableFullScale(*rows);
    FUZZ_CHECK(full >= 0);
    for (const market::PriceRow& r : *rows) {
        FUZZ_CHECK(r.volume <= full);
        market::tickPriceText(r.price);
    }
    market::priceTableTitle(full);
    return 0;
}
