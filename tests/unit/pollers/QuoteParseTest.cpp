#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "market/QuotePanelLayout.h"
#include "market/core/RealtimeQuote.h"

using market::Tone;

namespace {

const char* kQuote = R"({"success":"true","infor":[{"stockName":"Tolmere小酒窖","entrustPCT":0,"entrustDIF":-12,
  "sellPrice5":12.60,"sellPrice4":12.55,"sellPrice3":0,"sellPrice2":12.45,"sellPrice1":12.40,
  "buyPrice1":12.30,"buyPrice2":"12.25","buyPrice3":12.20,"buyPrice4":12.15,"buyPrice5":12.10,
  "sellVol5":5,"sellVol4":4,"sellVol3":0,"sellVol2":2,"sellVol1":1,
  "buyVol1":10,"buyVol2":20,"buyVol3":30,"buyVol4":40,"buyVol5":"x",
  "latest":12.35,"change":0,"max":12.70,"min":12.10,"opening":12.30,"vol":900,"total":11115.5,
  "outVol":500,"inVol":400,"limitUp":13.53,"limitDown":11.07,"increase":0,"newVol":3,
  "turnover":0.9,"inventory":100000,"marketValue":1}]})";

} // namespace

TEST(RealtimeQuote, LevelsColourAgainstOpeningLessOneCent)
{
    const auto q = market::parseRealtime(kQuote);
    ASSERT_TRUE(q.parsed);
    EXPECT_EQ(q.title, "Tolmere小酒窖");
    // 买① equals the opening: above the reference, so up.
    EXPECT_EQ(q.values[6].text, "12.30");
    EXPECT_EQ(q.values[6].tone, Tone::Up);
    EXPECT_EQ(q.values[10].tone, Tone::Down);   // 买⑤ 12.10
    EXPECT_EQ(q.values[7].text, "12.25");       // numeric text reads as a number
    EXPECT_EQ(q.values[3].text, "--");          // a zero price
    EXPECT_EQ(q.values[3].tone, Tone::Down);    // in the colour its comparison chose
    EXPECT_EQ(q.values[22].text, "--");         // a zero volume
    EXPECT_EQ(q.values[29].text, "--");         // a volume of the wrong type reads 0
    EXPECT_EQ(q.values[25].tone, Tone::Volume);
    EXPECT_EQ(q.values[31].tone, Tone::Up);     // 开盘 against its own reference
}

TEST(RealtimeQuote, ZeroRatioAndZeroIncreaseShowDashesInTheLevelColour)
{
    const auto q = market::parseRealtime(kQuote);
    EXPECT_EQ(q.values[0].text, "--");
    EXPECT_EQ(q.values[0].tone, Tone::Level);
    EXPECT_EQ(q.values[19].text, "-12.00"); // 委差 keeps its number in the ratio's colour
    EXPECT_EQ(q.values[19].tone, Tone::Level);
    EXPECT_EQ(q.values[30].text, "--");      // 涨幅
    EXPECT_EQ(q.values[11].text, "12.35");   // 最新 still shows its number
    EXPECT_EQ(q.values[11].tone, Tone::Level);
    EXPECT_EQ(q.values[12].tone, Tone::Level);
    EXPECT_EQ(q.values[18].text, "1235000.00"); // 市值 computed from inventory × latest
    EXPECT_EQ(q.values[34].text, "0.90%");
}

TEST(RealtimeQuote, AmountsInMillionsKeepTheirCents)
{
    const auto q = market::parseRealtime(
        R"({"success":"true","infor":[{"latest":36.21,"inventory":5003,"total":3512345.37,"opening":36}]})");
    EXPECT_EQ(q.values[15].text, "3512345.37"); // 总额
    EXPECT_EQ(q.values[18].text, "181158.63");  // 市值, inventory × latest
}

// A lot above 131 072 yuan has no cent to spare in a float: 150 000.01 would show as .02.
TEST(RealtimeQuote, PricesOfDearLotsKeepTheirCents)
{
    const auto q = market::parseRealtime(R"({"success":"true","infor":[{"sellPrice1":150000.01,"buyPrice1":149999.99,
        "latest":150000.01,"max":150000.01,"min":149999.99,"opening":150000.01,"limitUp":165000.01}]})");
    for (const auto& [slot, text] : std::vector<std::pair<int, std::string>>{
             {5, "150000.01"}, {6, "149999.99"}, {11, "150000.01"}, {13, "150000.01"}, {17, "165000.01"}, {31, "150000.01"}})
        EXPECT_EQ(q.values[std::size_t(slot)].text, text) << slot;
    EXPECT_EQ(q.values[6].tone, Tone::Down); // two cents under the opening
    const auto ticks = market::parseDealTicks(R"({"success":"true","infor":[{"time":0,"price":150000.01,"vol":1}]})",
                                              q.opening);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].price.text, "150000.01");
    EXPECT_EQ(ticks[0].price.tone, Tone::Level);
}

TEST(RealtimeQuote, UnparsableReplyDrawsNoValues)
{
    EXPECT_FALSE(market::parseRealtime("").parsed);
    EXPECT_FALSE(market::parseRealtime("<html>").parsed);
    const auto empty = market::parseRealtime(R"({"infor":[]})");
    EXPECT_TRUE(empty.parsed);
    EXPECT_EQ(empty.values[1].text, "--");
}

TEST(DealTicks, TicksCompareWithTheOpeningItself)
{
    const auto rows = market::parseDealTicks(
        R"({"success":"true","infor":[{"time":0,"price":12.30,"vol":5},{"time":60,"price":12.31,"vol":1},
            {"time":120,"price":"12.29","vol":2}]})",
        12.30);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].price.tone, Tone::Level);
    EXPECT_EQ(rows[1].price.tone, Tone::Up);
    EXPECT_EQ(rows[2].price.tone, Tone::Down);
    EXPECT_EQ(rows[0].volume.text, "5");
    EXPECT_EQ(rows[0].time.size(), 8u);
    EXPECT_TRUE(market::parseDealTicks(R"({"success":"false","infor":[{"time":1}]})", 1).empty());
    EXPECT_TRUE(market::parseDealTicks(R"({"success":"true","infor":[]})", 1).empty());
    EXPECT_TRUE(market::parseDealTicks("", 1).empty());
}

TEST(QuotePanelLayout, RowsAndColumnsFollowThePanelHeight)
{
    const QRect place = market::QuotePanelLayout::placement(1920, 1040);
    EXPECT_EQ(place, QRect(1600, 77, 320, 1011 - 77)); // down to the charts' bottom, H - 29
    const auto l = market::QuotePanelLayout::compute(QRect(0, 0, 320, 935));
    const int p = (935 - 28) / 40;
    EXPECT_EQ(l.labels[0], QRect(5, 28, 60, 23));
    EXPECT_EQ(l.labels[18].top(), 28 + 18 * p);
    EXPECT_EQ(l.labels[19], QRect(165, 28, 60, 23));
    EXPECT_EQ(l.labels[20].top(), l.labels[11].top());
    EXPECT_EQ(l.values[0], QRect(65, 28, 80, 23));
    EXPECT_EQ(l.values[20].left(), 160 + 65);
    EXPECT_EQ(l.values[20].top(), l.labels[1].top());
    EXPECT_EQ(l.values[30].left(), l.labels[20].left() + 60);
    EXPECT_EQ(l.quoteBottom, 28 + 18 * p + 23);
}

// An order taken from the quote goes out at the level's own price: the reply's number in the
// row's place, not the cell's text, and nothing for an empty or a negative level.
TEST(RealtimeQuote, LevelPricesRunTopDownAsTheRowsAndKeepTheReplysDigits)
{
    auto q = market::parseRealtime(kQuote);
    const std::array<double, 10> expected{12.60, 12.55, 0, 12.45, 12.40, 12.30, 12.25, 12.20, 12.15, 12.10};
    EXPECT_EQ(q.levelPrices, expected);
    q = market::parseRealtime(R"({"infor":[{"sellPrice1":-1,"buyPrice1":36.205}]})");
    EXPECT_EQ(q.levelPrices[4], 0.0);
    EXPECT_EQ(q.levelPrices[5], 36.205);
}

TEST(QuotePanelLayout, ALevelRowTakesItsLabelPriceAndVolumeAndNothingElse)
{
    const auto layout = market::QuotePanelLayout::compute(QRect(0, 0, 320, 700));
    for (int row = 0; row < 10; ++row) {
        const int k = 1 + row;
        for (const QRect& cell : {layout.labels[k], layout.values[k], layout.values[19 + k]})
            EXPECT_EQ(layout.levelRowAt(cell.center()), row) << "row " << row;
    }
    // 委比 above the asks, 最新 under the bids, the header and the ticks are no level.
    for (const QPoint& p : {layout.labels[0].center(), layout.labels[11].center(), QPoint(160, 5),
                            QPoint(160, layout.quoteBottom + 40)})
        EXPECT_EQ(layout.levelRowAt(p), -1);
}
