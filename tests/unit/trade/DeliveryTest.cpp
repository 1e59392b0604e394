#include <gtest/gtest.h>

#include "client/ApiReply.h"
#include "client/Endpoints.h"
#include "trade/Delivery.h"
#include "trade/core/OrderChecks.h"

using namespace trade;

namespace {

constexpr const char* kKey = "Vm8kQ3zT5rLx2NwP";

const QDate kToday(2024, 3, 5);

DeliveryForm validForm()
{
    DeliveryForm f;
    f.mode = DeliveryMode::Mail;
    f.code = "9160001";
    f.quantity = "40";
    f.date = kToday;
    f.address = "上海市黄浦区南京东路1号";
    f.consignee = "王小明";
    return f;
}

std::optional<std::string> check(void (*change)(DeliveryForm&))
{
    DeliveryForm f = validForm();
    change(f);
    return checkDelivery(f, kToday);
}

} // namespace

TEST(DeliveryChecks, QuantityMustBeAMultipleOfTwentyAndNothingCountsAsZero)
{
    EXPECT_FALSE(check([](DeliveryForm&) {}));
    EXPECT_EQ(check([](DeliveryForm& f) { f.quantity = "30"; }), kDeliveryQuantityNotMultiple);
    EXPECT_EQ(check([](DeliveryForm& f) { f.quantity = "21"; }), kDeliveryQuantityNotMultiple);
    EXPECT_FALSE(check([](DeliveryForm& f) { f.quantity = ""; }));
    EXPECT_FALSE(check([](DeliveryForm& f) { f.quantity = "0"; }));
    EXPECT_FALSE(check([](DeliveryForm& f) { f.quantity = "20000"; }));
    // Longer than any integer: judged by its digits as typed, not as 0.
    EXPECT_EQ(check([](DeliveryForm& f) { f.quantity = "99999999999999999999"; }), kDeliveryQuantityNotMultiple);
    EXPECT_FALSE(check([](DeliveryForm& f) { f.quantity = "99999999999999999980"; }));
    EXPECT_FALSE(check([](DeliveryForm& f) { f.quantity = "0040"; }));
}

TEST(DeliveryChecks, TextOutsideTheCodePageIsRefusedAfterTheFourChecks)
{
    EXPECT_EQ(check([](DeliveryForm& f) { f.consignee = "王🍷"; }), kTextOutsideCodePage);
    EXPECT_EQ(check([](DeliveryForm& f) { f.address = "南京东路🍷1号"; }), kTextOutsideCodePage);
    // The checks of the form come first.
    EXPECT_EQ(check([](DeliveryForm& f) {
                  f.consignee = "王🍷";
                  f.quantity = "30";
              }),
              kDeliveryQuantityNotMultiple);
}

TEST(DeliveryChecks, TodayPassesYesterdayIsRefused)
{
    EXPECT_FALSE(check([](DeliveryForm& f) { f.date = kToday.addDays(1); }));
    EXPECT_EQ(check([](DeliveryForm& f) { f.date = kToday.addDays(-1); }), kDeliveryDateBeforeToday);
    EXPECT_EQ(check([](DeliveryForm& f) { f.date = QDate(2023, 12, 31); }), kDeliveryDateBeforeToday);
    EXPECT_EQ(check([](DeliveryForm& f) { f.date = QDate(2024, 2, 29); }), kDeliveryDateBeforeToday);
}

TEST(DeliveryChecks, ConsigneeWithoutDigitsAddressNotOnlyDigits)
{
    EXPECT_EQ(check([](DeliveryForm& f) { f.consignee = "王小明2"; }), kConsigneeHasDigit);
    EXPECT_FALSE(check([](DeliveryForm& f) { f.consignee = ""; })); // pickup leaves it empty
    EXPECT_EQ(check([](DeliveryForm& f) { f.address = "12345"; }), kAddressAllDigits);
    EXPECT_EQ(check([](DeliveryForm& f) { f.address = ""; }), kAddressAllDigits);
    EXPECT_EQ(check([](DeliveryForm& f) { f.address = "   "; }), kAddressAllDigits);
    EXPECT_EQ(check([](DeliveryForm& f) { f.address = " 200 "; }), kAddressAllDigits);
    EXPECT_FALSE(check([](DeliveryForm& f) { f.address = "南京东路1号"; }));
    EXPECT_FALSE(check([](DeliveryForm& f) { f.address = "12 Main Street"; }));
}

TEST(DeliveryChecks, TheFirstFailureInOrderIsTheOneShown)
{
    DeliveryForm f = validForm();
    f.quantity = "30";
    f.date = kToday.addDays(-1);
    f.consignee = "a1";
    f.address = "1";
    EXPECT_EQ(checkDelivery(f, kToday), kDeliveryQuantityNotMultiple);
    f.quantity = "60";
    EXPECT_EQ(checkDelivery(f, kToday), kDeliveryDateBeforeToday);
    f.date = kToday;
    EXPECT_EQ(checkDelivery(f, kToday), kConsigneeHasDigit);
    f.consignee = "a";
    EXPECT_EQ(checkDelivery(f, kToday), kAddressAllDigits);
}

TEST(DeliveryRequest, MailApplicationGoesOutInUtf8AndIsSignedOverUtf8)
{
    const client::SignedRequest r = client::buildSignedRequest(
        client::Endpoint::Delivery, deliveryParams(validForm(), "100001", "13800138000"), kKey, 1700000000);
    EXPECT_EQ(r.signatureInput, "add_date=2024-03-05address=上海市黄浦区南京东路1号amount=40consignee=王小明"
                                "contact=13800138000id=100001method=邮寄stock_id=9160001v=1700000000" +
                                    std::string(kKey));
    EXPECT_EQ(r.sign, "742d275818ce69c8545774085a1825c0"); // md5 of those UTF-8 bytes, computed elsewhere
    EXPECT_EQ(r.body, "{\n"
                      "   \"add_date\" : \"2024-03-05\",\n"
                      "   \"address\" : \"上海市黄浦区南京东路1号\",\n"
                      "   \"amount\" : \"40\",\n"
                      "   \"consignee\" : \"王小明\",\n"
                      "   \"contact\" : \"13800138000\",\n"
                      "   \"id\" : \"100001\",\n"
                      "   \"method\" : \"邮寄\",\n"
                      "   \"sign\" : \"742d275818ce69c8545774085a1825c0\",\n"
                      "   \"stock_id\" : \"9160001\",\n"
                      "   \"v\" : \"1700000000\"\n"
                      "}\n");
}

TEST(DeliveryRequest, PickupSendsThePickupAddressAndAnEmptyQuantityAsTyped)
{
    DeliveryForm f = validForm();
    f.mode = DeliveryMode::Pickup;
    f.quantity = "";
    f.consignee = "";
    f.address = "酒仓路1号 电话010-1";
    const client::SignedRequest r =
        client::buildSignedRequest(client::Endpoint::Delivery, deliveryParams(f, "100001", "13800138000"), kKey, 1700000000);
    EXPECT_EQ(r.sign, "9ce669c28bd8c65b274833f4e618cd13");
    EXPECT_NE(r.body.find("   \"address\" : \"酒仓路1号 电话010-1\",\n   \"amount\" : \"\",\n   \"consignee\" : \"\",\n"),
              std::string::npos);
    EXPECT_NE(r.body.find("   \"method\" : \"自提\",\n"), std::string::npos);
}

TEST(DeliveryForm, HoldingOfTheTypedCode)
{
    const client::ApiReply reply = client::ApiReply::fromUtf8(R"({"success":"true","infor":{"cash":{},"stock":[
        {"stock_id":9160002,"amount_usable":200},{"stock_id":9160001,"amount_usable":1980}]}})");
    EXPECT_EQ(holdingText(reply, "9160001"), "1980");
    EXPECT_EQ(holdingText(reply, "9160002"), "200");
    EXPECT_EQ(holdingText(reply, "9160003"), "");
    EXPECT_EQ(holdingText(reply, "99999999999"), ""); // beyond any code, not wrapped onto one
    EXPECT_EQ(holdingText(client::ApiReply::fromUtf8(R"({"success":"false","infor":{"stock":[
        {"stock_id":9160001,"amount_usable":5}]}})"), "9160001"), "");
    EXPECT_EQ(holdingText(client::ApiReply::fromWire(""), "9160001"), "");
}
