#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "client/ApiSign.h"
#include "client/Endpoints.h"
#include "client/RequestBody.h"

using namespace client;

namespace {

constexpr const char* kKey = "Vm8kQ3zT5rLx2NwP";
constexpr std::uint32_t kV = 1700000000u;

} // namespace

TEST(ApiSign, MatchesRfc1321TestSuite)
{
    EXPECT_EQ(ApiSign(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(ApiSign("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(ApiSign("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(ApiSign("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(ApiSign("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(ApiSign("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(ApiSign("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(ApiSign, HashesBytesNotText)
{
    // Embedded zero bytes belong to the input.
    EXPECT_NE(ApiSign(std::string("a\0b", 3)), ApiSign("a"));
}

TEST(Timestamp, IsUnsignedDecimalOfLow32Bits)
{
    EXPECT_EQ(timestampText(0), "0");
    EXPECT_EQ(timestampText(4294967295u), "4294967295");
}

TEST(PasswordHash, AsciiIsPlainMd5AndChineseHashesItsWireBytes)
{
    EXPECT_EQ(hashPassword("secret1"), "e52d98c459819a11775936d8dfbb7929");
    // "密码" as the exchange's code page holds it.
    EXPECT_EQ(hashPassword("密码"), "d2293e30f0c964c5f6242486aa8a483c");
}

TEST(SignedRequest, LoginBodyAndSignatureInput)
{
    const SignedRequest r = buildSignedRequest(
        Endpoint::Login, {{"username", "100001"}, {"passwd", hashPassword("secret1")}}, kKey, kV);
    EXPECT_EQ(r.signatureInput,
              "passwd=e52d98c459819a11775936d8dfbb7929username=100001v=1700000000Vm8kQ3zT5rLx2NwP");
    EXPECT_EQ(r.sign, "0195d9309b3ece706727363a112cb565");
    EXPECT_EQ(r.body, "{\n"
                      "   \"passwd\" : \"e52d98c459819a11775936d8dfbb7929\",\n"
                      "   \"sign\" : \"0195d9309b3ece706727363a112cb565\",\n"
                      "   \"username\" : \"100001\",\n"
                      "   \"v\" : \"1700000000\"\n"
                      "}\n");
}

TEST(SignedRequest, AnnouncementCarriesOnlyTheTimestamp)
{
    const SignedRequest r = buildSignedRequest(Endpoint::Ad, {}, kKey, kV);
    EXPECT_EQ(r.signatureInput, "v=1700000000Vm8kQ3zT5rLx2NwP");
    EXPECT_EQ(r.sign, "77829d113b9f5c249b9e5af82cd53bae");
    EXPECT_EQ(r.body, "{\n   \"sign\" : \"77829d113b9f5c249b9e5af82cd53bae\",\n   \"v\" : \"1700000000\"\n}\n");
}

TEST(SignedRequest, CancellationSendsOrderIdAsIntegerAndUserAsStockholder)
{
    const SignedRequest r =
        buildSignedRequest(Endpoint::Repeal, {{"stockholder_id", "100001"}, {"id", "42"}}, kKey, kV);
    EXPECT_EQ(r.signatureInput, "id=42stockholder_id=100001v=1700000000Vm8kQ3zT5rLx2NwP");
    EXPECT_EQ(r.sign, "005b9754eed0cc528300d15830281c73");
    EXPECT_EQ(r.body, "{\n"
                      "   \"id\" : 42,\n"
                      "   \"sign\" : \"005b9754eed0cc528300d15830281c73\",\n"
                      "   \"stockholder_id\" : \"100001\",\n"
                      "   \"v\" : \"1700000000\"\n"
                      "}\n");
}

TEST(SignedRequest, QuickBuySendsItemCodeAsInteger)
{
    // A leading zero typed into the code field disappears from both signature and body.
    const SignedRequest r = buildSignedRequest(
        Endpoint::QuickBuy, {{"buy_amount", "5"}, {"buy_price", "12.50"}, {"id", "100001"}, {"item_id", "09160001"}},
        kKey, kV);
    EXPECT_EQ(r.signatureInput, "buy_amount=5buy_price=12.50id=100001item_id=9160001v=1700000000Vm8kQ3zT5rLx2NwP");
    EXPECT_EQ(r.sign, "1a0a279aa7dd76fd0c83965b14de8939");
    EXPECT_EQ(r.body, "{\n"
                      "   \"buy_amount\" : 5,\n"
                      "   \"buy_price\" : \"12.50\",\n"
                      "   \"id\" : \"100001\",\n"
                      "   \"item_id\" : 9160001,\n"
                      "   \"sign\" : \"1a0a279aa7dd76fd0c83965b14de8939\",\n"
                      "   \"v\" : \"1700000000\"\n"
                      "}\n");

    // The buy window sends the code as typed, as text.
    const SignedRequest text = buildSignedRequest(
        Endpoint::Buy, {{"buy_amount", "5"}, {"buy_price", "12.50"}, {"id", "100001"}, {"item_id", "09160001"}},
        kKey, kV);
    EXPECT_NE(text.body.find("\"item_id\" : \"09160001\""), std::string::npos);
}

TEST(SignedRequest, DeliveryWithChineseTextIsUtf8InSignatureAndBody)
{
    const SignedRequest r = buildSignedRequest(Endpoint::Delivery,
                                               {{"stock_id", "9160001"},
                                                {"method", "1"},
                                                {"id", "100001"},
                                                {"contact", "13800000000"},
                                                {"consignee", "张三"},
                                                {"amount", "20"},
                                                {"address", "上海市浦东新区1号"},
                                                {"add_date", "2026-12-20"}},
                                               kKey, kV);
    EXPECT_EQ(r.signatureInput, "add_date=2026-12-20address=上海市浦东新区1号amount=20consignee=张三"
                                "contact=13800000000id=100001method=1stock_id=9160001v=1700000000Vm8kQ3zT5rLx2NwP");
    EXPECT_EQ(r.sign, "3b0a1144dcd4ab51d2866370a7cd9855");
    EXPECT_EQ(r.body, "{\n"
                      "   \"add_date\" : \"2026-12-20\",\n"
                      "   \"address\" : \"上海市浦东新区1号\",\n"
                      "   \"amount\" : \"20\",\n"
                      "   \"consignee\" : \"张三\",\n"
                      "   \"contact\" : \"13800000000\",\n"
                      "   \"id\" : \"100001\",\n"
                      "   \"method\" : \"1\",\n"
                      "   \"sign\" : \"3b0a1144dcd4ab51d2866370a7cd9855\",\n"
                      "   \"stock_id\" : \"9160001\",\n"
                      "   \"v\" : \"1700000000\"\n"
                      "}\n");
}

TEST(SignedRequest, SignatureRuleAgreesWithIndependentDigests)
{
    // Digests computed outside this code base: md5("id=7v=100" + key) and the same over
    // keys that sort by byte, not by length.
    EXPECT_EQ(ApiSign(signatureInputOf({{"v", "100"}, {"id", "7"}}, kKey)), "234a45e26e22ae2f9622b2bf2486d078");
    EXPECT_EQ(signatureInputOf({{"address", "x"}, {"add_date", "y"}, {"sign", "ignored"}}, kKey),
              "add_date=yaddress=xVm8kQ3zT5rLx2NwP");
}

TEST(SignedRequest, SameSecondGivesSameTimestampAndSignature)
{
    const auto a = buildSignedRequest(Endpoint::CustomerItem, {{"id", "100001"}}, kKey, kV);
    const auto b = buildSignedRequest(Endpoint::CustomerItem, {{"id", "100001"}}, kKey, kV);
    EXPECT_EQ(a.body, b.body);
}

TEST(RequestBody, QuotesLikeTheStyledWriterButLeavesNonAsciiAlone)
{
    EXPECT_EQ(quoteJsonString("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
    EXPECT_EQ(quoteJsonString("酒"), "\"酒\"");
    EXPECT_EQ(styledBody({}), "{}\n");
}

TEST(VerifySignedBody, AcceptsWhatTheClientSignsAndRefusesTampering)
{
    const EndpointInfo& buy = endpointInfo(Endpoint::Buy);
    const SignedRequest r = buildSignedRequest(
        Endpoint::QuickBuy, {{"buy_amount", "5"}, {"buy_price", "12.50"}, {"id", "100001"}, {"item_id", "9160001"}},
        kKey, kV);
    // The buy path serves both variants.
    const VerifiedBody ok = verifySignedBody(buy, r.body, kKey);
    ASSERT_TRUE(ok.ok) << ok.error;
    EXPECT_EQ(ok.params.at("item_id"), "9160001");
    EXPECT_EQ(ok.params.at("buy_amount"), "5");

    std::string tampered = r.body;
    tampered.replace(tampered.find("12.50"), 5, "01.00");
    EXPECT_FALSE(verifySignedBody(buy, tampered, kKey).ok);
    EXPECT_FALSE(verifySignedBody(buy, r.body, "AAAAAAAAAAAAAAAA").ok);
    EXPECT_FALSE(verifySignedBody(buy, "not json", kKey).ok);
    EXPECT_FALSE(verifySignedBody(buy, "{\"v\":[1]}", kKey).ok);
    // A body without a required parameter is refused even when signed.
    const SignedRequest partial = buildSignedRequest(Endpoint::CustomerItem, {{"id", "1"}}, kKey, kV);
    EXPECT_FALSE(verifySignedBody(buy, partial.body, kKey).ok);

    const SignedRequest delivery =
        buildSignedRequest(Endpoint::Delivery,
                           {{"add_date", "2026-12-20"}, {"address", "北京"}, {"amount", "20"}, {"consignee", "李四"},
                            {"contact", "1"}, {"id", "100001"}, {"method", "0"}, {"stock_id", "9160001"}},
                           kKey, kV);
    const VerifiedBody d = verifySignedBody(endpointInfo(Endpoint::Delivery), delivery.body, kKey);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.params.at("consignee"), "李四");
}

TEST(EndpointTable, EveryRowIsWellFormed)
{
    int rows = 0;
    for (const EndpointInfo& info : endpointTable()) {
        ++rows;
        EXPECT_EQ(info.path.front(), '/');
        EXPECT_EQ(&endpointInfo(info.endpoint), &info);
        if (info.method == Method::SignedPost) {
            ASSERT_FALSE(info.params.empty());
            EXPECT_EQ(info.params.back(), "v") << info.path;
            EXPECT_TRUE(std::is_sorted(info.params.begin(), info.params.end())) << info.path;
        }
    }
    // 26 paths; the buy path has a second row for the quick pop-up's integer item code.
    EXPECT_EQ(rows, 27);
    EXPECT_EQ(findEndpoint(Method::Get, "/api/histogram/9160001/8")->endpoint, Endpoint::Histogram);
    EXPECT_EQ(findEndpoint(Method::Get, "/api/timeline/9160001/1700000000")->endpoint, Endpoint::Timeline);
    EXPECT_EQ(findEndpoint(Method::Get, "/api/dealdetail/9160003/0")->endpoint, Endpoint::DealDetailAll);
    EXPECT_EQ(findEndpoint(Method::Get, "/api/dealdetail/9160003/5"), nullptr);
    EXPECT_EQ(findEndpoint(Method::Get, "/api/realtime/"), nullptr);
    EXPECT_EQ(findEndpoint(Method::SignedPost, "/api/v1/item/buy")->endpoint, Endpoint::Buy);
    EXPECT_EQ(findEndpoint(Method::SignedPost, "/api/v1/nothing"), nullptr);
    EXPECT_TRUE(endpointInfo(Endpoint::UpdateInfo).utf8);
    EXPECT_TRUE(endpointInfo(Endpoint::Delivery).utf8);
}
