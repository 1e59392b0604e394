#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace client {

enum class Endpoint {
    Login,
    UpdateInfo,
    UpdatePasswd,
    Buy,      // item_id as text, as typed in the buy window
    QuickBuy, // item_id as an integer, from the quick pop-up
    Sell,
    Repeal,
    CustomerItem,
    OrderToday,
    TradeToday,
    TradeHistory,
    Delivery,
    DeliveryHistory,
    AccountTransfer,
    CashHistory,
    TradeGuide,
    Ad,
    UpToTheMinute,
    AccountApply,
    // The market-data paths name an item: "/api/realtime/<code>", "/api/dealdetail/<code>/20", ...
    Realtime,
    DealDetailLatest,
    DealDetailAll,
    PriceDetail,
    StockInfo,
    Timeline,  // followed by "/" and the current Unix time
    Histogram, // followed by the period code
    UpdateManifest,
};

enum class Method { SignedPost, Get };
enum class Base { Trade, Market, UpdateHost };

struct EndpointInfo
{
    Endpoint endpoint;
    std::string_view path;
    Method method;
    Base base;
    // Every parameter in ascending key order, `v` included, `sign` not.
    std::vector<std::string_view> params;
    std::vector<std::string_view> integerParams;
    bool utf8 = false; // signature input and body go out in UTF-8 instead of the wire code page
    // The path is followed by an item code and then this suffix (and a request's tail).
    bool perItem = false;
    std::string_view itemSuffix{};
};

// The whole index, one row per endpoint.
std::span<const EndpointInfo> endpointTable();
const EndpointInfo& endpointInfo(Endpoint endpoint);

// The row serving a path (for a signed POST the first row with it: Buy before QuickBuy).
// Paths with a variable tail (time-share, candles) match by prefix.
const EndpointInfo* findEndpoint(Method method, std::string_view path);

// Base URL of the current line (or the update host) followed by the path and `tail`; a
// market-data path names `item`, or the session's current item when it is 0.
std::string endpointUrl(Endpoint endpoint, std::string_view tail = {}, int item = 0);

// The value an integer parameter's text is signed and sent as: its leading decimal
// number, or 0 when there is none or it does not fit 64 bits.
std::int64_t IntegerParamValue(const std::string& text);

struct Param
{
    std::string key;
    std::string value; // UTF-8 text; the decimal form for an integer parameter
};

struct SignedRequest
{
    std::string url;
    std::string signatureInput; // the bytes hashed, in the request's encoding
    std::string sign;
    std::string body;           // the bytes posted
};

// Signs and writes the body of a request. `params` holds every parameter of the endpoint
// but `v`, which is added here. Integer parameters are written in decimal (non-numeric
// text as 0) in both the signature input and the body, so the two always agree.
SignedRequest buildSignedRequest(Endpoint endpoint, std::vector<Param> params, std::string_view key,
                                 std::uint32_t v);
// The same with the configured key, the current time and the current line's URL.
SignedRequest buildSignedRequest(Endpoint endpoint, std::vector<Param> params);

// The signature input of the rule: key=value for each parameter in ascending key order,
// then the signing key; `sign` itself never enters.
std::string signatureInputOf(const std::map<std::string, std::string>& params, std::string_view key);

// The receiving side of the same rule: parses a posted body (UTF-8 for the UTF-8
// requests, wire code page otherwise), recomputes the signature over every member but
// `sign` and checks it. On success returns the members as UTF-8 text.
struct VerifiedBody
{
    bool ok = false;
    std::string error; // why the body was refused
    std::map<std::string, std::string> params;
};
VerifiedBody verifySignedBody(const EndpointInfo& endpoint, std::string_view body, std::string_view key);

} // namespace client
