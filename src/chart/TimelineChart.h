#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/ChartColour.h"
#include "chart/ChartReplies.h"
#include "chart/ReplyTail.h"
#include "session/Records.h"

class CKBarCtrl;

namespace chart {

inline constexpr const char* kTimelineTitleTail = "     分时 均价  成交量"; // after the item's name
// One slot per minute of the trading day, 09:30 to 21:00 with the breaks.
inline constexpr int kTimelineSlots = 361;
inline constexpr Colour kAverageColour = Rgb(255, 255, 0);
inline constexpr Colour kPriceColour = Rgb(240, 240, 240);

// Each minute's volume colour: rise or fall against the last traded minute's price.
std::vector<Colour> volumeColours(const std::vector<TimelineRecord>& records);

using TimelineBatch = RecordBatch<TimelineRecord>;

// The time-share poll's reader, on the poller's thread, as CandleReader is for candles.
class TimelineReader final
{
public:
    std::optional<TimelineBatch> operator()(const std::string& wireReply, const market::CurrentItem& item = {});

private:
    RecordReader<TimelineRecord> m_reader;
};

// The time-share chart on one control. Loads keep the day so far: a poll that repeats it and
// adds or changes only its last minutes parses and draws only those.
class TimelineChart final
{
public:
    explicit TimelineChart(CKBarCtrl& ctrl);
    ~TimelineChart();
    TimelineChart(const TimelineChart&) = delete;
    TimelineChart& operator=(const TimelineChart&) = delete;

    // Creates the sub-areas "O" and "M" with displays "O1", "O2" and "M1" (first show).
    void setUp();
    // Takes the minutes a poll read and draws what changed; false when the batch was asked
    // for an item the chart has since left.
    bool apply(const TimelineBatch& batch);
    // Reads a time-share reply (wire text) here and applies it.
    bool load(std::string_view wireReply, const market::CurrentItem& item = {});
    // Empties the chart for a newly chosen item until its first reply.
    void showItem(const market::CurrentItem& item);

    CKBarCtrl& control() const { return m_ctrl; }

    // The percentage scale centred on the previous close (when known) or, as specified, on
    // the first average price.
    void setCentredOnPreviousClose(bool on);

    // Left/Right move the cross-hair a minute; false for other keys or an empty day.
    bool handleKey(int qtKey);
    // The day the minutes belong to, for the information box's date; tests set their own.
    void setClock(std::function<std::time_t()> now) { m_now = std::move(now); }
    // The item's previous close from the overview, 0 while it is not known.
    double previousClose() const;

private:
    CKBarCtrl& m_ctrl;
    bool m_setUp = false;
    TimelineReader m_reader; // of the replies loaded here rather than polled
    std::vector<TimelineRecord> m_records;
    market::ShownGeneration m_shown;
    int m_code = market::kFirstItem;
    bool m_onPreviousClose = false;
    std::function<std::time_t()> m_now = [] { return std::time(nullptr); };
};

} // namespace chart
