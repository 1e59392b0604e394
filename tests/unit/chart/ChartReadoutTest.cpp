// What the information box reads out and which candles get a time label.
#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/ChartReadout.h"
#include "chart/TimeAxis.h"

using namespace chart;

namespace {

std::int32_t Local(int year, int month, int day, int hour = 0, int minute = 0)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return static_cast<std::int32_t>(std::mktime(&tm));
}

// Six pixels a character, as the label font's digits.
int SixEach(std::string_view text)
{
    return int(text.size()) * 6;
}

std::vector<std::string> Texts(const std::vector<ReadoutRow>& rows)
{
    std::vector<std::string> texts;
    for (const ReadoutRow& r : rows)
        texts.push_back(r.label + r.value);
    return texts;
}

} // namespace

TEST(ChartReadout, CandleValuesCountFromThePreviousClose)
{
    CandleRecord first{10, 11, 12, 9.5, Local(2023, 12, 8), 100, {}, {}};
    CandleRecord second{11, 10.45, 11.5, 10, Local(2023, 12, 11), 50, 525.5, 1.25};
    const std::vector<CandleRecord> records{first, second};

    // The first candle has no previous close: what counts from it is missing, and so are the
    // members its reply does not carry.
    EXPECT_EQ(Texts(candleReadout(records, 0, 8)),
              (std::vector<std::string>{"日期:2023/12/08", "开盘:10.00", "最高:12.00", "最低:9.50", "收盘:11.00",
                                        "成交:100", "金额:--", "涨跌幅:--", "换手:--", "振幅:--"}));
    const std::vector<ReadoutRow> rows = candleReadout(records, 1, 8);
    EXPECT_EQ(Texts(rows), (std::vector<std::string>{"日期:2023/12/11", "开盘:11.00", "最高:11.50", "最低:10.00",
                                                     "收盘:10.45", "成交:50", "金额:525.50", "涨跌幅:-5.00%",
                                                     "换手:1.25%", "振幅:13.64%"}));
    EXPECT_EQ(rows[1].colour, kReadoutNeutral); // opened at the previous close
    EXPECT_EQ(rows[2].colour, kRiseColour);
    EXPECT_EQ(rows[4].colour, kFallColour);
    EXPECT_EQ(rows[7].colour, kFallColour);
    EXPECT_EQ(candleReadout(records, 1, 6).front().value, "12/11 00:00"); // intraday: with the time
    EXPECT_TRUE(candleReadout(records, 2, 8).empty());
    EXPECT_TRUE(candleReadout(records, -1, 8).empty());
}

TEST(ChartReadout, TimelineMinutesAndChangesAgainstThePreviousClose)
{
    struct Case { int slot; int minute; };
    for (const Case c : {Case{0, 570}, Case{120, 690}, Case{121, 694}, Case{150, 810}, Case{151, 811},
                         Case{240, 900}, Case{270, 1170}, Case{360, 1260}, Case{400, 1260}})
        EXPECT_EQ(timelineMinuteOfSlot(c.slot), c.minute) << c.slot;

    const std::vector<TimelineRecord> day{{10.2, 10.5, 30}, {10.3, 9.8, 0}};
    const std::time_t today = Local(2024, 3, 5, 10);
    EXPECT_EQ(Texts(timelineReadout(day, 1, 10, today)),
              (std::vector<std::string>{"日期:2024/03/05", "时间:09:31", "最新:9.80", "涨跌:-0.20", "涨幅:-2.00%",
                                        "均价:10.30", "申报量:0"}));
    const std::vector<ReadoutRow> up = timelineReadout(day, 0, 10, today);
    EXPECT_EQ(up[4].value, "5.00%");
    EXPECT_EQ(up[4].colour, kRiseColour);
    // Without the previous close the changes are missing, the prices uncoloured.
    const std::vector<ReadoutRow> unknown = timelineReadout(day, 0, 0, today);
    EXPECT_EQ(unknown[3].value, "--");
    EXPECT_EQ(unknown[4].value, "--");
    EXPECT_EQ(unknown[2].colour, kReadoutNeutral);
}

TEST(ChartTimeAxis, DatesYieldToTheYearAndNeverOverlap)
{
    std::vector<std::int32_t> days;
    for (int d = 28; d <= 31; ++d)
        days.push_back(Local(2023, 12, d));
    for (int d = 1; d <= 5; ++d)
        days.push_back(Local(2024, 1, d));
    // "00/00" and its gap take 38 pixels: every third candle of 18 pixels. The new year's
    // label is wider and the beats beside it give way.
    TimeAxisFrame frame{0, 18, 500};
    EXPECT_EQ(candleTimeLabels(days, frame, 8, SixEach),
              (std::vector<TimeLabel>{{0, "12/28"}, {4, "2024/01/01"}}));
    // A label that would run past the plot is left out, and then takes no room.
    frame.plotWidth = 100;
    EXPECT_EQ(candleTimeLabels(days, frame, 8, SixEach), (std::vector<TimeLabel>{{0, "12/28"}, {3, "12/31"}}));

    // Intraday: times, and the date where the day changes.
    const std::vector<std::int32_t> hours{Local(2023, 12, 8, 13), Local(2023, 12, 8, 14), Local(2023, 12, 8, 15),
                                          Local(2023, 12, 11, 9), Local(2023, 12, 11, 10)};
    EXPECT_EQ(candleTimeLabels(hours, TimeAxisFrame{0, 40, 400}, 6, SixEach),
              (std::vector<TimeLabel>{{0, "13:00"}, {1, "14:00"}, {2, "15:00"}, {3, "12/11"}, {4, "10:00"}}));
}

TEST(ChartTimeAxis, LabelsKeepTheirCandlesWhileTheWindowScrolls)
{
    std::vector<std::int32_t> days;
    for (int i = 0; i < 200; ++i)
        days.push_back(Local(2023, 3, 1) + i * 86400);
    const auto at = [&](int first) {
        std::vector<int> indices;
        for (const TimeLabel& l : candleTimeLabels(days, TimeAxisFrame{first, 10, 600}, 8, SixEach))
            indices.push_back(l.index);
        return indices;
    };
    const std::vector<int> before = at(40);
    const std::vector<int> after = at(41);
    ASSERT_GT(before.size(), 5u);
    // Every candle labelled in both windows is labelled alike: the labels move with them.
    for (int i : after) {
        if (i > 41 && i < 90) {
            EXPECT_NE(std::find(before.begin(), before.end(), i), before.end()) << i;
        }
    }
    // Nothing labelled at all: a window wider than the candles, or none.
    EXPECT_TRUE(candleTimeLabels({}, TimeAxisFrame{0, 10, 600}, 8, SixEach).empty());
    EXPECT_TRUE(candleTimeLabels(days, TimeAxisFrame{0, 0, 600}, 8, SixEach).empty());
}
