// The quote panel's reader of "/api/realtime/<code>".
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"
#include "market/core/RealtimeQuote.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const market::RealtimeQuote quote = market::parseRealtime(client::wireToUtf8(fuzz::text(data, size)));
    if (!quote.parsed) {
        FUZZ_CHECK(quote.title.empty());
        return 0;
    }
    for (const market::Cell& cell : quote.values) {
        if (&cell == &quote.values[0] || &cell == &quote.values[30])
            FUZZ_CHECK(!cell.text.empty());
        FUZZ_CHECK(cell.text.size() < 128);
    }
    return 0;
}
