#pragma once

#include "client/ApiReply.h"

namespace trade {

// `bankroll_usable` of `cash` in a customer-item reply; 0 when the reply does not parse or
// `infor` or its `cash` is missing or null.
double UsableCashOf(const client::ApiReply& reply);

// Asks the service for the user's usable cash now ("/api/v1/customer/item").
double QueryUsableCash();

} // namespace trade
