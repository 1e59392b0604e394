// The single-item quote ("/api/v1/trade/guide") the order windows are prefilled from.
#include "client/ApiReply.h"
#include "fuzz/FuzzCheck.h"
#include "market/SingleItemQuote.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const client::ApiReply reply = client::ApiReply::fromWire(fuzz::text(data, size));
    market::SingleItemQuote quote;
    quote.texts[0] = "before";
    const market::QuoteOutcome outcome = market::applyTradeGuideReply(reply, quote);
    if (outcome != market::QuoteOutcome::Updated) {
        FUZZ_CHECK(quote.texts[0] == "before"); // a refusal or garbage leaves the quote as it was
        return 0;
    }
    for (const std::string& text : quote.texts)
        FUZZ_CHECK(!text.empty() && text.size() < 128);
    return 0;
}
