#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "chart/ChartColour.h"
#include "chart/ChartReplies.h"

// What the information box reads out at the cross-hair: plain rows worked out from the
// records a chart keeps, so they can be checked without a window.
namespace chart {

inline constexpr Colour kReadoutNeutral = Rgb(240, 240, 240);

struct ReadoutRow
{
    std::string label; // "开盘:"
    std::string value; // "12.34", or "--" where the value is missing
    Colour colour = kReadoutNeutral;
    bool operator==(const ReadoutRow&) const = default;
};

// The candle at `index`: 日期 (with its time for intraday periods), 开盘, 最高, 最低, 收盘,
// 成交, 金额, 涨跌幅 and 振幅 against the previous candle's close, 换手. Prices take the rise
// or fall colour against that close. Empty for an index outside the records.
std::vector<ReadoutRow> candleReadout(const std::vector<CandleRecord>& records, int index, int periodCode);

// The minute in slot `index` of the day `day` (any moment of it): 日期, 时间, 最新, 涨跌,
// 涨幅, 均价, 申报量. Changes count from `previousClose`; 0 means it is not known.
std::vector<ReadoutRow> timelineReadout(const std::vector<TimelineRecord>& records, int index,
                                        double previousClose, std::time_t day);

// Minute of the day (0..1439) that a time-share slot stands for. The breaks between the
// trading periods are compressed into 30 slots each, as the exchange fills them.
int timelineMinuteOfSlot(int slot);

// Intraday periods are the tick and 1- to 120-minute candles.
bool isIntradayPeriod(int periodCode);

} // namespace chart
