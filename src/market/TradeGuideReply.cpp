// The single-item quote's reader, apart from the request and its message box.
#include "client/Numbers.h"
#include "market/SingleItemQuote.h"

#include <cmath>
#include <string>

#include "client/ApiReply.h"

namespace market {

namespace {

std::string key(const char* prefix, int n)
{
    return prefix + std::to_string(n);
}

std::string priceText(double v)
{
    if (v > -0.00001 && v < 0.00001)
        return "--";
    return client::fixedDecimals(v, 2);
}

std::string volumeText(int v)
{
    return v == 0 ? "--" : std::to_string(v);
}

// A price past a trillion is no price: a double keeps no cent there, and its text would run to
// hundreds of digits in the quote box and the order form.
double price(const Json::Value& infor, const std::string& k)
{
    const double v = client::jsonReal(infor, k.c_str());
    return std::fabs(v) < 1e12 ? v : 0.0;
}

} // namespace

QuoteOutcome applyTradeGuideReply(const client::ApiReply& reply, SingleItemQuote& quote)
{
    if (!reply.parsed)
        return QuoteOutcome::Unparsed;
    if (!reply.success)
        return QuoteOutcome::Refused;
    const Json::Value& infor = reply.infor;
    SingleItemQuote q;
    for (int i = 0; i < 5; ++i) {
        q.firstPrices[i] = price(infor, key("extend_", 1 + i));
        q.firstVolumes[i] = client::jsonInt(infor, key("extend_", 6 + i).c_str());
        q.secondPrices[i] = price(infor, key("extend_", 11 + i));
        q.secondVolumes[i] = client::jsonInt(infor, key("extend_", 16 + i).c_str());
    }
    const char* fourKeys[] = {"main_9", "main_24", "extend_22", "extend_23"};
    for (int i = 0; i < 4; ++i)
        q.prices[i] = price(infor, fourKeys[i]);
    q.referencePrice = price(infor, "main_5");
    for (int i = 0; i < 5; ++i) {
        q.texts[i] = priceText(q.firstPrices[i]);
        q.texts[5 + i] = volumeText(q.firstVolumes[i]);
        q.texts[10 + i] = priceText(q.secondPrices[i]);
        q.texts[15 + i] = volumeText(q.secondVolumes[i]);
    }
    for (int i = 0; i < 4; ++i)
        q.texts[20 + i] = priceText(q.prices[i]);
    quote = q;
    return QuoteOutcome::Updated;
}

} // namespace market
