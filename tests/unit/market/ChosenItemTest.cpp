#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "market/core/ChosenItem.h"
#include "market/core/Watchlist.h"

namespace {

using market::ItemEntry;

const std::vector<ItemEntry> kItems = {{9160001, "Tolmere小酒窖", 36.5f}, {9160002, "Tolmere珍藏干红", 128.8f},
                                       {9160011, "Isolde冰酒", 338.0f},   {9160003, "Arvesse庄园赤霞珠", 89.2f},
                                       {9160015, "Vin 9160001", 1.0f}};

std::vector<int> codes(const std::vector<ItemEntry>& items)
{
    std::vector<int> out;
    for (const ItemEntry& item : items)
        out.push_back(item.code);
    return out;
}

TEST(ItemFinder, CodePrefixesFirstThenNamesIgnoringCase)
{
    struct Case
    {
        const char* typed;
        std::size_t limit;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"916000", 10, {9160001, 9160002, 9160003, 9160015}},  // codes in the table's order, then names
        {"9160001", 10, {9160001, 9160015}},                   // the code, then a name holding it
        {"91600011", 10, {}},
        {"tolmere", 10, {9160001, 9160002}},                   // any case
        {"ISOLDE", 10, {9160011}},
        {"干红", 10, {9160002}},                               // a name's characters anywhere in it
        {" 9160003 ", 10, {9160003}},                          // blanks around are not typed text
        {"9", 2, {9160001, 9160002}},                          // at most a screenful
        {"", 10, {}},
        {"   ", 10, {}},
        {"x", 10, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(codes(market::findItems(kItems, c.typed, c.limit)), c.expected) << '"' << c.typed << '"';
}

TEST(ItemFinder, PinyinKeysFromIcuAndMatchedAfterCodesAndNames)
{
    struct Name
    {
        const char* name;
        market::NameKeys keys;
    };
    const Name names[] = {
        {"小酒窖", {"xiao jiu jiao", "xjj"}},
        {"Tolmere小酒窖", {"tolmere xiao jiu jiao", "tolmerexjj"}}, // letters stay whole
        {"ST 干红-2015", {"st gan hong 2015", "stgh2015"}},          // anything else only separates
        {"Vin", {"vin", "vin"}},
        {"", {}},
        {"\xff\xfe", {}}, // not UTF-8
    };
    for (const Name& n : names)
        EXPECT_EQ(market::pinyinKeys(n.name), n.keys) << n.name;

    std::map<int, market::NameKeys> keys;
    for (const ItemEntry& item : kItems)
        keys[item.code] = market::pinyinKeys(item.name);
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"xjj", {9160001}},
        {"XiaoJiu", {9160001}}, // the full pinyin, any case
        {"zc gh", {9160002}},   // spaces typed are not needed
        {"in", {9160015, 9160011}}, // "Vin" by its name before "bing jiu" by its pinyin
        {"qxzx", {}},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(codes(market::findItems(kItems, typed, 10, keys)), expected) << '"' << typed << '"';
}

TEST(ChosenItem, ReadsOnlyACodeAndStepsThroughTheTableInItsOrder)
{
    EXPECT_EQ(market::parseChosenItem("9160003\n"), 9160003);
    EXPECT_EQ(market::parseChosenItem("9160003"), 9160003);
    for (const char* bad : {"", "\n", "-9160003", "9160003x", " 9160003", "0", "12345678901", "91600\n03"})
        EXPECT_EQ(market::parseChosenItem(bad), std::nullopt) << '"' << bad << '"';

    EXPECT_EQ(market::neighbourItem(kItems, 9160002, 1), 9160011);
    EXPECT_EQ(market::neighbourItem(kItems, 9160002, -1), 9160001);
    EXPECT_EQ(market::neighbourItem(kItems, 9160015, 1), 9160001); // wraps at both ends
    EXPECT_EQ(market::neighbourItem(kItems, 9160001, -1), 9160015);
    EXPECT_EQ(market::neighbourItem(kItems, 9169999, 1), 9160001); // not listed: the first
    EXPECT_EQ(market::neighbourItem({}, 9160001, 1), std::nullopt);
}

TEST(Watchlist, ReadsCodesOnceInTheirOrderAndRefusesAnyOtherLine)
{
    using Codes = std::optional<std::vector<int>>;
    const std::pair<const char*, Codes> cases[] = {
        {"", std::vector<int>{}},
        {"9160003\n9160001\n", std::vector{9160003, 9160001}},
        {"9160003", std::vector{9160003}},                                   // no final line break
        {" 9160003 \r\n\r\n\t9160001\r\n", std::vector{9160003, 9160001}}, // blanks, CRLF, empty lines
        {"9160003\n9160003\n", std::vector{9160003}},                         // each once
        {"9160003\nTolmere\n", std::nullopt},                  // a line the user mistyped
        {"9160003 9160001\n", std::nullopt},
        {"-9160003\n", std::nullopt},
        {"0\n", std::nullopt},
    };
    for (const auto& [text, codes] : cases)
        EXPECT_EQ(market::parseWatchlist(text), codes) << '"' << text << '"';
    EXPECT_EQ(market::watchlistText({9160005, 9160001}), "9160005\n9160001\n");
    EXPECT_EQ(market::parseWatchlist(market::watchlistText({9160005, 9160001})), Codes(std::vector{9160005, 9160001}));
}

} // namespace
