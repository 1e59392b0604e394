// Parsing the candle and time-share replies: envelope rules and members of the wrong type.
#include <gtest/gtest.h>

#include "chart/CandleChart.h"
#include "chart/TimelineChart.h"

using namespace chart;

TEST(ChartReplies, EnvelopeDecidesWhetherRecordsAreRead)
{
    EXPECT_FALSE(parseCandleReply(""));
    EXPECT_FALSE(parseCandleReply("{\"success\":\"true\",\"infor\":[]"));
    EXPECT_FALSE(parseCandleReply("[{\"success\":\"true\"}]"));
    EXPECT_FALSE(parseCandleReply("{\"success\":\"false\",\"infor\":[{\"vol\":1}]}"));
    EXPECT_FALSE(parseCandleReply("{\"success\":1,\"infor\":[{\"vol\":1}]}"));
    EXPECT_FALSE(parseTimelineReply("{\"infor\":[{\"vol\":1}]}"));
    ASSERT_TRUE(parseCandleReply("{\"success\":\"true\"}"));
    EXPECT_TRUE(parseCandleReply("{\"success\":\"true\"}")->empty());
    EXPECT_TRUE(parseCandleReply("{\"success\":true,\"infor\":{\"vol\":3}}")->empty());
    EXPECT_EQ(parseTimelineReply("{\"success\":true,\"infor\":[{}]}")->size(), 1u);
}

TEST(ChartReplies, MembersReadAsNumbersOrZero)
{
    const auto candles = parseCandleReply(
        "{\"success\":\"true\",\"msg\":\"成功\",\"infor\":[{\"startPrice\":\"12.5\",\"endPrice\":13,"
        "\"maxPrice\":true,\"minPrice\":\"low\",\"time\":-1,\"vol\":2.9},7,null]}");
    ASSERT_TRUE(candles);
    ASSERT_EQ(candles->size(), 3u);
    const CandleRecord& c = candles->front();
    EXPECT_FLOAT_EQ(c.open, 12.5f);
    EXPECT_FLOAT_EQ(c.close, 13);
    EXPECT_FLOAT_EQ(c.low, 0);
    EXPECT_EQ(c.time, -1);
    EXPECT_FLOAT_EQ((*candles)[1].close, 0); // a record that is not an object reads as zeros

    const auto minutes = parseTimelineReply(
        "{\"success\":\"true\",\"infor\":[{\"averagePrice\":100.25,\"price\":\"x\",\"vol\":\"12\"}]}");
    ASSERT_TRUE(minutes);
    EXPECT_FLOAT_EQ(minutes->front().averagePrice, 100.25f);
    EXPECT_FLOAT_EQ(minutes->front().price, 0);
    EXPECT_EQ(minutes->front().vol, 12);
}

TEST(ChartReplies, VolumeColoursFollowTheLastTradedPrice)
{
    // Idle minutes keep the colour before them; the first trade compares with 0.
    const std::vector<TimelineRecord> day{{0, 5, 0}, {0, 5, 3}, {0, 4, 1}, {0, 6, 0}, {0, 4, 2}, {0, 4.5f, 1}};
    EXPECT_EQ(volumeColours(day), (std::vector<Colour>{kRiseColour, kRiseColour, kFallColour, kFallColour,
                                                       kRiseColour, kRiseColour}));
}

TEST(ChartReplies, PricesAndVolumesKeepEveryDigit)
{
    // A float would read 131072.01 as 131072.015625 and 123456789 as 123456792; a 32-bit
    // volume would lose 5000000000 altogether.
    const auto candles = parseCandleReply(R"({"success":"true","infor":[{"startPrice":131072.01,)"
                                          R"("endPrice":"9999999.99","maxPrice":1e39,"minPrice":0.01,)"
                                          R"("vol":123456789},{"vol":5000000000}]})");
    ASSERT_TRUE(candles);
    EXPECT_EQ(candles->front().open, 131072.01);
    EXPECT_EQ(candles->front().close, 9999999.99);
    EXPECT_EQ(candles->front().high, 1e39);
    EXPECT_EQ(candles->front().vol, 123456789);
    EXPECT_EQ(candles->back().vol, 5000000000);
    const auto minutes = parseTimelineReply(R"({"success":"true","infor":[{"price":131072.03,"vol":"5000000000"}]})");
    ASSERT_TRUE(minutes);
    EXPECT_EQ(minutes->front().price, 131072.03);
    EXPECT_EQ(minutes->front().vol, 5000000000);
}
