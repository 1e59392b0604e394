#include <cstdlib>
#include <ctime>

#include <gtest/gtest.h>

#include "client/ApiSign.h"
#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/SignedIn.h"
#include "trade/Trade.h"
#include "session/Session.h"

using namespace trade;
using client::ApiReply;

namespace {

ApiReply reply(const char* json) { return ApiReply::fromUtf8(json); }

// 2024-03-05 09:05:07 UTC.
constexpr std::int64_t kMorning = 1709629507;

class UtcClock : public ::testing::Environment
{
public:
    void SetUp() override
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
};
const auto* const g_utc = ::testing::AddGlobalTestEnvironment(new UtcClock);

} // namespace

TEST(OrderTexts, StateFollowsStateThenRemain)
{
    EXPECT_EQ(orderStateText(0, 0), "已成交");
    EXPECT_EQ(orderStateText(0, 5), "未撤单");
    EXPECT_EQ(orderStateText(1, 0), "已撤单");
    EXPECT_EQ(orderStateText(1, 5), "已撤单");
    EXPECT_EQ(orderStateText(-1, 0), "已撤单");
}

TEST(OrderTexts, DirectionTwoIsASellExceptWhereTheListLeavesItEmpty)
{
    EXPECT_EQ(directionText(0), "买");
    EXPECT_EQ(directionText(1), "卖");
    EXPECT_EQ(directionText(2), "卖");
    EXPECT_EQ(directionText(-1), "卖");
    EXPECT_EQ(directionText(1, OtherDirection::Empty), "卖");
    EXPECT_EQ(directionText(2, OtherDirection::Empty), "");
    EXPECT_EQ(directionText(0, OtherDirection::Empty), "买");
}

TEST(Cells, TimesAndDatesInTheStylesOfEachList)
{
    EXPECT_EQ(localTimeText(kMorning, TimeStyle::Padded), "09:05:07");
    EXPECT_EQ(localTimeText(kMorning, TimeStyle::Unpadded), "9:5:7");
    EXPECT_EQ(localDateText(kMorning, DateStyle::Plain), "2024/3/5");
    EXPECT_EQ(localDateText(kMorning, DateStyle::PaddedMonthDay), "2024/03/05");
    EXPECT_EQ(moneyText(1500), "1500.00");
    EXPECT_EQ(moneyText(0.125), "0.12");
}

TEST(Cells, OrderRowInTheBuyWindowTheSellWindowAndTheCancellationList)
{
    const auto orders = ParseOrders(reply(R"({"infor":[{"id":42,"stock_id":9160001,"name":"干红","direction":2,
        "commission_price":"12.345","commission_amount":100,"remain":30,"add_time":1709629507,"state":0}]})"));
    ASSERT_TRUE(orders);
    ASSERT_EQ(orders->size(), 1u);
    const OrderRow& o = orders->front();
    EXPECT_EQ(cells(o, 1, panelOrdersList()),
              QStringList({"1", "42", "09:05:07", "未撤单", "9160001", "干红", "卖", "12.35", "100"}));
    EXPECT_EQ(cells(o, 1, panelOrdersList(TimeStyle::Unpadded))[2], "9:5:7");
    EXPECT_EQ(cells(o, 3, cancellableOrdersList()),
              QStringList({"3", "42", "09:05:07", "未撤单", "9160001", "干红", "", "12.35", "100", "12.35", "70"}));
    EXPECT_EQ(cells(o, 1, todayOrdersList())[2], "9:5:7");
    EXPECT_EQ(cells(o, 1, todayOrdersList())[6], "");
}

TEST(Cells, TradeRowInTodaysTradesAndTheHistory)
{
    const auto trades = ParseTrades(reply(R"({"success":"true","infor":[{"trade_time":1709629507,"stock_id":9160001,
        "name":"干红","deal_price":12.5,"dealed_amount":20,"direction":0,"dealed_value":250,"order_price":12.5,
        "order_amount":20,"trade_no":7,"commission":0.75}]})"));
    ASSERT_TRUE(trades);
    ASSERT_EQ(trades->size(), 1u);
    EXPECT_EQ(cells(trades->front(), 1, panelTradesList()),
              QStringList({"1", "2024/3/5", "09:05:07", "9160001", "干红", "12.50", "20", "买", "250.00", "12.50", "20",
                           "0.75", "7"}));
    const QStringList history = cells(trades->front(), 1, tradeHistoryList());
    EXPECT_EQ(history[1], "2024/03/05");
    EXPECT_EQ(history[11], "7");
    EXPECT_EQ(history[12], "0.75");
    EXPECT_EQ(tradeHistoryList().columns[11].header, std::string("成交编号"));
}

TEST(Cells, PositionsFundsDeliveriesAndCash)
{
    const ApiReply customer = reply(R"({"success":"true","infor":{"cash":{"bankroll":1000,"bankroll_usable":"800.5",
        "total":1200,"stock_fee":200},"stock":[{"stock_id":9160001,"name":"干红","total":40,"amount_freeze":20,
        "amount_usable":20,"costprice":10,"latest":10.5,"stock_value":420,"profits_per":5}]}})");
    const auto positions = ParsePositions(customer);
    ASSERT_TRUE(positions);
    ASSERT_EQ(positions->size(), 1u);
    EXPECT_EQ(cells(positions->front(), 1, panelPositionsList()),
              QStringList({"1", "9160001", "干红", "40", "20", "20", "10.00", "10.50", "420.00", "5.00"}));
    const auto funds = ParseFunds(customer);
    ASSERT_TRUE(funds);
    EXPECT_EQ(cells(*funds, 1, fundsList()), QStringList({"1", "人民币", "1000.00", "800.50", "1200.00", "200.00"}));

    const auto deliveries = ParseDeliveries(reply(R"({"success":true,"infor":[{"id":1,"stock_id":9160001,
        "add_date":1709629507,"method":"自提","amount":40,"status":1,"consignee":"","address":"上海"}]})"));
    ASSERT_TRUE(deliveries);
    EXPECT_EQ(cells(deliveries->front(), 1, deliveryList(true)),
              QStringList({"1", "9160001", "2024/3/5", "自提", "40", "已交割完成", "", "上海"}));
    EXPECT_EQ(deliveryList(true).columns[7].width, 870);
    EXPECT_EQ(deliveryList(false).columns[7].width, 370);

    const auto cash = ParseCashHistory(reply(R"({"success":"true","infor":[{"account":6217000012345678901,
        "cash":1500,"add_time":1709629507,"direction":1,"status":0,"is_offline":0}]})"));
    ASSERT_TRUE(cash);
    EXPECT_EQ(cells(cash->front(), 1, cashHistoryList()),
              QStringList({"1", "6217000012345678901", "1500.00", "2024/03/05", "09:05:07", "出金", "未处理", "否"}));
}

TEST(Cells, LargeAmountsKeepEveryCentTheServiceSent)
{
    // Above 131,072 a single-precision float cannot hold every cent: these printed .44, .44, .62.
    const ApiReply customer = reply(R"({"success":"true","infor":{"cash":{"bankroll":499876.43,
        "bankroll_usable":999123.45,"total":1500999.99,"stock_fee":181158.63},"stock":[]}})");
    const auto funds = ParseFunds(customer);
    ASSERT_TRUE(funds);
    EXPECT_EQ(cells(*funds, 1, fundsList()),
              QStringList({"1", "人民币", "499876.43", "999123.45", "1500999.99", "181158.63"}));

    const auto trades = ParseTrades(reply(R"({"success":"true","infor":[{"trade_time":1709629507,"stock_id":9160001,
        "name":"干红","deal_price":36.21,"dealed_amount":5003,"direction":0,"dealed_value":181158.63,
        "order_price":36.21,"order_amount":5003,"trade_no":7,"commission":543.48}]})"));
    ASSERT_TRUE(trades);
    ASSERT_EQ(trades->size(), 1u);
    EXPECT_TRUE(cells(trades->front(), 1, tradeHistoryList()).contains("181158.63"));
}

TEST(Parsers, AReplyThatDoesNotParseLeavesEveryListAlone)
{
    for (const char* text : {"", "not json", "<html>502</html>", "[1,2]"}) {
        SCOPED_TRACE(text);
        const ApiReply r = ApiReply::fromWire(text);
        EXPECT_FALSE(ParsePositions(r));
        EXPECT_FALSE(ParseFunds(r));
        EXPECT_FALSE(ParseOrders(r));
        EXPECT_FALSE(ParseCancellableOrders(r));
        EXPECT_FALSE(ParseTrades(r));
        EXPECT_FALSE(ParseDeliveries(r));
        EXPECT_FALSE(ParseCashHistory(r));
        EXPECT_FALSE(FindHolding(r, 9160001));
        EXPECT_EQ(UsableCashOf(r), 0);
    }
}

TEST(Parsers, PositionsNeedCashButAreEmptiedWheneverTheReplyParses)
{
    for (const char* text : {R"({"success":"true","infor":{"cash":null,"stock":[{"stock_id":1}]}})",
                             R"({"success":"true","infor":{"stock":[{"stock_id":1}]}})",
                             R"({"success":"true","infor":null})", R"({"success":"false"})"}) {
        SCOPED_TRACE(text);
        const auto rows = ParsePositions(reply(text));
        ASSERT_TRUE(rows);
        EXPECT_TRUE(rows->empty());
        // The funds window leaves both its lists when there is no cash.
        EXPECT_FALSE(ParseFunds(reply(text)));
        EXPECT_EQ(UsableCashOf(reply(text)), 0);
    }
    // success is not part of the positions' condition.
    const auto rows = ParsePositions(reply(R"({"success":"false","infor":{"cash":{},"stock":[{"stock_id":1},{}]}})"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->size(), 2u);
}

TEST(Parsers, MembersOfTheWrongTypeReadAsEmptyOrZero)
{
    const auto orders = ParseOrders(reply(R"({"infor":[{"id":"x","stock_id":[1],"name":{"a":1},"direction":null,
        "commission_price":"abc","commission_amount":1e40,"remain":true,"add_time":"later","state":"1"}, 7, "text"]})"));
    ASSERT_TRUE(orders);
    ASSERT_EQ(orders->size(), 3u);
    const OrderRow& o = (*orders)[0];
    EXPECT_EQ(o.id, 0);
    EXPECT_EQ(o.stockId, 0);
    EXPECT_EQ(o.name, "");
    EXPECT_EQ(o.direction, 0);
    EXPECT_EQ(o.commissionPrice, 0);
    EXPECT_EQ(o.commissionAmount, 0);
    EXPECT_EQ(o.addTime, 0);
    EXPECT_EQ(o.state, 1); // numeric text reads as its number
    EXPECT_EQ((*orders)[1].id, 0);

    const auto positions = ParsePositions(reply(R"({"infor":{"cash":"none","stock":{"stock_id":1}}})"));
    ASSERT_TRUE(positions);
    EXPECT_TRUE(positions->empty()); // `stock` is no array
    EXPECT_EQ(UsableCashOf(reply(R"({"infor":{"cash":{"bankroll_usable":"lots"}}})")), 0);
    EXPECT_EQ(UsableCashOf(reply(R"({"infor":{"cash":{"bankroll_usable":"812.25"}}})")), 812.25);
}

TEST(Parsers, OrdersNeedInforTradesNeedSuccess)
{
    EXPECT_EQ(ParseOrders(reply(R"({"success":"false","infor":[{"id":1}]})"))->size(), 1u);
    EXPECT_TRUE(ParseOrders(reply(R"({"success":"true","infor":null})"))->empty());
    EXPECT_TRUE(ParseOrders(reply(R"({"success":"true"})"))->empty());

    EXPECT_TRUE(ParseTrades(reply(R"({"success":"false","infor":[{"trade_no":1}]})"))->empty());
    EXPECT_TRUE(ParseTrades(reply(R"({"success":"True","infor":[{"trade_no":1}]})"))->empty());
    EXPECT_EQ(ParseTrades(reply(R"({"success":true,"infor":[{"trade_no":1}]})"))->size(), 1u);
    EXPECT_TRUE(ParseCashHistory(reply(R"({"success":"false","infor":[{"cash":1}]})"))->empty());

    // The delivery list stays as it was when the service refuses.
    EXPECT_FALSE(ParseDeliveries(reply(R"({"success":"false","infor":[{"id":1}]})")));
    EXPECT_TRUE(ParseDeliveries(reply(R"({"success":"true","infor":[]})"))->empty());
}

TEST(Parsers, OnlyOpenOrdersCanBeCancelledAndTheyAreNumberedAsListed)
{
    const auto rows = ParseCancellableOrders(reply(R"({"infor":[{"id":1,"state":0,"remain":5},
        {"id":2,"state":0,"remain":0},{"id":3,"state":1,"remain":5},{"id":4,"state":0,"remain":1}]})"));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].id, 1);
    EXPECT_EQ((*rows)[1].id, 4);
    EXPECT_EQ(cells((*rows)[1], 2, cancellableOrdersList())[0], "2");
}

TEST(Parsers, HoldingOfTheTypedItem)
{
    const ApiReply r = reply(R"({"success":"true","infor":{"cash":{},"stock":[{"stock_id":1,"amount_usable":5},
        {"stock_id":9160001,"amount_usable":20},{"stock_id":2,"amount_usable":7}]}})");
    EXPECT_EQ(FindHolding(r, 9160001)->amountUsable, 20);
    EXPECT_TRUE(FindHolding(r, 9160001)->found);
    EXPECT_FALSE(FindHolding(r, 3)->found);
    EXPECT_EQ(FindHolding(r, 3)->amountUsable, 0);
    EXPECT_FALSE(FindHolding(reply(R"({"success":"false","infor":{"stock":[{"stock_id":1}]}})"), 1));
}

TEST(Export, FieldsAreTwelveGbkBytesRightAlignedAndNeverSplitACharacter)
{
    // "产品名称代码价格" is 16 bytes in GBK: cut after six characters (12 bytes).
    // "a产品名称代码价" is 1 + 14 bytes: the seventh character would need bytes 12 and 13,
    // so the field holds 11 bytes and one blank.
    const std::string text =
        exportText({"序", "产品名称代码价格"}, {{"1", "a产品名称代码价"}, {"123456789012345", ""}});
    const std::string gbk = client::utf8ToWire("产品名称代码");
    ASSERT_EQ(gbk.size(), 12u);
    const std::string expected = std::string(10, ' ') + client::utf8ToWire("序") + gbk + "\r\n" +
                                 std::string(11, ' ') + "1" + " " + client::utf8ToWire("a产品名称代") + "\r\n" +
                                 "123456789012" + std::string(12, ' ') + "\r\n";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(exportText({}, {}), "\r\n");
}

TEST(Export, TheDialogFilterMapsToQtsForm)
{
    EXPECT_EQ(platform::qtFileFilter(kExportFilter), "*.txt (*.txt)");
    EXPECT_EQ(platform::qtFileFilter("Text|*.txt|All|*.*||"), "Text (*.txt);;All (*.*)");
    EXPECT_EQ(platform::qtFileFilter(""), "");
}

TEST(UsableCash, QueriesTheCustomerItemOfTheUserAndReadsUsableCash)
{
    const std::string host = testsupport::UniqueLoopbackAddress();
    client::Options o = client::defaultOptions();
    o.line0Host = host;
    Session::current().setOptions(o);
    client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-trade-no-connect-file");
    testsupport::logInAs("100001");
    testsupport::LoopbackServer server(host, client::kTradePort, [](const testsupport::RecordedRequest&) {
        return testsupport::ScriptedReply{200, R"({"success":"true","infor":{"cash":{"bankroll_usable":2500.5}}})"};
    });
    EXPECT_EQ(QueryUsableCash(), 2500.5);
    ASSERT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(server.requests().front().path, "/api/v1/customer/item");
    EXPECT_NE(server.requests().front().body.find("\"id\" : \"100001\""), std::string::npos);
    server.setHandler([](const testsupport::RecordedRequest&) { return testsupport::ScriptedReply{500, "oops"}; });
    EXPECT_EQ(QueryUsableCash(), 0);
    Session::current().resetForTest();
    Session::current().setOptions(client::defaultOptions());
}
