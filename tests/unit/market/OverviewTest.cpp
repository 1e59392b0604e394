#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "session/Records.h"
#include "market/core/MarketColours.h"
#include "market/core/OverviewCells.h"
#include "market/core/OverviewReply.h"

using namespace market;

namespace {

Json::Value row(const std::string& json)
{
    Json::Value v;
    EXPECT_TRUE(client::parseJson(json, v));
    return v;
}

OverviewCell basic(const Json::Value& r, const std::string& key, int index = 0)
{
    return formatOverviewCell(r, key, index, OverviewList::Basic);
}

OverviewCell extended(const Json::Value& r, const std::string& key, int index = 0)
{
    return formatOverviewCell(r, key, index, OverviewList::Extended);
}

} // namespace

TEST(OverviewCells, MissingKeysShowDashAndArrowDependsOnTheList)
{
    const Json::Value r = row(R"({"main_5": 10})");
    for (const char* key : {"main_9", "main_20", "main_11", "main_12", "extend_7", "futures_2", "main_99"})
        EXPECT_EQ(basic(r, key).text, "-") << key;
    EXPECT_EQ(basic(r, "main_4").text, "");
    EXPECT_EQ(basic(r, "main_2"), (OverviewCell{"--", kLevelColour}));
    EXPECT_EQ(extended(r, "main_2"), (OverviewCell{"-", kLevelColour}));
}

TEST(OverviewCells, RowNumberIgnoresTheReply)
{
    const Json::Value r = row(R"({"main_1": 777})");
    EXPECT_EQ(basic(r, "main_1", 0), (OverviewCell{"1", kVolumeColour}));
    EXPECT_EQ(extended(r, "main_1", 41), (OverviewCell{"42", kVolumeColour}));
}

TEST(OverviewCells, PricesAreColouredAgainstTheReference)
{
    const Json::Value r = row(R"({"main_5": 12.5, "main_9": 12.5, "main_7": 13, "main_8": "12.01",
                                  "extend_1": 0.000001, "extend_11": 14})");
    EXPECT_EQ(basic(r, "main_5"), (OverviewCell{"12.50", kLevelColour}));
    EXPECT_EQ(basic(r, "main_9"), (OverviewCell{"12.50", kLevelColour}));
    EXPECT_EQ(basic(r, "main_7"), (OverviewCell{"13.00", kRiseColour}));
    EXPECT_EQ(basic(r, "main_8"), (OverviewCell{"12.01", kFallColour}));
    EXPECT_EQ(basic(r, "extend_1"), (OverviewCell{"-", kLevelColour}));
    EXPECT_EQ(extended(r, "extend_11"), (OverviewCell{"14.00", kRiseColour}));
}

TEST(OverviewCells, SignedArrowAmountIntegerAndNameRules)
{
    const Json::Value r = row(R"({"main_20": -1.234, "main_24": 0.5, "main_2": 3, "main_11": 1234.5,
                                  "main_12": 4500, "main_3": 9160001, "main_4": "赤霞珠 2015", "main_13": 0,
                                  "main_17": -20, "main_30": 2})");
    EXPECT_EQ(basic(r, "main_20"), (OverviewCell{"-1.23", kFallColour}));
    EXPECT_EQ(basic(r, "main_24"), (OverviewCell{"0.50", kRiseColour}));
    EXPECT_EQ(basic(r, "main_2"), (OverviewCell{"↓", kFallColour}));
    EXPECT_EQ(basic(row(R"({"main_2": -1})"), "main_2"), (OverviewCell{"↑", kRiseColour}));
    EXPECT_EQ(basic(r, "main_11"), (OverviewCell{"1234.50", kRiseColour}));
    EXPECT_EQ(extended(r, "main_11"), (OverviewCell{"1234.50", kVolumeColour}));
    EXPECT_EQ(basic(row("{}"), "main_11"), (OverviewCell{"-", kLevelColour}));
    EXPECT_EQ(basic(r, "main_12"), (OverviewCell{"4500", kVolumeColour}));
    EXPECT_EQ(basic(r, "main_3"), (OverviewCell{"9160001", kVolumeColour}));
    EXPECT_EQ(basic(r, "main_13"), (OverviewCell{"-", kVolumeColour}));
    EXPECT_EQ(basic(r, "main_17"), (OverviewCell{"-20", kVolumeColour}));
    EXPECT_EQ(basic(r, "main_4"), (OverviewCell{"赤霞珠 2015", kNameColour}));
    EXPECT_EQ(basic(r, "main_30"), (OverviewCell{"2.00", kLevelColour}));
}

TEST(OverviewCells, MembersOfTheWrongTypeReadAsZero)
{
    const Json::Value r = row(R"({"main_5": "x", "main_9": [1], "main_12": {"a": 1}, "main_2": "up", "main_4": 5})");
    EXPECT_EQ(basic(r, "main_9").text, "-");
    EXPECT_EQ(basic(r, "main_12").text, "-");
    EXPECT_EQ(basic(r, "main_2").text, "--");
    EXPECT_EQ(basic(r, "main_4").text, "5");
    // A row that is not an object at all.
    EXPECT_EQ(formatOverviewRow(Json::Value("text"), {"main_1", "main_9"}, 2, OverviewList::Basic),
              (std::vector<OverviewCell>{{"3", kVolumeColour}, {"-", kLevelColour}}));
}

TEST(OverviewCells, SortedByFiguresThenTextWithDashesLast)
{
    // One column of cells as shown; the expected orders are of the row indices.
    struct Case
    {
        const char* key;
        std::vector<const char*> texts;
        bool descending;
        std::vector<std::size_t> expected;
    };
    const Case cases[] = {
        {"main_9", {"9.50", "-", "10.00", "123.40", "9.50"}, true, {3, 2, 0, 4, 1}}, // not as text; ties keep their order
        {"main_9", {"9.50", "-", "10.00", "123.40", "9.50"}, false, {0, 4, 2, 3, 1}}, // no price last both ways
        {"main_20", {"-1.23", "-", "2.50", "--"}, true, {2, 1, 0, 3}},              // a signed "-" is a zero
        {"main_20", {"-1.23", "-", "2.50", "--"}, false, {0, 1, 2, 3}},
        {"main_4", {"b", "a", "-", "c"}, false, {1, 0, 3, 2}},
        {"main_12", {"12", "3", "x"}, true, {0, 1, 2}}, // a figure before any other text
    };
    for (const Case& c : cases) {
        std::vector<std::vector<OverviewCell>> rows;
        std::vector<std::size_t> shown;
        for (const char* text : c.texts) {
            shown.push_back(rows.size());
            rows.push_back({{"1", kVolumeColour}, {text, kLevelColour}});
        }
        EXPECT_EQ(sortOverviewRows(rows, shown, 1, c.key, c.descending), c.expected) << c.key << ' ' << c.descending;
    }
    // Only the rows shown, and a column past a short row's end reads as no figure.
    const std::vector<std::vector<OverviewCell>> rows{{{"5", {}}}, {{"7", {}}}, {}, {{"6", {}}}};
    EXPECT_EQ(sortOverviewRows(rows, {3, 2, 1}, 0, "main_10", true), (std::vector<std::size_t>{1, 3, 2}));
}

TEST(OverviewCells, EveryColourStaysReadableOnTheSelectedRow)
{
    // WCAG's relative luminance and contrast ratio.
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    auto contrast = [&](const QColor& a, const QColor& b) {
        const double x = luminance(a);
        const double y = luminance(b);
        return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
    };
    for (const QColor& text : {kNameColour, kRiseColour, kFallColour, kVolumeColour, kLevelColour})
        EXPECT_GE(contrast(text, kSelectedBand), 3.0) << text.name().toStdString();
    EXPECT_GE(contrast(kSelectedOutline, QColor(32, 32, 32)), 3.0); // the row stands out of the list
}

TEST(OverviewReplyTest, OnlyASuccessfulReplyGivesRows)
{
    const std::vector<std::string> keys{"main_1", "main_4"};
    EXPECT_FALSE(parseOverviewReply("", keys, keys).parsed);
    EXPECT_FALSE(parseOverviewReply("{\"success\":", keys, keys).parsed);
    const OverviewReply refused = parseOverviewReply(R"({"success":"false","infor":[{}]})", keys, keys);
    EXPECT_TRUE(refused.parsed);
    EXPECT_FALSE(refused.success);
    EXPECT_TRUE(refused.basicRows.empty());
    const OverviewReply noArray = parseOverviewReply(R"({"success":true,"infor":{"a":1}})", keys, keys);
    EXPECT_TRUE(noArray.success);
    EXPECT_EQ(noArray.rowCount, 0);
}

TEST(OverviewReplyTest, RowsInBothListsAndTheFirstThirtyItems)
{
    std::string json = R"({"success":"true","infor":[)";
    for (int i = 0; i < 35; ++i)
        json += (i ? "," : "") + std::string(R"({"main_3":)") + std::to_string(9160001 + i)
                + R"(,"main_4":"拉菲)" + std::to_string(i) + R"(","main_5":)" + std::to_string(100 + i) + ".5}";
    json += "]}";
    const OverviewReply r = parseOverviewReply(client::utf8ToWire(json), {"main_1", "main_4"}, {"main_3"});
    ASSERT_TRUE(r.success);
    EXPECT_EQ(r.rowCount, 35);
    ASSERT_EQ(r.basicRows.size(), 35u);
    ASSERT_EQ(r.extendedRows.size(), 35u);
    EXPECT_EQ(r.basicRows[34][0].text, "35");
    EXPECT_EQ(r.basicRows[2][1].text, "拉菲2"); // GBK on the wire, UTF-8 inside
    EXPECT_EQ(r.extendedRows[1][0].text, "9160002");
    ASSERT_EQ(r.items.size(), 30u);
    EXPECT_EQ(r.items[29], (ItemEntry{9160030, "拉菲29", 129.5f}));

    ItemTable table;
    table.store(r.items, r.rowCount);
    EXPECT_EQ(table.count(), 35);
    EXPECT_EQ(table.entries().size(), 30u);
    EXPECT_EQ(table.findByCode(9160005)->name, "拉菲4");
    EXPECT_FALSE(table.findByCode(9160031)); // row 31 is shown but not kept
    table.store({{1, "a", 1.0f}}, 1);
    EXPECT_EQ(table.entries(), (std::vector<ItemEntry>{{1, "a", 1.0f}}));
    EXPECT_FALSE(table.findByCode(9160002));
}
