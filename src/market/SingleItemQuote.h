#pragma once

class QWidget;

#include "client/Call.h"
#include "session/Records.h"

namespace market {

enum class QuoteOutcome { Unparsed, Refused, Updated };

// Applies a guide reply to `quote`: a refusal or an unparsable reply leaves it as it was.
QuoteOutcome applyTradeGuideReply(const client::ApiReply& reply, SingleItemQuote& quote);

enum class QuoteRefusal { Tell, Quiet };

// Any thread: the guide request of one item, as received.
client::ApiReply fetchSingleItemQuote(int itemCode, client::Lock lock = client::Lock::Locked);

// Window thread: makes a guide reply the shared quote; a refusal is told over `parent`
// unless the caller keeps quiet.
QuoteOutcome takeSingleItemQuote(const client::ApiReply& reply, QWidget* parent, QuoteRefusal refusal);

// Window thread: asks the service for the item's quote and updates the shared one. A
// refusal shows the service's "msg" in a message box over `parent`, unless the caller
// asks on a timer and keeps quiet.
QuoteOutcome requestSingleItemQuote(int itemCode, QWidget* parent = nullptr,
                                    QuoteRefusal refusal = QuoteRefusal::Tell);

} // namespace market
