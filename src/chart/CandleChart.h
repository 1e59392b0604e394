#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class CKBarCtrl;

namespace chart {

inline constexpr const char* kItemTitle = "Tolmere小酒窖";
inline constexpr int kDefaultPeriodCode = 8;

struct CandleRecord
{
    float open = 0;
    float close = 0;
    float high = 0;
    float low = 0;
    std::int32_t time = 0;
    int vol = 0;
};

// The records of a candle reply (UTF-8); nothing when it does not parse or reports failure.
std::optional<std::vector<CandleRecord>> ParseCandleReply(std::string_view utf8);

struct CandleWindow
{
    int first = 0;
    int last = 0;
};

// The element window for `count` candles in visibleBarCount + 1 slots: from the left while
// they fit, else the newest ones.
CandleWindow CandleWindowFor(int count, int visibleBarCount);

// Creates the candle chart's sub-areas "N" and "P" and displays "N1" and "P1" (first show).
void SetUpCandleChart(CKBarCtrl& ctrl);

// Loads a candle reply (wire text) of period `periodCode` and draws it; any thread. Returns
// false when the reply was dropped or left the chart unchanged.
bool LoadCandles(CKBarCtrl& ctrl, std::string_view wireReply, int periodCode, int visibleBarCount);

} // namespace chart
