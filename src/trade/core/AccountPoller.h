#pragma once

#include <cstdint>
#include <string>

#include "market/core/PollerThread.h"
#include "market/core/Pollers.h"
#include "market/core/ReplyCache.h"

namespace trade {

// What the account poller is asked for.
enum class AccountRequest { Fills };

// Polls the account's today's trades off the GUI thread, without the transport locks (a poll
// must never hold up an order), and hands each changed reply to the fill notices' reader.
class AccountPoller final : public market::TypedPoller<AccountRequest>
{
public:
    explicit AccountPoller(QObject* parent = nullptr);
    ~AccountPoller() override { stop(); }

    // Today's trades of `userId`, for the login numbered `login`.
    void requestFills(const std::string& userId, std::uint64_t login);
    market::Feed<std::uint64_t>& fills() { return m_fills; } // the login asked for

private:
    std::uint64_t m_login = 0;
    market::ReplyCache m_lastFills;
    market::Feed<std::uint64_t> m_fills;
};

} // namespace trade
