#pragma once

#include <array>
#include <mutex>
#include <string>

class QWidget;

#include "client/Call.h"

namespace market {

// The ten-level quote of one item from "/api/v1/trade/guide", as the order windows use it.
struct SingleItemQuote
{
    std::array<float, 5> firstPrices{};  // "extend_1" to "extend_5"; the quick buy price is the first
    std::array<int, 5> firstVolumes{};   // "extend_6" to "extend_10"
    std::array<float, 5> secondPrices{}; // "extend_11" to "extend_15"; the quick sell price is the first
    std::array<int, 5> secondVolumes{};  // "extend_16" to "extend_20"
    std::array<float, 4> prices{};       // "main_9", "main_24", "extend_22", "extend_23"
    float referencePrice = 0.0f;         // "main_5"
    // The 20 level values then the four prices, "%.2f" or "%d", "--" for zero.
    std::array<std::string, 24> texts;

    SingleItemQuote() { texts.fill("--"); }
    bool operator==(const SingleItemQuote&) const = default;
};

enum class QuoteOutcome { Unparsed, Refused, Updated };

// Applies a guide reply to `quote`: a refusal or an unparsable reply leaves it as it was.
QuoteOutcome applyTradeGuideReply(const client::ApiReply& reply, SingleItemQuote& quote);

// The process-wide quote: filled on the window thread, read by any.
SingleItemQuote currentSingleItemQuote();
void setCurrentSingleItemQuote(const SingleItemQuote& quote);

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
