// The column catalogue "listtitle.txt": read, written in the styled form and read back.
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"
#include "market/ColumnFile.h"

namespace {

bool allUtf8(const market::ColumnDocument& d)
{
    for (const market::ColumnCategory& c : d.categories) {
        if (!client::isValidUtf8(c.name))
            return false;
        for (const market::ColumnEntry& e : c.columns)
            if (!client::isValidUtf8(e.name) || !client::isValidUtf8(e.title))
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto document = market::parseColumnDocument(client::localFileToUtf8(fuzz::text(data, size)));
    if (!document)
        return 0;
    document->find(market::kBasicCategory);
    document->find(market::kExtendedCategory);
    if (!allUtf8(*document))
        return 0;
    // The set-up window saves what it read; the next start must read the same columns.
    const auto again = market::parseColumnDocument(market::styledColumnText(*document));
    FUZZ_CHECK(again && *again == *document);
    return 0;
}
