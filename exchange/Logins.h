#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace exchange {

// Who may act for an account: the client addresses that logged in to it during this run,
// each for a window from its login. Kept in memory only, so a restart asks everyone again.
class Logins final
{
public:
    explicit Logins(std::int64_t windowSeconds) : m_window(windowSeconds) {}

    void record(const std::string& account, const std::string& address, std::int64_t now);
    bool allows(const std::string& account, const std::string& address, std::int64_t now) const;
    // Every login of the account but the one from `kept` ends (its password has changed).
    void endOthers(const std::string& account, const std::string& kept);

private:
    std::int64_t m_window;
    std::map<std::string, std::map<std::string, std::int64_t>> m_since; // account → address → login time
};

} // namespace exchange
