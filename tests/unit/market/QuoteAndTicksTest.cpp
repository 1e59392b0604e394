#include <ctime>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include <QStringList>

#include "platform/Dialogs.h"
#include "market/SingleItemQuote.h"
#include "market/core/TickReplies.h"
#include "support/LoopbackServer.h"
#include "session/Session.h"

using namespace market;

namespace {

client::ApiReply reply(const std::string& json)
{
    return client::ApiReply::fromUtf8(json);
}

const char* kGuide = R"({"success":"true","msg":"","infor":{
    "extend_1":12.5,"extend_2":12.6,"extend_3":0,"extend_4":0,"extend_5":0,
    "extend_6":10,"extend_7":0,"extend_8":0,"extend_9":0,"extend_10":0,
    "extend_11":12.4,"extend_12":12.3,"extend_13":0,"extend_14":0,"extend_15":0,
    "extend_16":5,"extend_17":"7","extend_18":0,"extend_19":0,"extend_20":0,
    "main_9":12.45,"main_24":-0.05,"extend_22":13.7,"extend_23":11.2,"main_5":12.5}})";

} // namespace

TEST(SingleItemQuoteTest, ReplyFillsLevelsAndTexts)
{
    SingleItemQuote q;
    ASSERT_EQ(applyTradeGuideReply(reply(kGuide), q), QuoteOutcome::Updated);
    EXPECT_DOUBLE_EQ(q.firstPrices[0], 12.5);
    EXPECT_DOUBLE_EQ(q.secondPrices[0], 12.4);
    EXPECT_EQ(q.firstVolumes[0], 10);
    EXPECT_EQ(q.secondVolumes[1], 7);
    EXPECT_DOUBLE_EQ(q.prices[1], -0.05);
    EXPECT_DOUBLE_EQ(q.referencePrice, 12.5);
    EXPECT_EQ(q.texts[0], "12.50");
    EXPECT_EQ(q.texts[2], "--");
    EXPECT_EQ(q.texts[5], "10");
    EXPECT_EQ(q.texts[6], "--");
    EXPECT_EQ(q.texts[10], "12.40");
    EXPECT_EQ(q.texts[16], "7");
    EXPECT_EQ(q.texts[20], "12.45");
    EXPECT_EQ(q.texts[21], "-0.05");
    EXPECT_EQ(q.texts[23], "11.20");
}

// The quick buy takes its price from here: a dear lot's cent must survive (a float gives .02).
TEST(SingleItemQuoteTest, PricesOfDearLotsKeepTheirCents)
{
    SingleItemQuote q;
    ASSERT_EQ(applyTradeGuideReply(
                  reply(R"({"success":"true","infor":{"extend_1":150000.01,"extend_2":1e300,"extend_11":149999.99}})"), q),
              QuoteOutcome::Updated);
    EXPECT_EQ(q.firstPrices[0], 150000.01);
    EXPECT_EQ(q.texts[0], "150000.01");
    EXPECT_EQ(q.texts[10], "149999.99");
    // Past any price a double can keep to the cent: no price, not three hundred digits.
    EXPECT_EQ(q.firstPrices[1], 0.0);
    EXPECT_EQ(q.texts[1], "--");
}

TEST(SingleItemQuoteTest, RefusalAndGarbageKeepThePreviousQuote)
{
    SingleItemQuote q;
    ASSERT_EQ(applyTradeGuideReply(reply(kGuide), q), QuoteOutcome::Updated);
    const SingleItemQuote before = q;
    EXPECT_EQ(applyTradeGuideReply(reply(R"({"success":"false","msg":"商品不存在"})"), q), QuoteOutcome::Refused);
    EXPECT_EQ(applyTradeGuideReply(reply("<html>"), q), QuoteOutcome::Unparsed);
    EXPECT_EQ(q, before);
    // A success without levels shows every text as "--".
    ASSERT_EQ(applyTradeGuideReply(reply(R"({"success":true,"infor":"none"})"), q), QuoteOutcome::Updated);
    for (const std::string& t : q.texts)
        EXPECT_EQ(t, "--");
}

class SingleItemQuoteRequest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("velmora-quote-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        client::Options o = client::defaultOptions();
        o.line0Host = testsupport::UniqueLoopbackAddress(3);
        Session::current().setOptions(o);
        client::LoadLineChoice(m_dir);
        platform::setMessageBoxHandler([this](const platform::MessageBoxCall& call) {
            m_boxes << call.caption + ":" + call.text;
            return platform::MsgResult::Ok;
        });
    }
    void TearDown() override
    {
        platform::setMessageBoxHandler(nullptr);
        Session::current().setOptions(client::defaultOptions());
        std::filesystem::remove_all(m_dir);
    }
    std::filesystem::path m_dir;
    QStringList m_boxes;
};

TEST_F(SingleItemQuoteRequest, SignedPostWithIntegerIdAndRefusalShown)
{
    std::string answer = client::utf8ToWire(kGuide);
    testsupport::LoopbackServer server(testsupport::UniqueLoopbackAddress(3), client::kTradePort,
                                       [&](const testsupport::RecordedRequest&) {
                                           return testsupport::ScriptedReply{200, answer};
                                       });
    ASSERT_EQ(requestSingleItemQuote(9160001), QuoteOutcome::Updated);
    ASSERT_EQ(server.requestCount(), 1u);
    const testsupport::RecordedRequest sent = server.requests().front();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.path, "/api/v1/trade/guide");
    EXPECT_NE(sent.body.find("\"id\" : 9160001"), std::string::npos) << sent.body;
    const client::VerifiedBody verified = client::verifySignedBody(client::endpointInfo(client::Endpoint::TradeGuide), sent.body,
                                                                   Session::current().options().signKey);
    EXPECT_TRUE(verified.ok) << verified.error;
    EXPECT_EQ(Session::current().singleItemQuote().texts[0], "12.50");

    answer = client::utf8ToWire(R"({"success":"false","msg":"商品已停牌"})");
    EXPECT_EQ(requestSingleItemQuote(9160001), QuoteOutcome::Refused);
    EXPECT_EQ(requestSingleItemQuote(9160001), QuoteOutcome::Refused);
    EXPECT_EQ(m_boxes, QStringList({"Velmora:商品已停牌", "Velmora:商品已停牌"}));
    EXPECT_EQ(Session::current().singleItemQuote().texts[0], "12.50");
}

TEST(TickRepliesTest, ParsingToleratesMissingAndWrongMembers)
{
    EXPECT_FALSE(parseTicks("garbage"));
    EXPECT_FALSE(parsePriceRows(""));
    EXPECT_TRUE(parseTicks(R"({"success":"true"})")->empty());
    const auto ticks = parseTicks(R"({"success":"true","infor":[{"price":12.5,"vol":3,"time":1700000000},
                                                                 {"price":"x","vol":[1]}, 5]})");
    ASSERT_TRUE(ticks);
    ASSERT_EQ(ticks->size(), 3u);
    EXPECT_DOUBLE_EQ((*ticks)[0].price, 12.5);
    EXPECT_EQ((*ticks)[0].volume, 3);
    EXPECT_EQ((*ticks)[0].time, 1700000000);
    EXPECT_EQ((*ticks)[1].volume, 0);
    const auto rows = parsePriceRows(R"({"success":"true","infor":[{"price":12.5,"vol":30},{"price":12.6,"vol":45}]})");
    ASSERT_TRUE(rows);
    EXPECT_EQ(priceTableFullScale(*rows), 45);
    EXPECT_EQ(priceTableFullScale({}), 0);
}

TEST(TickRepliesTest, TextsOfTheHeaders)
{
    EXPECT_EQ(tickCountText(0), "分时成交列表（共0笔）");
    EXPECT_EQ(priceTableTitle(0), "分价表(满格0手)）");
    EXPECT_EQ(tickPriceText(3.005), "3.00");
    std::tm local{};
    local.tm_year = 124;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 9;
    local.tm_min = 5;
    local.tm_sec = 7;
    local.tm_isdst = -1;
    EXPECT_EQ(tickTimeText(static_cast<std::int64_t>(std::mktime(&local))), "09:05:07");
}

TEST(TickRepliesTest, GridColumnsRowsAndPlaces)
{
    const TickGrid two = tickGridLayout(400, 322);
    EXPECT_EQ(two.columns, 2);
    EXPECT_EQ(two.columnWidth, 200);
    EXPECT_EQ(two.rowsPerColumn, 11);
    const TickGrid one = tickGridLayout(399, 322);
    EXPECT_EQ(one.columns, 1);
    EXPECT_EQ(one.columnWidth, 399);
    EXPECT_EQ(tickGridLayout(0, 0).columns, 1);

    const auto first = tickCellPlace(two, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->time, QRect(QPoint(15, 30), QPoint(65, 56)));
    EXPECT_EQ(first->price, QRect(QPoint(66, 30), QPoint(131, 56)));
    EXPECT_EQ(first->volume, QRect(QPoint(132, 30), QPoint(194, 56)));
    const auto twelfth = tickCellPlace(two, 11); // first row of the second column
    ASSERT_TRUE(twelfth);
    EXPECT_EQ(twelfth->time.left(), 215);
    EXPECT_EQ(twelfth->time.top(), 30);
    EXPECT_EQ(tickCellPlace(two, 12)->time.top(), 57);
    EXPECT_FALSE(tickCellPlace(two, 22)); // past the last column
    // A window too low for one row places nothing rather than dividing by zero.
    EXPECT_FALSE(tickCellPlace(tickGridLayout(400, 27), 0));
}
