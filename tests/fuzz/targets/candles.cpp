// Candle replies ("/api/histogram/<code>/<period>") and the element window drawn of them.
#include "chart/CandleChart.h"
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto records = chart::parseCandleReply(client::wireToUtf8(fuzz::text(data, size)));
    if (!records)
        return 0;
    const int count = static_cast<int>(records->size());
    const chart::CandleWindow w = chart::candleWindowFor(count, 40);
    FUZZ_CHECK(w.first >= 0 && w.first <= w.last);
    return 0;
}
