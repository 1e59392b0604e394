#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include <json/value.h>

// The records of the candle and time-share replies, apart from the controls they feed: no
// window system needed.
namespace chart {

// Prices are kept as the reply's doubles and volumes as 64-bit integers all the way to the
// pixel: a float loses the cents from 131072 on and a volume's units from 16777216 on.
struct CandleRecord
{
    double open = 0;
    double close = 0;
    double high = 0;
    double low = 0;
    std::int32_t time = 0;
    std::int64_t vol = 0;
    // Members a reply may carry beyond the specified ones: money traded and turnover in %.
    std::optional<double> amount{};
    std::optional<double> turnover{};

    bool operator==(const CandleRecord&) const = default;
};

struct TimelineRecord
{
    double averagePrice = 0;
    double price = 0;
    std::int64_t vol = 0;

    bool operator==(const TimelineRecord&) const = default;
};

// The records of an "infor" array; members of the wrong type read as zero.
std::vector<CandleRecord> candleRecords(const Json::Value& infor);
std::vector<TimelineRecord> timelineRecords(const Json::Value& infor);

// The records of a whole reply (UTF-8); nothing when it does not parse or reports failure.
std::optional<std::vector<CandleRecord>> parseCandleReply(std::string_view utf8);
std::optional<std::vector<TimelineRecord>> parseTimelineReply(std::string_view utf8);

} // namespace chart
