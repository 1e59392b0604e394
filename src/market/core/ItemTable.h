#pragma once

#include <array>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace market {

struct ItemEntry
{
    int code = 0;
    std::string name;
    float referencePrice = 0.0f;
    bool operator==(const ItemEntry&) const = default;
};

// The items of the last overview reply: written by the poller, read by trading windows.
class ItemTable final
{
public:
    static constexpr int kCapacity = 30;

    // A reply's rows overwrite the table from the top; rows past the capacity are not kept.
    void store(const std::vector<ItemEntry>& rows, int rowCount);

    int count() const;                      // rows of the last reply (may exceed the capacity)
    std::vector<ItemEntry> entries() const; // the kept rows of the last reply
    std::optional<ItemEntry> findByCode(int code) const;

private:
    mutable std::mutex m_mutex;
    std::array<ItemEntry, kCapacity> m_entries{};
    int m_count = 0;
};

ItemTable& sharedItemTable();

} // namespace market
