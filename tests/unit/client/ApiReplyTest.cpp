#include <gtest/gtest.h>
#include <json/json.h>

#include "client/ApiReply.h"

using namespace client;

TEST(ApiReply, EmptyAndMalformedTextAreUnparsable)
{
    EXPECT_FALSE(ApiReply::fromWire("").parsed);
    EXPECT_FALSE(ApiReply::fromWire("{\"success\":\"true\"").parsed);
    EXPECT_FALSE(ApiReply::fromWire("<html>500 Internal Server Error</html>").parsed);
    EXPECT_FALSE(ApiReply::fromWire("[1,2]").parsed);
    EXPECT_FALSE(ApiReply::fromWire("{} trailing").parsed);
    EXPECT_FALSE(ApiReply::fromWire("").success);
}

TEST(ApiReply, SuccessOnlyForExactTrueTextOrJsonTrue)
{
    EXPECT_TRUE(ApiReply::fromWire(R"({"success":"true"})").success);
    EXPECT_TRUE(ApiReply::fromWire(R"({"success":true})").success);
    EXPECT_FALSE(ApiReply::fromWire(R"({"success":"True"})").success);
    EXPECT_FALSE(ApiReply::fromWire(R"({"success":"true "})").success);
    EXPECT_FALSE(ApiReply::fromWire(R"({"success":1})").success);
    EXPECT_FALSE(ApiReply::fromWire(R"({"success":false})").success);
    EXPECT_FALSE(ApiReply::fromWire(R"({"msg":"x"})").success);
}

TEST(ApiReply, MsgAndInforReadByNameWhateverTheirTypes)
{
    const ApiReply noMsg = ApiReply::fromWire(R"({"success":"false"})");
    EXPECT_TRUE(noMsg.parsed);
    EXPECT_EQ(noMsg.msg, "");
    EXPECT_TRUE(noMsg.infor.isNull());

    EXPECT_EQ(ApiReply::fromWire(R"({"msg":12,"success":"true"})").msg, "12");
    EXPECT_EQ(ApiReply::fromWire(R"({"msg":{"a":1}})").msg, "");
    EXPECT_TRUE(ApiReply::fromWire(R"({"infor":"text"})").infor.isNull());
    EXPECT_TRUE(ApiReply::fromWire(R"({"infor":[{"a":1}]})").infor.isArray());
    EXPECT_TRUE(ApiReply::fromWire(R"({"infor":{"a":1}})").infor.isObject());
}

TEST(ApiReply, WireTextIsConvertedFromGbkBeforeParsing)
{
    // "成功" in GBK.
    const ApiReply r = ApiReply::fromWire("{\"msg\":\"\xB3\xC9\xB9\xA6\",\"success\":\"true\"}");
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.msg, "成功");
}

TEST(JsonReaders, WrongTypesReadAsEmptyOrZeroAndNeverThrow)
{
    Json::Value o;
    ASSERT_TRUE(parseJson(R"({"s":"12","r":"12.5","bad":"abc","n":null,"a":[1],"o":{"x":1},
                              "i":7,"d":2.75,"b":true,"big":1e300,"neg":-3,"huge":18446744073709551615})",
                          o));
    EXPECT_EQ(jsonInt(o, "s"), 12);
    EXPECT_DOUBLE_EQ(jsonReal(o, "r"), 12.5);
    EXPECT_EQ(jsonInt(o, "r"), 12);
    EXPECT_EQ(jsonInt(o, "bad"), 0);
    EXPECT_DOUBLE_EQ(jsonReal(o, "bad"), 0.0);
    for (const char* key : {"n", "a", "o", "missing"}) {
        EXPECT_EQ(jsonText(o, key), "") << key;
        EXPECT_EQ(jsonInt(o, key), 0) << key;
        EXPECT_EQ(JsonInt64(o, key), 0) << key;
        EXPECT_DOUBLE_EQ(jsonReal(o, key), 0.0) << key;
    }
    EXPECT_EQ(jsonText(o, "i"), "7");
    EXPECT_EQ(jsonText(o, "d"), "2.75");
    EXPECT_EQ(jsonText(o, "b"), "true");
    EXPECT_DOUBLE_EQ(jsonReal(o, "d"), 2.75);
    EXPECT_EQ(jsonInt(o, "big"), 0);   // out of range for an integer
    EXPECT_EQ(JsonInt64(o, "big"), 0);
    EXPECT_EQ(jsonInt(o, "neg"), -3);
    EXPECT_EQ(jsonInt(o, "huge"), 0);
    EXPECT_GT(JsonInt64(o, "huge"), 0);

    // Readers on something that is not an object.
    const Json::Value array(Json::arrayValue);
    EXPECT_EQ(jsonText(array, "x"), "");
    EXPECT_EQ(jsonInt(Json::Value("x"), "x"), 0);
}

TEST(JsonReaders, RealsReadAsTheirShortestText)
{
    Json::Value o;
    ASSERT_TRUE(parseJson(R"({"p":0.1,"q":12.0})", o));
    EXPECT_EQ(jsonText(o, "p"), "0.1");
    EXPECT_EQ(jsonText(o, "q"), "12");
}
