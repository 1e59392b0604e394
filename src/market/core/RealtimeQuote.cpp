#include "RealtimeQuote.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "client/ApiReply.h"
#include "client/Numbers.h"

namespace market {
namespace {

std::string Fixed2(double v)
{
    return client::fixedDecimals(v, 2);
}

Tone against(double value, double reference)
{
    const double d = value - reference;
    return d > 0 ? Tone::Up : d < 0 ? Tone::Down : Tone::Level;
}

Cell Price(double price, double reference)
{
    const Tone tone = against(price, reference);
    return {price == 0.0 ? "--" : Fixed2(price), tone};
}

Cell Volume(int volume)
{
    return {volume == 0 ? "--" : std::to_string(volume), Tone::Volume};
}

} // namespace

const std::array<const char*, 28>& QuoteLabels()
{
    static const std::array<const char*, 28> labels = {
        "委比", "卖⑤", "卖④", "卖③", "卖②", "卖①", "买①", "买②", "买③", "买④",
        "买⑤", "最新", "涨跌", "最高", "总手", "总额", "外盘", "涨停", "市值", "委差",
        "涨幅", "开盘", "最低", "现手", "换手", "内盘", "跌停", "总量"};
    return labels;
}

RealtimeQuote parseRealtime(const std::string& utf8Reply)
{
    RealtimeQuote q;
    Json::Value root;
    if (!client::parseJson(utf8Reply, root) || !root.isObject())
        return q;
    q.parsed = true;
    const Json::Value& infor = root["infor"];
    const Json::Value first = infor.isArray() && !infor.empty() ? infor[0] : Json::Value();

    q.title = client::jsonText(first, "stockName");
    q.opening = client::jsonReal(first, "opening");
    q.reference = q.opening - 0.01;
    auto& v = q.values;

    const double pct = client::jsonReal(first, "entrustPCT");
    const Tone entrustTone = pct > 0 ? Tone::Up : pct < 0 ? Tone::Down : Tone::Level;
    v[0] = {pct == 0 ? "--" : Fixed2(pct) + "%", entrustTone};
    v[19] = {Fixed2(client::jsonReal(first, "entrustDIF")), entrustTone};

    static const char* kSellPrices[] = {"sellPrice5", "sellPrice4", "sellPrice3", "sellPrice2", "sellPrice1"};
    static const char* kBuyPrices[] = {"buyPrice1", "buyPrice2", "buyPrice3", "buyPrice4", "buyPrice5"};
    static const char* kSellVols[] = {"sellVol5", "sellVol4", "sellVol3", "sellVol2", "sellVol1"};
    static const char* kBuyVols[] = {"buyVol1", "buyVol2", "buyVol3", "buyVol4", "buyVol5"};
    for (int i = 0; i < 5; ++i) {
        v[1 + i] = Price(client::jsonReal(first, kSellPrices[i]), q.reference);
        v[6 + i] = Price(client::jsonReal(first, kBuyPrices[i]), q.reference);
        q.levelPrices[size_t(i)] = std::max(0.0, client::jsonReal(first, kSellPrices[i]));
        q.levelPrices[size_t(5 + i)] = std::max(0.0, client::jsonReal(first, kBuyPrices[i]));
        v[20 + i] = Volume(client::jsonInt(first, kSellVols[i]));
        v[25 + i] = Volume(client::jsonInt(first, kBuyVols[i]));
    }

    const double increase = client::jsonReal(first, "increase");
    const Tone moveTone = increase > 0 ? Tone::Up : increase < 0 ? Tone::Down : Tone::Level;
    v[11] = {Fixed2(client::jsonReal(first, "latest")), moveTone};
    if (const double latest = client::jsonReal(first, "latest"); std::fabs(latest) >= 0.00001)
        q.latest = latest;
    v[12] = {Fixed2(client::jsonReal(first, "change")), moveTone};
    v[30] = {increase == 0 ? "--" : Fixed2(increase) + "%", moveTone};

    v[13] = {Fixed2(client::jsonReal(first, "max")), against(client::jsonReal(first, "max"), q.reference)};
    v[31] = {Fixed2(q.opening), against(q.opening, q.reference)};
    v[32] = {Fixed2(client::jsonReal(first, "min")), against(client::jsonReal(first, "min"), q.reference)};

    v[14] = {std::to_string(client::jsonInt(first, "vol")), Tone::Volume};
    v[33] = {std::to_string(client::jsonInt(first, "newVol")), Tone::Volume};
    v[15] = {Fixed2(client::jsonReal(first, "total")), Tone::Volume};
    v[34] = {Fixed2(client::jsonReal(first, "turnover")) + "%", Tone::Level};
    v[35] = {std::to_string(client::jsonInt(first, "inVol")), Tone::Down};
    v[16] = {std::to_string(client::jsonInt(first, "outVol")), Tone::Up};
    v[17] = {Fixed2(client::jsonReal(first, "limitUp")), Tone::Up};
    v[36] = {Fixed2(client::jsonReal(first, "limitDown")), Tone::Down};
    const int inventory = client::jsonInt(first, "inventory");
    v[37] = {std::to_string(inventory), Tone::Up};
    v[18] = {Fixed2(inventory * client::jsonReal(first, "latest")), Tone::Up};
    return q;
}

std::vector<DealTick> readDealTicks(const std::string& utf8Reply)
{
    std::vector<DealTick> ticks;
    const client::ApiReply reply = client::ApiReply::fromUtf8(utf8Reply);
    if (!reply.success || !reply.infor.isArray())
        return ticks;
    ticks.reserve(reply.infor.size());
    for (const Json::Value& tick : reply.infor) {
        const std::time_t t = static_cast<std::time_t>(client::JsonInt64(tick, "time"));
        std::tm local{};
        localtime_r(&t, &local);
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
        ticks.push_back({time, client::jsonReal(tick, "price"), client::jsonInt(tick, "vol")});
    }
    return ticks;
}

std::vector<TickRow> dealTickRows(const std::vector<DealTick>& ticks, double opening)
{
    std::vector<TickRow> rows;
    rows.reserve(ticks.size());
    for (const DealTick& tick : ticks)
        rows.push_back({tick.time, {Fixed2(tick.price), against(tick.price, opening)},
                        {std::to_string(tick.volume), Tone::Volume}});
    return rows;
}

std::vector<TickRow> parseDealTicks(const std::string& utf8Reply, double opening)
{
    return dealTickRows(readDealTicks(utf8Reply), opening);
}

} // namespace market
