#include "Endpoints.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <json/json.h>

#include "ApiReply.h"
#include "ApiSign.h"
#include "CodePage.h"
#include "Options.h"
#include "RequestBody.h"
#include "ServerLine.h"
#include "session/Session.h"

namespace client {
namespace {

using M = Method;
using B = Base;

const std::vector<EndpointInfo>& rows()
{
    static const std::vector<EndpointInfo> table = {
        {Endpoint::Login, "/api/v1/user/login", M::SignedPost, B::Trade, {"passwd", "username", "v"}, {}, false},
        {Endpoint::UpdateInfo, "/api/v1/user/update_info", M::SignedPost, B::Trade,
         {"account", "address", "contract_address", "email", "id", "mobile", "name", "personal_id", "phone", "v"},
         {}, true},
        {Endpoint::UpdatePasswd, "/api/v1/user/update_passwd", M::SignedPost, B::Trade,
         {"id", "new_passwd", "old_passwd", "v"}, {}, false},
        {Endpoint::Buy, "/api/v1/item/buy", M::SignedPost, B::Trade, {"buy_amount", "buy_price", "id", "item_id", "v"},
         {"buy_amount"}, false},
        {Endpoint::QuickBuy, "/api/v1/item/buy", M::SignedPost, B::Trade,
         {"buy_amount", "buy_price", "id", "item_id", "v"}, {"buy_amount", "item_id"}, false},
        {Endpoint::Sell, "/api/v1/item/sell", M::SignedPost, B::Trade,
         {"id", "item_id", "sell_amount", "sell_price", "v"}, {"sell_amount"}, false},
        {Endpoint::Repeal, "/api/v1/order/repeal", M::SignedPost, B::Trade, {"id", "stockholder_id", "v"}, {"id"},
         false},
        {Endpoint::CustomerItem, "/api/v1/customer/item", M::SignedPost, B::Trade, {"id", "v"}, {}, false},
        {Endpoint::OrderToday, "/api/v1/order/today", M::SignedPost, B::Trade, {"id", "v"}, {}, false},
        {Endpoint::TradeToday, "/api/v1/trade/today", M::SignedPost, B::Trade, {"id", "v"}, {}, false},
        {Endpoint::TradeHistory, "/api/v1/trade/history", M::SignedPost, B::Trade,
         {"end_date", "id", "start_date", "v"}, {}, false},
        {Endpoint::Delivery, "/api/v1/stock/delivery", M::SignedPost, B::Trade,
         {"add_date", "address", "amount", "consignee", "contact", "id", "method", "stock_id", "v"}, {}, true},
        {Endpoint::DeliveryHistory, "/api/v1/delivery/history", M::SignedPost, B::Trade, {"id", "v"}, {}, false},
        {Endpoint::AccountTransfer, "/api/v2/account/transfer", M::SignedPost, B::Trade, {"cash", "id", "v"}, {},
         false},
        {Endpoint::CashHistory, "/api/v2/cash/history", M::SignedPost, B::Trade, {"end_date", "id", "start_date", "v"},
         {}, false},
        {Endpoint::TradeGuide, "/api/v1/trade/guide", M::SignedPost, B::Trade, {"id", "v"}, {"id"}, false},
        {Endpoint::Ad, "/api/v1/ad", M::SignedPost, B::Trade, {"v"}, {}, false},
        {Endpoint::UpToTheMinute, "/api/v1/stock/up-to-the-minute", M::SignedPost, B::Trade, {"id", "v"}, {}, false},
        {Endpoint::AccountApply, "/api/v1/account/apply", M::SignedPost, B::Trade, {"id", "v"}, {}, false},
        {Endpoint::Realtime, "/api/realtime/", M::Get, B::Market, {}, {}, false, true, ""},
        {Endpoint::DealDetailLatest, "/api/dealdetail/", M::Get, B::Market, {}, {}, false, true, "/20"},
        {Endpoint::DealDetailAll, "/api/dealdetail/", M::Get, B::Market, {}, {}, false, true, "/0"},
        {Endpoint::PriceDetail, "/api/pricedetail/", M::Get, B::Market, {}, {}, false, true, ""},
        {Endpoint::StockInfo, "/api/stockinfo/", M::Get, B::Market, {}, {}, false, true, ""},
        {Endpoint::Timeline, "/api/timeline/", M::Get, B::Market, {}, {}, false, true, ""},
        {Endpoint::Histogram, "/api/histogram/", M::Get, B::Market, {}, {}, false, true, "/"},
        {Endpoint::UpdateManifest, "/pc_update.json", M::Get, B::UpdateHost, {}, {}, false},
    };
    return table;
}

bool contains(const std::vector<std::string_view>& list, std::string_view key)
{
    return std::find(list.begin(), list.end(), key) != list.end();
}

std::string canonicalInteger(const std::string& text) { return std::to_string(IntegerParamValue(text)); }

// Into the encoding the request travels in.
std::string outgoing(const EndpointInfo& info, const std::string& utf8)
{
    return info.utf8 ? utf8 : utf8ToWire(utf8);
}

} // namespace

std::int64_t IntegerParamValue(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str())
        return 0;
    return v;
}

std::span<const EndpointInfo> endpointTable()
{
    return rows();
}

const EndpointInfo& endpointInfo(Endpoint endpoint)
{
    for (const EndpointInfo& info : rows()) {
        if (info.endpoint == endpoint)
            return info;
    }
    return rows().front(); // unreachable: every enumerator has a row
}

const EndpointInfo* findEndpoint(Method method, std::string_view path)
{
    for (const EndpointInfo& info : rows()) {
        if (info.method != method)
            continue;
        const bool variableTail = info.endpoint == Endpoint::Timeline || info.endpoint == Endpoint::Histogram;
        if (!info.perItem) {
            if (path == info.path)
                return &info;
            continue;
        }
        if (path.substr(0, info.path.size()) != info.path)
            continue;
        std::string_view rest = path.substr(info.path.size());
        const std::size_t digits = std::min(rest.find_first_not_of("0123456789"), rest.size());
        if (digits == 0)
            continue;
        rest.remove_prefix(digits);
        if (variableTail ? rest.substr(0, info.itemSuffix.size()) == info.itemSuffix : rest == info.itemSuffix)
            return &info;
    }
    return nullptr;
}

std::string endpointUrl(Endpoint endpoint, std::string_view tail, int item)
{
    const EndpointInfo& info = endpointInfo(endpoint);
    std::string url;
    switch (info.base) {
    case Base::Trade: url = Session::current().tradeBaseUrl(); break;
    case Base::Market: url = Session::current().marketBaseUrl(); break;
    case Base::UpdateHost: url = "http://" + Session::current().options().updateHost; break;
    }
    url += info.path;
    if (info.perItem) {
        url += std::to_string(item != 0 ? item : Session::current().currentItem().code);
        url += info.itemSuffix;
    }
    url += tail;
    return url;
}

std::string signatureInputOf(const std::map<std::string, std::string>& params, std::string_view key)
{
    std::string input;
    for (const auto& [name, value] : params) {
        if (name == "sign")
            continue;
        input += name;
        input += '=';
        input += value;
    }
    input += key;
    return input;
}

SignedRequest buildSignedRequest(Endpoint endpoint, std::vector<Param> params, std::string_view key, std::uint32_t v)
{
    const EndpointInfo& info = endpointInfo(endpoint);
    std::map<std::string, std::string> sorted;
    for (Param& p : params) {
        if (p.key == "v" || p.key == "sign")
            continue;
        sorted[p.key] = contains(info.integerParams, p.key) ? canonicalInteger(p.value) : std::move(p.value);
    }
    sorted["v"] = timestampText(v);

    SignedRequest request;
    request.signatureInput = outgoing(info, signatureInputOf(sorted, key));
    request.sign = ApiSign(request.signatureInput);

    std::vector<BodyMember> members;
    members.reserve(sorted.size() + 1);
    for (const auto& [name, value] : sorted)
        members.push_back({name, value, contains(info.integerParams, name)});
    members.push_back({"sign", request.sign, false});
    request.body = outgoing(info, styledBody(std::move(members)));
    return request;
}

SignedRequest buildSignedRequest(Endpoint endpoint, std::vector<Param> params)
{
    SignedRequest request =
        buildSignedRequest(endpoint, std::move(params), Session::current().options().signKey, CurrentTimestamp());
    request.url = endpointUrl(endpoint);
    return request;
}

VerifiedBody verifySignedBody(const EndpointInfo& endpoint, std::string_view body, std::string_view key)
{
    VerifiedBody result;
    const std::string utf8 = endpoint.utf8 ? std::string(body) : wireToUtf8(body);
    Json::Value root;
    if (!parseJson(utf8, root) || !root.isObject()) {
        result.error = "malformed";
        return result;
    }
    std::string sign;
    for (const std::string& name : root.getMemberNames()) {
        const Json::Value& value = root[name];
        if (!value.isString() && !value.isIntegral()) {
            result.error = "malformed";
            return result;
        }
        if (name == "sign")
            sign = jsonText(value);
        else
            result.params[name] = jsonText(value);
    }
    for (std::string_view required : endpoint.params) {
        if (!result.params.count(std::string(required))) {
            result.error = "missing " + std::string(required);
            return result;
        }
    }
    const std::string input = signatureInputOf(result.params, key);
    if (sign.empty() || ApiSign(endpoint.utf8 ? input : utf8ToWire(input)) != sign) {
        result.error = "signature";
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace client
