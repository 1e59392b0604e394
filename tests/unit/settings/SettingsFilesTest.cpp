// Whatever a settings file holds, its reader returns the defaults with the file named, never
// throws and never waits, and the file is left exactly as it was.
#include <fstream>
#include <functional>
#include <string>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "app/RememberedAccount.h"
#include "chart/Drawings.h"
#include "chart/IndicatorSettings.h"
#include "chart/formula/Definition.h"
#include "client/ServerLine.h"
#include "client/SettingsFolder.h"
#include "controls/ColumnWidths.h"
#include "market/ColumnFile.h"
#include "market/ColumnFileChoice.h"
#include "market/core/ChosenItem.h"
#include "market/core/PriceAlerts.h"
#include "platform/Notices.h"
#include "market/core/Watchlist.h"
#include "session/Session.h"

namespace fs = std::filesystem;

namespace {

struct Reader
{
    const char* file;
    // The file the reader named as unusable; empty when it read defaults quietly.
    std::function<fs::path(const fs::path& dir)> failed;
};

const Reader kReaders[] = {
    {chart::kIndicatorFile, [](const fs::path& d) { return chart::readIndicatorChoice(d).failed; }},
    {controls::kColumnWidthsFile, [](const fs::path& d) { return controls::readColumnWidths(d).failed; }},
    {market::kWatchlistFile, [](const fs::path& d) { return market::readWatchlist(d).failed; }},
    {market::kChosenItemFile, [](const fs::path& d) { return market::readChosenItem(d).failed; }},
    {client::kLineChoiceFile, [](const fs::path& d) { return client::LoadLineChoice(d); }},
    {app::kRememberedAccountFile,
     [](const fs::path& d) {
         Session::current().setSettingsDir(d);
         fs::path failed = app::ReadRememberedAccount().failed;
         Session::current().setSettingsDir({});
         return failed;
     }},
    {market::kCurrentColumnFileName,
     [](const fs::path& d) { return market::chooseColumnFile(d, market::kCurrentColumnFileName, {}).failed; }},
};

class SettingsFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("velmora-settings-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    void put(const char* name, const std::string& bytes)
    {
        fs::remove_all(m_dir / name);
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    std::string bytesOf(const char* name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path m_dir;
};

TEST_F(SettingsFiles, AnythingInAnyFileIsNamedAndLeftAlone)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string contents[] = {std::string("\xff\xfe\0garbage{", 12), "{\"connect\":", deep, "\"text\""};
    for (const Reader& r : kReaders) {
        SCOPED_TRACE(r.file);
        // The column file is seeded at the first start: one missing later is named too.
        if (r.file != std::string(market::kCurrentColumnFileName)) {
            EXPECT_TRUE(r.failed(m_dir).empty()) << "a missing file reads quietly";
        }
        for (const std::string& bytes : contents) {
            put(r.file, bytes);
            fs::path failed;
            EXPECT_NO_THROW(failed = r.failed(m_dir));
            EXPECT_EQ(failed.filename(), r.file);
            EXPECT_EQ(bytesOf(r.file), bytes);
        }
        // A folder, a FIFO (which must not hold the start) and 50 MB of a file.
        fs::remove_all(m_dir / r.file);
        fs::create_directory(m_dir / r.file);
        EXPECT_EQ(r.failed(m_dir).filename(), r.file);
        fs::remove_all(m_dir / r.file);
        ASSERT_EQ(::mkfifo((m_dir / r.file).c_str(), 0600), 0);
        EXPECT_EQ(r.failed(m_dir).filename(), r.file);
        fs::remove_all(m_dir / r.file);
        put(r.file, "{}");
        fs::resize_file(m_dir / r.file, 50u << 20);
        EXPECT_EQ(r.failed(m_dir).filename(), r.file);
        EXPECT_EQ(fs::file_size(m_dir / r.file), 50u << 20);
        fs::remove_all(m_dir / r.file);
    }
}

// JsonCpp throws when a whole number past 64 bits is read as one: that ended the terminal
// at every start until the file was deleted.
TEST_F(SettingsFiles, NumbersPastSixtyFourBitsReadAsDefaults)
{
    const char* huge[] = {"18446744073709551615", "99999999999999999999999", "-9223372036854775809", "1e400",
                          "1.8e19"};
    for (const char* n : huge) {
        SCOPED_TRACE(n);
        const std::string s(n);
        std::optional<chart::IndicatorChoice> indicators;
        EXPECT_NO_THROW(indicators = chart::parseIndicatorChoice("{\"ma_periods\":[" + s + ",7]}"));
        if (indicators) { // a number JsonCpp cannot hold at all makes the text unreadable
            EXPECT_EQ(indicators->maPeriods[0], chart::IndicatorChoice().maPeriods[0]);
        }
        std::optional<controls::ColumnWidthChoices> widths;
        EXPECT_NO_THROW(widths = controls::parseColumnWidths("{\"Orders/242\":{\"代码\":" + s + ",\"名称\":90}}"));
        if (widths) {
            EXPECT_EQ(widths->at("Orders/242"), (controls::ListWidths{{"名称", 90}}));
        }
        EXPECT_NO_THROW(client::parseLineChoice("{\"connect\":" + s + "}"));
        EXPECT_NO_THROW(app::ParseRememberedAccount("{\"id_account\":" + s + "}"));
        EXPECT_NO_THROW(market::parseColumnDocument("{\"infor\":" + s + "}"));
        EXPECT_NO_THROW(chart::parseDrawings("{\"9160001\":[{\"shape\":\"horizontal\",\"points\":[[" + s + ",1]],"
                                             "\"colour\":" + s + "}]}"));
        EXPECT_NO_THROW(market::parseAlerts("[{\"code\":" + s + ",\"condition\":\"price_at_least\",\"value\":" + s +
                                            ",\"auto\":" + s + ",\"triggered_at\":" + s + "}]"));
        EXPECT_NO_THROW(platform::parseNoticeSettings("{\"sound\":" + s + "}"));
        EXPECT_NO_THROW(chart::formula::parseFormulaFile("[{\"name\":\"A\",\"text\":\"C;\",\"parameters\":[{\"name\":\"N\","
                                                         "\"default\":" + s + ",\"min\":" + s + ",\"max\":" + s + "}]}]"));
    }
}

// A member of another type than the file's own writer puts there reads as a default or makes
// the file unreadable; it never throws out of the reader.
TEST_F(SettingsFiles, MembersOfTheWrongTypeNeverThrow)
{
    for (const char* v : {"\"yes\"", "[1]", "{}", "null", "-1"}) {
        SCOPED_TRACE(v);
        const std::string s(v);
        std::optional<std::vector<market::PriceAlert>> alerts;
        EXPECT_NO_THROW(alerts = market::parseAlerts(
                            "[{\"code\":9160001,\"condition\":\"price_at_least\",\"value\":\"36.2\",\"auto\":" + s + "}]"));
        if (alerts) {
            EXPECT_FALSE(alerts->front().autoRearm);
        }
        EXPECT_NO_THROW(chart::parseDrawings("{\"9160001\":[{\"shape\":" + s + ",\"points\":" + s + "}]}"));
        EXPECT_NO_THROW(platform::parseNoticeSettings("{\"fills\":" + s + "}"));
        EXPECT_NO_THROW(chart::formula::parseFormulaFile("[{\"name\":" + s + ",\"text\":" + s + "}]"));
    }
}

TEST_F(SettingsFiles, TheFolderWritesWholeAndReadsWithinItsLimit)
{
    const client::SettingsFolder folder(m_dir);
    ASSERT_TRUE(folder.write("a", "12345"));
    EXPECT_EQ(folder.readBytes("a").value, std::optional<std::string>("12345"));
    EXPECT_EQ(folder.readBytes("a", 5).value, std::optional<std::string>("12345"));
    EXPECT_FALSE(folder.readBytes("a", 4).value);
    EXPECT_EQ(folder.readBytes("a", 4).failed, m_dir / "a");
    // A parser that throws names the file too.
    const auto thrown = folder.read("a", [](std::string_view) -> std::optional<int> { throw std::runtime_error("x"); });
    EXPECT_EQ(thrown.failed, m_dir / "a");
    EXPECT_FALSE(client::SettingsFolder(m_dir / "none").write("a", "1"));
    EXPECT_TRUE(client::SettingsFolder(m_dir / "none").readBytes("a").missing());
}

} // namespace
