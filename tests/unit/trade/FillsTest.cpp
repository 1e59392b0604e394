#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "trade/core/Fills.h"

using trade::FillWatch;
using trade::TradeRow;

namespace {

TradeRow fill(std::int64_t no, std::int64_t amount = 10, std::int64_t direction = 0)
{
    TradeRow t;
    t.tradeNo = no;
    t.stockId = 9160001;
    t.direction = direction;
    t.dealPrice = 36.2;
    t.dealedAmount = amount;
    t.tradeTime = 1709629507;
    return t;
}

std::vector<std::int64_t> numbers(const std::vector<TradeRow>& rows)
{
    std::vector<std::int64_t> out;
    for (const TradeRow& r : rows)
        out.push_back(r.tradeNo * 1000 + r.dealedAmount);
    return out;
}

std::string reply(const std::vector<int>& tradeNos)
{
    std::string rows;
    for (const int no : tradeNos)
        rows += std::string(rows.empty() ? "" : ",") + R"({"trade_no":)" + std::to_string(no)
                + R"(,"stock_id":9160001,"direction":0,"deal_price":36.2,"dealed_amount":10,"trade_time":1709629507})";
    return R"({"success":"true","msg":"","infor":[)" + rows + "]}";
}

} // namespace

TEST(NewFills, AreTheTradesNotSeenBefore)
{
    struct Case
    {
        const char* what;
        std::vector<TradeRow> seen, current;
        std::vector<std::int64_t> fresh;
    };
    const Case cases[] = {
        {"nothing new", {fill(1), fill(2)}, {fill(2), fill(1)}, {}},
        {"one new among old, in the reply's order", {fill(1)}, {fill(3), fill(1), fill(2)}, {3010, 2010}},
        {"a part fill of the same number on the other side", {fill(1)}, {fill(1), fill(1, 10, 1)}, {1010}},
        {"the same number, another quantity", {fill(1)}, {fill(1), fill(1, 4)}, {1004}},
        {"a second identical row is a second trade", {fill(1)}, {fill(1), fill(1)}, {1010}},
        {"a list that shrank (a new day) gives nothing", {fill(1), fill(2)}, {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(numbers(trade::newFills(c.seen, c.current)), c.fresh) << c.what;
}

TEST(FillWatch, FirstReplyOfALoginLearnsAndLaterOnesTell)
{
    FillWatch watch;
    EXPECT_FALSE(watch(reply({1, 2}), 1)) << "the morning's trades raise nothing";
    EXPECT_FALSE(watch(reply({1, 2}), 1));
    const auto fresh = watch(reply({1, 2, 3}), 1);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(numbers(*fresh), std::vector<std::int64_t>{3010});
    EXPECT_FALSE(watch(reply({1, 2, 3}), 1)) << "told once";
    // Another login (another account) starts afresh: its trades are its morning.
    EXPECT_FALSE(watch(reply({7, 8}), 2));
    EXPECT_TRUE(watch(reply({7, 8, 9}), 2));
}

TEST(FillWatch, UnreadableRepliesRaiseNothingAndLoseNothing)
{
    FillWatch watch;
    EXPECT_FALSE(watch("", 1)) << "no reply is no first reply either";
    EXPECT_FALSE(watch(reply({1}), 1));
    for (const std::string& bad : {std::string(), std::string("<html>502</html>"), std::string(R"({"success":"false","msg":"忙","infor":[]})"),
                                  reply({1}).substr(0, 40)})
        EXPECT_FALSE(watch(bad, 1)) << bad;
    // The trade made while the replies were unreadable is told when one is read again, and
    // the old one is not told again.
    const auto fresh = watch(reply({1, 2}), 1);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(numbers(*fresh), std::vector<std::int64_t>{2010});
}

TEST(FillWatch, ALineNamesSideItemPriceQuantityAndTime)
{
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    TradeRow t = fill(5, 12, 1);
    t.name = "Tolmere小酒窖";
    EXPECT_EQ(trade::fillLine(t), QStringLiteral("卖 9160001 Tolmere小酒窖 36.20 × 12 09:05:07"));
}
