#include <gtest/gtest.h>
#include <json/json.h>

#include "client/ApiReply.h"

using namespace client;

TEST(ApiReply, EmptyAndMalformedTextAreUnparsable)
{
    EXPECT_FALSE(ApiReply::FromWire("").parsed);
    EXPECT_FALSE(ApiReply::FromWire("{\"success\":\"true\"").parsed);
    EXPECT_FALSE(ApiReply::FromWire("<html>500 Internal Server Error</html>").parsed);
    EXPECT_FALSE(ApiReply::FromWire("[1,2]").parsed);
    EXPECT_FALSE(ApiReply::FromWire("{} trailing").parsed);
    EXPECT_FALSE(ApiReply::FromWire("").success);
}

TEST(ApiReply, SuccessOnlyForExactTrueTextOrJsonTrue)
{
    EXPECT_TRUE(ApiReply::FromWire(R"({"success":"true"})").success);
    EXPECT_TRUE(ApiReply::FromWire(R"({"success":true})").success);
    EXPECT_FALSE(ApiReply::FromWire(R"({"success":"True"})").success);
    EXPECT_FALSE(ApiReply::FromWire(R"({"success":"true "})").success);
    EXPECT_FALSE(ApiReply::FromWire(R"({"success":1})").success);
    EXPECT_FALSE(ApiReply::FromWire(R"({"success":false})").success);
    EXPECT_FALSE(ApiReply::FromWire(R"({"msg":"x"})").success);
}

TEST(ApiReply, MsgAndInforReadByNameWhateverTheirTypes)
{
    const ApiReply noMsg = ApiReply::FromWire(R"({"success":"false"})");
    EXPECT_TRUE(noMsg.parsed);
    EXPECT_EQ(noMsg.msg, "");
    EXPECT_TRUE(noMsg.infor.isNull());

    EXPECT_EQ(ApiReply::FromWire(R"({"msg":12,"success":"true"})").msg, "12");
    EXPECT_EQ(ApiReply::FromWire(R"({"msg":{"a":1}})").msg, "");
    EXPECT_TRUE(ApiReply::FromWire(R"({"infor":"text"})").infor.isNull());
    EXPECT_TRUE(ApiReply::FromWire(R"({"infor":[{"a":1}]})").infor.isArray());
    EXPECT_TRUE(ApiReply::FromWire(R"({"infor":{"a":1}})").infor.isObject());
}

TEST(ApiReply, WireTextIsConvertedFromGbkBeforeParsing)
{
    // "成功" in GBK.
    const ApiReply r = ApiReply::FromWire("{\"msg\":\"\xB3\xC9\xB9\xA6\",\"success\":\"true\"}");
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.msg, "成功");
}

TEST(JsonReaders, WrongTypesReadAsEmptyOrZeroAndNeverThrow)
{
    Json::Value o;
    ASSERT_TRUE(ParseJson(R"({"s":"12","r":"12.5","bad":"abc","n":null,"a":[1],"o":{"x":1},
                              "i":7,"d":2.75,"b":true,"big":1e300,"neg":-3,"huge":18446744073709551615})",
                          o));
    EXPECT_EQ(JsonInt(o, "s"), 12);
    EXPECT_DOUBLE_EQ(JsonReal(o, "r"), 12.5);
    EXPECT_EQ(JsonInt(o, "r"), 12);
    EXPECT_EQ(JsonInt(o, "bad"), 0);
    EXPECT_DOUBLE_EQ(JsonReal(o, "bad"), 0.0);
    for (const char* key : {"n", "a", "o", "missing"}) {
        EXPECT_EQ(JsonText(o, key), "") << key;
        EXPECT_EQ(JsonInt(o, key), 0) << key;
        EXPECT_EQ(JsonInt64(o, key), 0) << key;
        EXPECT_DOUBLE_EQ(JsonReal(o, key), 0.0) << key;
    }
    EXPECT_EQ(JsonText(o, "i"), "7");
    EXPECT_EQ(JsonText(o, "d"), "2.75");
    EXPECT_EQ(JsonText(o, "b"), "true");
    EXPECT_DOUBLE_EQ(JsonReal(o, "d"), 2.75);
    EXPECT_EQ(JsonInt(o, "big"), 0);   // out of range for an integer
    EXPECT_EQ(JsonInt64(o, "big"), 0);
    EXPECT_EQ(JsonInt(o, "neg"), -3);
    EXPECT_EQ(JsonInt(o, "huge"), 0);
    EXPECT_GT(JsonInt64(o, "huge"), 0);

    // Readers on something that is not an object.
    const Json::Value array(Json::arrayValue);
    EXPECT_EQ(JsonText(array, "x"), "");
    EXPECT_EQ(JsonInt(Json::Value("x"), "x"), 0);
}

TEST(JsonReaders, RealsReadAsTheirShortestText)
{
    Json::Value o;
    ASSERT_TRUE(ParseJson(R"({"p":0.1,"q":12.0})", o));
    EXPECT_EQ(JsonText(o, "p"), "0.1");
    EXPECT_EQ(JsonText(o, "q"), "12");
}
