// Overview rows ("/api/v1/stock/up-to-the-minute") into both lists' cells and the item table.
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "session/Records.h"
#include "market/core/OverviewReply.h"

namespace {

std::vector<std::string> everyKey()
{
    std::vector<std::string> keys;
    for (int i = 1; i <= 26; ++i)
        keys.push_back("main_" + std::to_string(i));
    for (int i = 1; i <= 23; ++i)
        keys.push_back("extend_" + std::to_string(i));
    for (int i = 1; i <= 3; ++i)
        keys.push_back("futures_" + std::to_string(i));
    keys.push_back("unknown");
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<std::string> keys = everyKey();
    static const std::vector<std::string> basic(keys.begin(), keys.begin() + 12);
    const market::OverviewReply reply = market::parseOverviewReply(fuzz::text(data, size), basic, keys);
    FUZZ_CHECK(reply.basicRows.size() == reply.extendedRows.size());
    FUZZ_CHECK(static_cast<int>(reply.basicRows.size()) == reply.rowCount);
    FUZZ_CHECK(reply.items.size() <= market::ItemTable::kCapacity);
    for (std::size_t r = 0; r < reply.basicRows.size(); ++r) {
        FUZZ_CHECK(reply.basicRows[r].size() == basic.size());
        FUZZ_CHECK(reply.extendedRows[r].size() == keys.size());
    }
    market::ItemTable table;
    table.store(reply.items, reply.rowCount);
    FUZZ_CHECK(table.entries().size() == reply.items.size());
    for (const market::ItemEntry& e : reply.items)
        FUZZ_CHECK(table.findByCode(e.code).has_value());
    return 0;
}
