#include "market/core/ItemTable.h"

#include <algorithm>

namespace market {

void ItemTable::store(const std::vector<ItemEntry>& rows, int rowCount)
{
    std::lock_guard lock(m_mutex);
    const std::size_t kept = std::min<std::size_t>(rows.size(), kCapacity);
    std::copy_n(rows.begin(), kept, m_entries.begin());
    m_count = std::max(rowCount, 0);
}

int ItemTable::count() const
{
    std::lock_guard lock(m_mutex);
    return m_count;
}

std::vector<ItemEntry> ItemTable::entries() const
{
    std::lock_guard lock(m_mutex);
    return {m_entries.begin(), m_entries.begin() + std::min(m_count, kCapacity)};
}

std::optional<ItemEntry> ItemTable::findByCode(int code) const
{
    std::lock_guard lock(m_mutex);
    for (int i = 0; i < std::min(m_count, kCapacity); ++i)
        if (m_entries[i].code == code)
            return m_entries[i];
    return std::nullopt;
}

ItemTable& sharedItemTable()
{
    static ItemTable table;
    return table;
}

} // namespace market
