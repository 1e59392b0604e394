#include "Logins.h"

namespace exchange {

void Logins::record(const std::string& account, const std::string& address, std::int64_t now)
{
    std::map<std::string, std::int64_t>& since = m_since[account];
    // Logins that have run out go, so addresses that come and go do not pile up.
    std::erase_if(since, [&](const auto& entry) { return now - entry.second > m_window; });
    since[address] = now;
}

bool Logins::allows(const std::string& account, const std::string& address, std::int64_t now) const
{
    const auto forAccount = m_since.find(account);
    if (forAccount == m_since.end())
        return false;
    const auto login = forAccount->second.find(address);
    return login != forAccount->second.end() && now - login->second <= m_window;
}

void Logins::endOthers(const std::string& account, const std::string& kept)
{
    const auto forAccount = m_since.find(account);
    if (forAccount == m_since.end())
        return;
    std::erase_if(forAccount->second, [&](const auto& entry) { return entry.first != kept; });
}

} // namespace exchange
