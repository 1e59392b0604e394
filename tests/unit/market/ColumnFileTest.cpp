#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "client/CodePage.h"
#include "market/ColumnFile.h"
#include "market/ColumnFileChoice.h"
#include "market/OverviewColumns.h"
#include "support/FileSizeLimit.h"

using namespace market;

namespace {

const std::filesystem::path kData = VELMORA_DATA_DIR;

std::vector<std::string> captions(const std::vector<OverviewColumn>& cols)
{
    std::vector<std::string> out;
    for (const auto& c : cols)
        out.push_back(c.caption);
    return out;
}

class ColumnFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = std::filesystem::temp_directory_path() / ("velmora-columns-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::filesystem::path m_dir;
};

} // namespace

TEST(ShippedColumnFiles, CatalogueCoversEveryKnownKeyAndTheDefaultUsesIt)
{
    const auto catalogue = loadColumnFile(kData / kCatalogueFileName);
    const auto current = loadColumnFile(kData / kCurrentColumnFileName);
    ASSERT_TRUE(catalogue && current);
    std::map<std::string, std::string> byCaption;
    std::set<std::string> keys;
    for (const auto& c : catalogue->document.categories)
        for (const auto& e : c.columns) {
            EXPECT_TRUE(byCaption.emplace(e.name, e.title).second) << "caption twice: " << e.name;
            keys.insert(e.title);
        }
    std::set<std::string> known{"main_1", "main_2", "main_3", "main_4", "main_5", "main_6", "main_7", "main_8",
                                "main_9", "main_10", "main_11", "main_12", "main_13", "main_14", "main_15",
                                "main_16", "main_17", "main_20", "main_22", "main_23", "main_24", "main_25",
                                "main_26", "futures_1", "futures_2", "futures_3"};
    for (int i = 1; i <= 23; ++i)
        known.insert("extend_" + std::to_string(i));
    EXPECT_EQ(keys, known);

    ASSERT_EQ(current->document.categories.size(), 2u);
    EXPECT_EQ(current->document.categories[0].name, kBasicCategory);
    EXPECT_EQ(current->document.categories[1].name, kExtendedCategory);
    for (const auto& c : current->document.categories) {
        ASSERT_GE(c.columns.size(), 3u);
        EXPECT_EQ(c.columns[0].name, "序");
        EXPECT_EQ(c.columns[1].name, "代码");
        EXPECT_EQ(c.columns[2].name, "名称");
        for (const auto& e : c.columns)
            EXPECT_EQ(byCaption[e.name], e.title) << e.name;
    }
}

TEST(OverviewColumnsTest, WidthsByCaptionAndTabCount)
{
    const ColumnDocument doc{{{kBasicCategory, {{"序", "main_1"}, {"代码", "main_3"}, {"名称", "main_4"},
                                                {"总手", "main_12"}, {"总金额(w)", "main_11"}, {"箭", "main_2"},
                                                {"最新", "main_9"}}},
                              {"自选", {}},
                              {kExtendedCategory, {}}}};
    const OverviewColumns cols = buildOverviewColumns(&doc);
    EXPECT_EQ(cols.tabCount, 3);
    std::vector<int> widths;
    for (const auto& c : cols.basic)
        widths.push_back(c.width);
    EXPECT_EQ(widths, (std::vector<int>{40, 80, 100, 110, 110, 30, 65}));
    EXPECT_EQ(cols.basicKeys().front(), "main_1");
    EXPECT_TRUE(cols.extended.empty());

    const OverviewColumns none = buildOverviewColumns(nullptr);
    EXPECT_EQ(none.tabCount, 0);
    EXPECT_TRUE(none.basic.empty());
}

TEST(OverviewColumnsTest, ExtendedListPlacesNumberCodeAndNameAndKeysFollowTheirColumns)
{
    const ColumnDocument doc{{{kExtendedCategory, {{"最新", "main_9"}, {"名称", "main_4"}, {"卖一价", "extend_1"},
                                                   {"序", "main_1"}, {"代码", "main_3"}}}}};
    const OverviewColumns cols = buildOverviewColumns(&doc);
    // 最新 | 最新 名称 | 最新 名称 卖一价 | 序 最新 名称 卖一价 | 序 最新 代码 名称 卖一价
    EXPECT_EQ(captions(cols.extended), (std::vector<std::string>{"序", "最新", "代码", "名称", "卖一价"}));
    EXPECT_EQ(cols.extendedKeys(), (std::vector<std::string>{"main_1", "main_9", "main_3", "main_4", "extend_1"}));
}

TEST(OverviewColumnsTest, AtMostEightyColumns)
{
    ColumnDocument doc{{{kBasicCategory, {}}}};
    for (int i = 0; i < 90; ++i)
        doc.categories[0].columns.push_back({"c" + std::to_string(i), "main_9"});
    EXPECT_EQ(buildOverviewColumns(&doc).basic.size(), 80u);
}

TEST_F(ColumnFileTest, RoundTripGbkFilesAndBadContent)
{
    const ColumnDocument doc{{{kBasicCategory, {{"序", "main_1"}, {"名称", "main_4"}}}, {"空", {}}}};
    const std::string text = styledColumnText(doc);
    ASSERT_TRUE(writeColumnFile(m_dir / "a.txt", text));
    const auto back = loadColumnFile(m_dir / "a.txt");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->document, doc);
    EXPECT_EQ(back->styledText, text);

    // An older installation's file in GBK.
    std::ofstream(m_dir / "gbk.txt", std::ios::binary)
        << client::utf8ToWire(R"({"infor":[{"name":"基本行情","infor1":[{"name":"名称","title":"main_4"}]}]})");
    const auto gbk = loadColumnFile(m_dir / "gbk.txt");
    ASSERT_TRUE(gbk);
    EXPECT_EQ(gbk->document.categories[0].columns[0].name, "名称");

    EXPECT_FALSE(loadColumnFile(m_dir / "missing.txt"));
    std::ofstream(m_dir / "bad.txt") << "not json";
    EXPECT_FALSE(loadColumnFile(m_dir / "bad.txt"));
    const auto odd = parseColumnDocument(R"({"infor":[{"name":1,"infor1":[{"name":["x"]},7]}, "x"]})");
    ASSERT_TRUE(odd);
    ASSERT_EQ(odd->categories.size(), 2u);
    EXPECT_EQ(odd->categories[0].name, "1");
    EXPECT_EQ(odd->categories[0].columns.size(), 2u);
    EXPECT_EQ(odd->categories[0].columns[0].name, "");
    EXPECT_TRUE(parseColumnDocument("[1,2]")->categories.empty());
    EXPECT_FALSE(writeColumnFile(m_dir / "no" / "such" / "dir.txt", text));
}

TEST_F(ColumnFileTest, UnreadableFileFallsBackToTheShippedOneAndIsLeftAlone)
{
    const std::filesystem::path user = m_dir / "user";
    std::filesystem::create_directories(user);

    // Missing: the shipped copy, the missing file named.
    ColumnFileChoice missing = chooseColumnFile(user, kCurrentColumnFileName, kData);
    ASSERT_TRUE(missing.file);
    EXPECT_TRUE(missing.shipped);
    EXPECT_EQ(missing.failed, user / kCurrentColumnFileName);
    EXPECT_EQ(missing.file->document, loadColumnFile(kData / kCurrentColumnFileName)->document);
    EXPECT_FALSE(std::filesystem::exists(user / kCurrentColumnFileName)); // nothing written

    // Not JSON (a hand edit gone wrong): the same, and the bytes stay for the user to mend.
    const std::string broken = "{\"infor\":[{\"name\":\"基本行情\",\"infor1\":[";
    std::ofstream(user / kCurrentColumnFileName, std::ios::binary) << broken;
    const ColumnFileChoice bad = chooseColumnFile(user, kCurrentColumnFileName, kData);
    EXPECT_TRUE(bad.shipped);
    const std::string text = columnFileProblemText(bad);
    EXPECT_NE(text.find((user / kCurrentColumnFileName).string()), std::string::npos) << text;
    EXPECT_NE(text.find("软件自带"), std::string::npos) << text;
    std::ifstream in(user / kCurrentColumnFileName, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), broken);

    // JSON that holds no category at all is no better.
    for (const char* empty : {"{}", "[1,2]", "{\"infor\":{}}"}) {
        std::ofstream(user / kCurrentColumnFileName, std::ios::binary | std::ios::trunc) << empty;
        EXPECT_TRUE(chooseColumnFile(user, kCurrentColumnFileName, kData).shipped) << empty;
    }

    // No shipped copy either: nothing to show, and the message says so.
    const ColumnFileChoice none = chooseColumnFile(user, kCurrentColumnFileName, m_dir / "nowhere");
    EXPECT_FALSE(none.file);
    EXPECT_FALSE(none.shipped);
    EXPECT_NE(columnFileProblemText(none).find("找不到"), std::string::npos);

    // A readable file is the user's, even when it differs from the shipped one.
    ASSERT_TRUE(writeColumnFile(user / kCurrentColumnFileName,
                                styledColumnText({{{kBasicCategory, {{"序", "main_1"}}}}})));
    const ColumnFileChoice own = chooseColumnFile(user, kCurrentColumnFileName, kData);
    EXPECT_FALSE(own.shipped);
    EXPECT_TRUE(own.failed.empty());
    EXPECT_EQ(own.file->document.categories.size(), 1u);
    EXPECT_EQ(columnFileProblemText(own), "");
}

TEST_F(ColumnFileTest, ASaveCutShortLeavesTheOldFileWhole)
{
    const std::string old = styledColumnText({{{kBasicCategory, {{"序", "main_1"}}}}});
    ASSERT_TRUE(writeColumnFile(m_dir / kCurrentColumnFileName, old));
    ColumnDocument bigger{{{kBasicCategory, {}}}};
    for (int i = 0; i < 40; ++i)
        bigger.categories[0].columns.push_back({"c" + std::to_string(i), "main_9"});
    {
        const testsupport::FileSizeLimit diskFull(old.size() + 10);
        EXPECT_FALSE(writeColumnFile(m_dir / kCurrentColumnFileName, styledColumnText(bigger)));
    }
    const auto kept = loadColumnFile(m_dir / kCurrentColumnFileName);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->styledText, old);
}
