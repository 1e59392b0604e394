#include "trade/core/AccountPoller.h"

#include "client/Call.h"

namespace trade {

AccountPoller::AccountPoller(QObject* parent)
    : TypedPoller(QStringLiteral("poller-account"), parent)
{
}

void AccountPoller::requestFills(const std::string& userId, std::uint64_t login)
{
    ask(AccountRequest::Fills, 0, [this, userId, login] {
        // Another login's reply is news even when its text is the last one's.
        if (login != m_login) {
            m_login = login;
            m_lastFills = {};
        }
        const std::string reply = client::sendSigned(client::Endpoint::TradeToday, {{"id", userId}},
                                                     client::kUntraced, client::Lock::Unlocked);
        if (m_lastFills.offer(reply))
            m_fills.hand(reply, login);
    });
}

} // namespace trade
