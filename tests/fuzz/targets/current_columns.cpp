// The chosen columns "currentlisttitle.txt" into the overview lists' columns.
#include "client/CodePage.h"
#include "fuzz/FuzzCheck.h"
#include "market/ColumnFile.h"
#include "market/OverviewColumns.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto document = market::parseColumnDocument(client::localFileToUtf8(fuzz::text(data, size)));
    const market::OverviewColumns columns = market::buildOverviewColumns(document ? &*document : nullptr);
    if (!document)
        FUZZ_CHECK(columns.basic.empty() && columns.extended.empty() && columns.tabCount == 0);
    FUZZ_CHECK(columns.basicKeys().size() == columns.basic.size());
    FUZZ_CHECK(columns.extendedKeys().size() == columns.extended.size());
    for (const market::OverviewColumn& c : columns.basic)
        FUZZ_CHECK(c.width > 0);
    return 0;
}
