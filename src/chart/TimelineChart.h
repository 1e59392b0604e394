#pragma once

#include <string_view>
#include <vector>

#include "chart/ChartColour.h"
#include "chart/ChartReplies.h"
#include "chart/ReplyTail.h"

class CKBarCtrl;

namespace chart {

inline constexpr const char* kTimelineTitle = "Tolmere小酒窖     分时 均价  成交量";
// One slot per minute of the trading day, 09:30 to 21:00 with the breaks.
inline constexpr int kTimelineSlots = 361;
inline constexpr Colour kAverageColour = Rgb(255, 255, 0);
inline constexpr Colour kPriceColour = Rgb(240, 240, 240);

// Each minute's volume colour: rise or fall against the last traded minute's price.
std::vector<Colour> volumeColours(const std::vector<TimelineRecord>& records);

// The time-share chart on one control. Loads keep the day so far: a poll that repeats it and
// adds or changes only its last minutes parses and draws only those.
class TimelineChart final
{
public:
    explicit TimelineChart(CKBarCtrl& ctrl);
    TimelineChart(const TimelineChart&) = delete;
    TimelineChart& operator=(const TimelineChart&) = delete;

    // Creates the sub-areas "O" and "M" with displays "O1", "O2" and "M1" (first show).
    void setUp();
    // Loads a time-share reply (wire text) and draws what changed; any thread. Returns false
    // when the reply was dropped or left the chart unchanged.
    bool load(std::string_view wireReply);

    CKBarCtrl& control() const { return m_ctrl; }

private:
    CKBarCtrl& m_ctrl;
    bool m_setUp = false;
    // The poller's: one load at a time.
    ReplyTailReader m_reader;
    std::vector<TimelineRecord> m_records;
};

} // namespace chart
