#include <gtest/gtest.h>

#include <limits>

#include "client/Endpoints.h"
#include "session/Session.h"
#include "trade/core/OrderChecks.h"
#include "trade/core/OrderOutcome.h"
#include "trade/PanelWindow.h"

using namespace trade;

namespace {

OrderForm form(const char* code, const char* price, const char* quantity) { return {code, price, quantity}; }

std::string bodyOf(client::Endpoint endpoint, std::vector<client::Param> params)
{
    return client::buildSignedRequest(endpoint, std::move(params), "KEY", 1700000000).body;
}

} // namespace

TEST(MaxBuyable, CashOverPricePlusFeeTruncated)
{
    EXPECT_EQ(maxBuyable(1003.0, 1.0), 1000);
    EXPECT_EQ(maxBuyable(1002.99, 1.0), 999);
    EXPECT_EQ(maxBuyable(100.3, 0.1), 1000);
    EXPECT_EQ(maxBuyable(0.0, 5.0), 0);
    // A zero, empty or negative price shows 0 rather than dividing by it.
    EXPECT_EQ(maxBuyable(1000.0, 0.0), 0);
    EXPECT_EQ(maxBuyable(1000.0, -2.0), 0);
    EXPECT_EQ(maxBuyable(-50.0, 2.0), 0);
    EXPECT_EQ(maxBuyable(1e30, 0.01), std::numeric_limits<int>::max());
    EXPECT_EQ(maxBuyable(std::numeric_limits<double>::quiet_NaN(), 1.0), 0);
}

TEST(MaxBuyable, CashExactlyEnoughForAQuantityBuysIt)
{
    // Cash that pays for a quantity to the cent buys it, though the division lands a hair
    // below the whole number for about one price in fifty.
    EXPECT_EQ(maxBuyable(36.2 * 1.003 * 100, 36.2), 100);
    EXPECT_EQ(maxBuyable(36.2 * 1.003 * 100 - 0.01, 36.2), 99);
    for (int cents = 1; cents < 5000; cents += 7) {
        const double price = cents / 100.0;
        for (int quantity : {1, 3, 100, 333}) {
            const double cost = price * 1.003 * quantity;
            EXPECT_EQ(maxBuyable(cost, price), quantity) << price << " × " << quantity;
            EXPECT_EQ(maxBuyable(cost - 0.0001, price), quantity - 1) << price << " × " << quantity;
        }
    }
}

TEST(PresetQuantity, AShareRoundedDownAndNothingFromNoFigure)
{
    const struct
    {
        std::int64_t figure;
        int parts;
        std::int64_t quantity;
    } cases[] = {{80, 1, 80}, {80, 3, 26}, {7, 2, 3}, {3, 4, 0}, {0, 1, 0}, {-8, 2, 0}, {8, 0, 0},
                 {std::int64_t(1) << 40, 4, std::int64_t(1) << 38}};
    for (const auto& c : cases)
        EXPECT_EQ(trade::presetQuantity(c.figure, c.parts), c.quantity) << c.figure << " / " << c.parts;
}

TEST(CheckBuy, BalanceCheckCountsTheExchangesFeeAndEqualityPasses)
{
    // 1000.00 at 10 costs 1003.00 with the fee: the exchange would refuse it for the fee.
    EXPECT_EQ(checkBuy(form("9160001", "10.00", "100"), 1003.0), std::nullopt);
    EXPECT_EQ(checkBuy(form("9160001", "10.00", "100"), 1002.99), std::string(kInsufficientCash));
    EXPECT_EQ(maxBuyable(1000.0, 10.0), 99);
    EXPECT_EQ(checkBuy(form("9160001", "10", "99"), 1000.0), std::nullopt);
    EXPECT_EQ(checkBuy(form("9160001", "10", "1"), 0.0), std::string(kInsufficientCash));
    // The fee drops the part of a cent (1.05 × 3/1000 is 0.00315): 36.2 × 100 + 10.86 exactly.
    EXPECT_EQ(buyFee(1.05), 0.0);
    EXPECT_EQ(checkBuy(form("9160001", "36.2", "100"), 3630.86), std::nullopt);
    EXPECT_EQ(checkBuy(form("9160001", "35.07", "30"), 1055.25), std::nullopt);
    EXPECT_EQ(checkQuickBuy(form("9160001", "36.2", "3"), 108.92), std::nullopt);
    EXPECT_EQ(checkBuy(form("9160001", "36.2", "100"), 3630.85), std::string(kInsufficientCash));
}

TEST(CheckPriceLimits, OutsideTheDaysLimitsInTheExchangesWordsUnknownLimitsPass)
{
    EXPECT_EQ(checkPriceLimits(form("9160001", "50", "1"), 38.47, 47.02),
              std::string("委托价格超出涨跌停范围（38.47-47.02）"));
    EXPECT_EQ(checkPriceLimits(form("9160001", "38.46", "1"), 38.47, 47.02),
              std::string("委托价格超出涨跌停范围（38.47-47.02）"));
    EXPECT_EQ(checkPriceLimits(form("9160001", "47.02", "1"), 38.47, 47.02), std::nullopt);
    EXPECT_EQ(checkPriceLimits(form("9160001", "38.47", "1"), 38.47, 47.02), std::nullopt);
    EXPECT_EQ(checkPriceLimits(form("9160001", "50", "1"), 0.0, 0.0), std::nullopt);
}

// In every order window, a sale as well as a buy.
TEST(CheckOrder, PriceThatIsEmptyZeroOrNegativeIsRefusedBeforeAnythingIsAsked)
{
    for (const OrderKind& kind : {kPanelBuy, kQuickBuy, kPanelSell, kQuickSell}) {
        for (const char* price : {"", "0", "0.00", ".", "-", "-5", "abc"})
            EXPECT_EQ(checkOrder(kind, form("9160001", price, "1"), 1e9, 10), std::string(kPriceNotPositive)) << price;
        EXPECT_EQ(checkOrder(kind, form("9160001", "0.01", "1"), 1.0, 10), std::nullopt);
    }
}

TEST(CheckOrder, AnOrderForNothingIsRefused)
{
    for (const OrderKind& kind : {kPanelBuy, kQuickBuy, kPanelSell, kQuickSell}) {
        for (const char* quantity : {"", "0", "000"})
            EXPECT_EQ(checkOrder(kind, form("9160001", "10", quantity), 1e9, 10), std::string(kQuantityWrong));
    }
}

// Beneath the question the confirmation names what goes out, the quick buy's code as the
// integer it sends.
TEST(OrderDetail, DirectionCodeNamePriceQuantityAndAmount)
{
    EXPECT_EQ(orderDetail(kQuickBuy, form("09160001", "12.5", "80"), "Tolmere小酒窖"),
              "买入 9160001 Tolmere小酒窖\n价格：12.5\n数量：80\n金额：1000.00\n手续费：3.00\n合计：1003.00");
    EXPECT_EQ(orderDetail(kPanelSell, form("09160001", "36.50", "007"), ""),
              "卖出 09160001\n价格：36.50\n数量：7\n金额：255.50");
}

TEST(CheckBuy, JudgesTheQuantityTheRequestWillCarry)
{
    // "007" is sent as 7 and checked as 7 (and its fee).
    EXPECT_EQ(checkBuy(form("1", "1", "007"), 7.02), std::nullopt);
    EXPECT_NE(bodyOf(client::Endpoint::Buy, buyParams(form("1", "1", "007"), "100001")).find("\"buy_amount\" : 7,"),
              std::string::npos);
    EXPECT_EQ(checkBuy(form("1", "1", "2147483647"), 1e12), std::nullopt);
}

// What a pasted or over-long field holds: each is refused before anything is asked, with a
// message saying which input is wrong, instead of going out as another figure (a number
// too long for an integer used to go out as 0, "12abc" as 12, a sign as a negative order).
TEST(OrderFormText, QuantitiesCodesAndCharactersTheRequestCouldNotCarryAsShown)
{
    struct Case
    {
        const char* code;
        const char* price;
        const char* quantity;
        const char* refusal; // nullptr: passes the checks
    };
    const Case cases[] = {
        {"9160001", "10", "99999999999999999999", kQuantityWrong},
        {"9160001", "10", "2147483648", kQuantityWrong},
        {"9160001", "10", "-5", kQuantityWrong},
        {"9160001", "10", "+5", kQuantityWrong},
        {"9160001", "10", " 5", kQuantityWrong},
        {"9160001", "10", "12abc", kQuantityWrong},
        {"9160001", "10", "1e3", kQuantityWrong},
        {"9160001", "10", "５", kQuantityWrong}, // a full-width digit is GBK, but no digit to strtoll
        {"9160001", "10", "🍷", kTextOutsideCodePage},
        {"9160001🍷", "10", "5", kTextOutsideCodePage},
        {"9160001", "1🍷", "5", kTextOutsideCodePage},
        {"9160001", "10", "", kQuantityWrong},
        {"9160001", "10", "0005", nullptr},
        {"abc", "10", "5", nullptr}, // a text code goes out as typed; the service judges it
    };
    for (const Case& c : cases) {
        const std::optional<std::string> expected =
            c.refusal ? std::optional<std::string>(c.refusal) : std::nullopt;
        EXPECT_EQ(checkBuy(form(c.code, c.price, c.quantity), 1e12), expected) << c.code << " " << c.quantity;
        EXPECT_EQ(checkSell(form(c.code, c.price, c.quantity), 1000000), expected) << c.code << " " << c.quantity;
    }
    // The quick buy sends its code as an integer: the code must be a whole number as well.
    EXPECT_EQ(checkQuickBuy(form("09160001", "10", "5"), 1e12), std::nullopt);
    for (const char* code : {"9160001abc", "99999999999999999999", "-9160001", "9160001 "})
        EXPECT_EQ(checkQuickBuy(form(code, "10", "5"), 1e12), std::string(kCodeWrong)) << code;
    EXPECT_EQ(checkQuickBuy(form("🍷", "10", "5"), 1e12), std::string(kTextOutsideCodePage));
    EXPECT_EQ(checkQuickBuy(form("9160001", "10", "99999999999999999999"), 1e12), std::string(kQuantityWrong));
}

TEST(CheckSell, MoreThanSellableIsRefusedEqualityPasses)
{
    EXPECT_EQ(checkSell(form("9160001", "9", "40"), 40), std::nullopt);
    EXPECT_EQ(checkSell(form("9160001", "9", "41"), 40), std::string(kSellExceedsSellable));
    // No position: anything above 0 is refused.
    EXPECT_EQ(checkSell(form("9160001", "9", "1"), 0), std::string(kSellExceedsSellable));
}

TEST(OrderParams, QuickBuySendsTheCodeAsAnIntegerTheOthersAsTyped)
{
    const OrderForm typed = form("09160001", "12.5", "20");
    const std::string buy = bodyOf(client::Endpoint::Buy, buyParams(typed, "100001"));
    const std::string quick = bodyOf(client::Endpoint::QuickBuy, quickBuyParams(typed, "100001"));
    const std::string sell = bodyOf(client::Endpoint::Sell, sellParams(typed, "100001"));
    EXPECT_NE(buy.find("\"item_id\" : \"09160001\""), std::string::npos) << buy;
    EXPECT_NE(quick.find("\"item_id\" : 9160001"), std::string::npos) << quick;
    EXPECT_NE(sell.find("\"item_id\" : \"09160001\""), std::string::npos) << sell;
    EXPECT_NE(sell.find("\"sell_amount\" : 20,"), std::string::npos) << sell;
    EXPECT_NE(sell.find("\"sell_price\" : \"12.5\""), std::string::npos) << sell;
    const auto quickSigned = client::buildSignedRequest(client::Endpoint::QuickBuy, quickBuyParams(typed, "100001"),
                                                        "KEY", 1700000000);
    EXPECT_EQ(quickSigned.signatureInput,
              "buy_amount=20buy_price=12.5id=100001item_id=9160001v=1700000000KEY");
}

TEST(OrderParams, CancellationNamesTheOrderAsAnIntegerAndTheUserAsStockholder)
{
    const auto r = client::buildSignedRequest(client::Endpoint::Repeal, repealParams("42", "100001"), "KEY",
                                              1700000000);
    EXPECT_EQ(r.signatureInput, "id=42stockholder_id=100001v=1700000000KEY");
    EXPECT_EQ(r.body, "{\n   \"id\" : 42,\n   \"sign\" : \"" + r.sign +
                          "\",\n   \"stockholder_id\" : \"100001\",\n   \"v\" : \"1700000000\"\n}\n");
}

TEST(ItemName, MatchesTheCodePrintedInDecimalLastOneWins)
{
    Session::current().storeItems({{9160001, "甲", 1.0f}, {9160002, "乙", 1.0f}, {9160001, "丙", 1.0f}}, 3);
    EXPECT_EQ(itemNameForCode("9160001"), QString::fromUtf8("丙"));
    EXPECT_EQ(itemNameForCode("9160002"), QString::fromUtf8("乙"));
    EXPECT_EQ(itemNameForCode("09160001"), QString());
    EXPECT_EQ(itemNameForCode(""), QString());
}

TEST(OrderOutcome, FoundOnlyWithTheSameCodeDirectionPriceQuantityWithinAMinute)
{
    const std::int64_t now = 1'700'000'000;
    const trade::PlacedOrder sent = trade::placedOrder({"09160001", "12.5", "2"}, trade::OrderSide::Buy);
    EXPECT_EQ(sent, (trade::PlacedOrder{9160001, trade::OrderSide::Buy, 1250, 2}));
    const trade::OrderRow same{1, 9160001, "", 0, 12.50, 2, 2, now - 5, 0};
    struct Case
    {
        const char* what;
        trade::OrderRow row;
        bool found;
    };
    const auto with = [&](auto change) {
        trade::OrderRow row = same;
        change(row);
        return row;
    };
    const Case cases[] = {
        {"same, filled since", with([](trade::OrderRow& r) { r.remain = 0; }), true},
        {"a minute ago", with([&](trade::OrderRow& r) { r.addTime = now - 60; }), true},
        {"exchange clock early", with([&](trade::OrderRow& r) { r.addTime = now + 30; }), true},
        {"older", with([&](trade::OrderRow& r) { r.addTime = now - 61; }), false},
        {"other item", with([](trade::OrderRow& r) { r.stockId = 9160002; }), false},
        {"a sale", with([](trade::OrderRow& r) { r.direction = 1; }), false},
        {"other price", with([](trade::OrderRow& r) { r.commissionPrice = 12.51; }), false},
        {"other quantity", with([](trade::OrderRow& r) { r.commissionAmount = 20; }), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(trade::isAmongOrders({c.row}, sent, now), c.found) << c.what;
    EXPECT_FALSE(trade::isAmongOrders({}, sent, now));
}
