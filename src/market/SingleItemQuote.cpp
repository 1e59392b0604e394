#include "market/SingleItemQuote.h"

#include <cstdio>
#include <string>

#include <QString>

#include "client/ApiReply.h"
#include "client/Call.h"
#include "platform/Dialogs.h"
#include "session/Session.h"

namespace market {

client::ApiReply fetchSingleItemQuote(int itemCode, client::Lock lock)
{
    return client::Call(client::Endpoint::TradeGuide, {{"id", std::to_string(itemCode)}}, {"\n单个商品行情\n"}, lock);
}

QuoteOutcome takeSingleItemQuote(const client::ApiReply& reply, QWidget* parent, QuoteRefusal refusal)
{
    SingleItemQuote quote = Session::current().singleItemQuote();
    const QuoteOutcome outcome = applyTradeGuideReply(reply, quote);
    if (outcome == QuoteOutcome::Updated)
        Session::current().setSingleItemQuote(quote);
    else if (outcome == QuoteOutcome::Refused && refusal == QuoteRefusal::Tell)
        platform::messageBox(parent, QString::fromStdString(reply.msg));
    return outcome;
}

QuoteOutcome requestSingleItemQuote(int itemCode, QWidget* parent, QuoteRefusal refusal)
{
    return takeSingleItemQuote(fetchSingleItemQuote(itemCode), parent, refusal);
}

} // namespace market
