#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The time labels under the candles: which candles get one and what it reads. Plain code, so
// the choice can be checked without a window.
namespace chart {

struct TimeLabel
{
    int index = 0; // of the candle, in the series
    std::string text;
    bool operator==(const TimeLabel&) const = default;
};

struct TimeAxisFrame
{
    int first = 0;       // the window's first element index
    int slotWidth = 0;   // pixels per candle
    int plotWidth = 0;   // pixels a label may use from the window's first slot on
    int gap = 8;         // pixels kept free between two labels
};

// Labels for the candles `times` (seconds, local time shown) from frame.first on, each
// starting at its candle's slot. Daily and longer periods read "12/08", intraday ones "14:30";
// where the year (daily and longer) or the day (intraday) changes, the label says so
// ("2024/01/02", "12/09") and takes precedence over the regular labels. Regular labels sit on every k-th candle, k
// the fewest slots their text fits in, so they keep their candles while the window scrolls.
// No two labels overlap and none runs past the plot.
std::vector<TimeLabel> candleTimeLabels(const std::vector<std::int32_t>& times, const TimeAxisFrame& frame,
                                        int periodCode, const std::function<int(std::string_view)>& textWidth);

} // namespace chart
