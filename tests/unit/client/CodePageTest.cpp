#include <gtest/gtest.h>

#include "client/CodePage.h"

using namespace client;

TEST(CodePage, AsciiPassesUnchangedBothWays)
{
    EXPECT_EQ(wireToUtf8("{\"a\":1}"), "{\"a\":1}");
    EXPECT_EQ(utf8ToWire("plain"), "plain");
}

TEST(CodePage, GbkRoundTripsChinese)
{
    const std::string gbk = "\xBE\xC6\xBD\xD1"; // "酒窖"
    EXPECT_EQ(wireToUtf8(gbk), "酒窖");
    EXPECT_EQ(utf8ToWire("酒窖"), gbk);
    EXPECT_EQ(wireToUtf8(utf8ToWire("Tolmere小酒窖")), "Tolmere小酒窖");
}

TEST(CodePage, BadBytesNeverLoseTheRest)
{
    // A lone lead byte in the middle, and one truncated at the end.
    EXPECT_EQ(wireToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(wireToUtf8("ab\xBE"), "ab\xEF\xBF\xBD");
    // A character GBK has no place for, and invalid UTF-8.
    EXPECT_EQ(utf8ToWire("a😀b"), "a?b");
    EXPECT_EQ(utf8ToWire("a\xC3"), "a?");
}

TEST(CodePage, LocalFilesAreUtf8OrElseGbk)
{
    EXPECT_TRUE(isValidUtf8("名称"));
    EXPECT_FALSE(isValidUtf8("\xC3\x28"));
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // a surrogate
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_EQ(localFileToUtf8("名称"), "名称");
    EXPECT_EQ(localFileToUtf8("\xC3\xFB\xB3\xC6"), "名称");
}

TEST(CodePage, WhatTheWireCodePageCanCarry)
{
    for (const char* fits : {"", "9160001", "波尔多红 12.50", "收货人：张三", "？＋５"})
        EXPECT_TRUE(client::fitsWireCodePage(fits)) << fits;
    // Emoji, scripts outside GBK, and bytes that are not UTF-8 at all.
    for (const char* outside : {"🍷", "12🍷", "한국", "\xff\xfe", "ab\xe4"})
        EXPECT_FALSE(client::fitsWireCodePage(outside)) << outside;
    // A character that fits converts without '?', one that does not would be sent as '?'.
    EXPECT_EQ(client::utf8ToWire("🍷").find('?'), 0u);
}
