#include "market/SingleItemQuote.h"

#include <cstdio>
#include <string>

#include <QString>

#include "client/ApiReply.h"
#include "client/Call.h"
#include "platform/Dialogs.h"

namespace market {

namespace {

std::mutex g_quoteMutex;
SingleItemQuote g_quote;

} // namespace

SingleItemQuote CurrentSingleItemQuote()
{
    std::lock_guard lock(g_quoteMutex);
    return g_quote;
}

void SetCurrentSingleItemQuote(const SingleItemQuote& quote)
{
    std::lock_guard lock(g_quoteMutex);
    g_quote = quote;
}

client::ApiReply FetchSingleItemQuote(int itemCode, client::Lock lock)
{
    return client::Call(client::Endpoint::TradeGuide, {{"id", std::to_string(itemCode)}}, {"\n单个商品行情\n"}, lock);
}

QuoteOutcome TakeSingleItemQuote(const client::ApiReply& reply, QWidget* parent, QuoteRefusal refusal)
{
    SingleItemQuote quote = CurrentSingleItemQuote();
    const QuoteOutcome outcome = ApplyTradeGuideReply(reply, quote);
    if (outcome == QuoteOutcome::Updated)
        SetCurrentSingleItemQuote(quote);
    else if (outcome == QuoteOutcome::Refused && refusal == QuoteRefusal::Tell)
        platform::messageBox(parent, QString::fromStdString(reply.msg));
    return outcome;
}

QuoteOutcome RequestSingleItemQuote(int itemCode, QWidget* parent, QuoteRefusal refusal)
{
    return TakeSingleItemQuote(FetchSingleItemQuote(itemCode), parent, refusal);
}

} // namespace market
