#include "market/SingleItemQuote.h"

#include <cstdio>
#include <string>

#include <QString>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Endpoints.h"
#include "client/Transport.h"
#include "platform/Dialogs.h"
#include "platform/Trace.h"

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

QuoteOutcome RequestSingleItemQuote(int itemCode, QWidget* parent)
{
    const client::SignedRequest request =
        client::BuildSignedRequest(client::Endpoint::TradeGuide, {{"id", std::to_string(itemCode)}});
    std::string wire;
    client::HttpPostForm(request.url, request.body, client::PostLock(), wire);
    const client::ApiReply reply = client::ApiReply::FromWire(wire);
    platform::trace("\n单个商品行情\n");
    platform::trace(client::WireToUtf8(wire));
    SingleItemQuote quote = CurrentSingleItemQuote();
    const QuoteOutcome outcome = ApplyTradeGuideReply(reply, quote);
    if (outcome == QuoteOutcome::Updated)
        SetCurrentSingleItemQuote(quote);
    else if (outcome == QuoteOutcome::Refused)
        platform::messageBox(parent, QString::fromStdString(reply.msg));
    return outcome;
}

} // namespace market
