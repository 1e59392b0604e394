#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "chart/ChartColour.h"

class CKBarCtrl;

namespace chart {

inline constexpr const char* kTimelineTitle = "Tolmere小酒窖     分时 均价  成交量";
// One slot per minute of the trading day, 09:30 to 21:00 with the breaks.
inline constexpr int kTimelineSlots = 361;
inline constexpr Colour kAverageColour = Rgb(255, 255, 0);
inline constexpr Colour kPriceColour = Rgb(240, 240, 240);

struct TimelineRecord
{
    float averagePrice = 0;
    float price = 0;
    int vol = 0;
};

// The records of a time-share reply (UTF-8); nothing when it does not parse or reports failure.
std::optional<std::vector<TimelineRecord>> ParseTimelineReply(std::string_view utf8);

// Each minute's volume colour: rise or fall against the last traded minute's price.
std::vector<Colour> VolumeColours(const std::vector<TimelineRecord>& records);

// Creates the sub-areas "O" and "M" with displays "O1", "O2" and "M1" (first show).
void SetUpTimelineChart(CKBarCtrl& ctrl);

// Loads a time-share reply (wire text) and draws it; any thread. Returns false when the
// reply was dropped or left the chart unchanged.
bool LoadTimeline(CKBarCtrl& ctrl, std::string_view wireReply);

} // namespace chart
