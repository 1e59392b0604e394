#include "chart/ChartReplies.h"

#include <cmath>

#include "chart/CandleChart.h"
#include "chart/TimelineChart.h"

#include "client/ApiReply.h"

namespace chart {
namespace {

std::optional<double> optionalNumber(const Json::Value& record, const char* key)
{
    const Json::Value& v = client::jsonMember(record, key);
    if (!v.isNumeric() || !std::isfinite(v.asDouble()))
        return std::nullopt;
    return v.asDouble();
}

} // namespace

std::vector<CandleRecord> candleRecords(const Json::Value& infor)
{
    std::vector<CandleRecord> records;
    if (!infor.isArray())
        return records;
    records.reserve(infor.size());
    for (const Json::Value& r : infor) {
        CandleRecord c;
        c.open = client::jsonReal(r, "startPrice");
        c.close = client::jsonReal(r, "endPrice");
        c.high = client::jsonReal(r, "maxPrice");
        c.low = client::jsonReal(r, "minPrice");
        c.time = static_cast<std::int32_t>(static_cast<std::uint32_t>(client::JsonInt64(r, "time")));
        c.vol = client::JsonInt64(r, "vol");
        c.amount = optionalNumber(r, "amount");
        c.turnover = optionalNumber(r, "turnover");
        records.push_back(c);
    }
    return records;
}

std::optional<std::vector<CandleRecord>> parseCandleReply(std::string_view utf8)
{
    const client::ApiReply reply = client::ApiReply::fromUtf8(utf8);
    if (!reply.success)
        return std::nullopt;
    return candleRecords(reply.infor);
}

CandleWindow candleWindowFor(int count, int visibleBarCount)
{
    if (count <= visibleBarCount)
        return {0, visibleBarCount};
    return {count - visibleBarCount, count};
}

std::vector<TimelineRecord> timelineRecords(const Json::Value& infor)
{
    std::vector<TimelineRecord> records;
    if (!infor.isArray())
        return records;
    records.reserve(infor.size());
    for (const Json::Value& r : infor) {
        TimelineRecord t;
        t.averagePrice = client::jsonReal(r, "averagePrice");
        t.price = client::jsonReal(r, "price");
        t.vol = client::JsonInt64(r, "vol");
        records.push_back(t);
    }
    return records;
}

std::optional<std::vector<TimelineRecord>> parseTimelineReply(std::string_view utf8)
{
    const client::ApiReply reply = client::ApiReply::fromUtf8(utf8);
    if (!reply.success)
        return std::nullopt;
    return timelineRecords(reply.infor);
}

std::vector<Colour> volumeColours(const std::vector<TimelineRecord>& records)
{
    std::vector<Colour> colours;
    colours.reserve(records.size());
    double previousPrice = 0;
    // Zero-volume minutes draw no line; before the first trade they take the rise colour.
    Colour colour = kRiseColour;
    for (const TimelineRecord& r : records) {
        if (r.vol != 0) {
            colour = r.price >= previousPrice ? kRiseColour : kFallColour;
            previousPrice = r.price;
        }
        colours.push_back(colour);
    }
    return colours;
}

} // namespace chart
