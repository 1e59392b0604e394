#include "trade/UsableCash.h"

#include "client/Call.h"
#include "trade/Lists.h"

namespace trade {

double UsableCashOf(const client::ApiReply& reply)
{
    return client::jsonReal(client::jsonMember(reply.infor, "cash"), "bankroll_usable");
}

double QueryUsableCash() { return UsableCashOf(client::Call(client::Endpoint::CustomerItem, userParams())); }

} // namespace trade
