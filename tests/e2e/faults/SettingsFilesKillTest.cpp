// The terminal's own files, killed at any moment while being rewritten: each must read back
// as the whole old file or the whole new one, never empty or half written.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/RememberedAccount.h"
#include "client/ServerLine.h"
#include "market/ColumnFile.h"
#include "trade/Export.h"

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string styledAccount(const std::string& account)
{
    return "{\n   \"id_account\" : \"" + account + "\"\n}\n";
}

// One file the terminal writes: the two versions a writer alternates between.
struct SettingsFile
{
    const char* name;
    std::string oldText;
    std::string newText;
    std::function<void(bool newer)> write; // runs in the killed child, in the folder
};

class SettingsFilesKill : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        // In-process: a shell forked from this threaded process can hang on the faked clock's lock.
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string m_dir;
};

std::vector<SettingsFile> settingsFiles()
{
    // Column files of clearly different sizes, so a torn write cannot pass for either.
    std::string shortColumns = market::styledColumnText({{{"基本行情", {{"序", "main_1"}}}}});
    market::ColumnDocument longer;
    for (int c = 0; c < 2; ++c) {
        market::ColumnCategory category{c == 0 ? "基本行情" : "扩展行情", {}};
        for (int i = 1; i <= 26; ++i)
            category.columns.push_back({"列" + std::to_string(i), "main_" + std::to_string(i)});
        longer.categories.push_back(category);
    }
    std::string longColumns = market::styledColumnText(longer);
    // An export of a short and of a long list: a user's saved query, overwritten by the next.
    const QStringList headers{"序", "代码", "产品名称"};
    const std::vector<QStringList> fewRows{{"1", "9160001", "波尔多红"}};
    std::vector<QStringList> manyRows;
    for (int r = 1; r <= 400; ++r)
        manyRows.push_back({QString::number(r), "9160001", "勃艮第白"});
    return {
        {"connect", R"({"connect":0})", R"({"connect":1})",
         [](bool newer) { client::ApplyLineChoice(newer ? 1 : 0, "."); }},
        {"signinaccount", styledAccount("100001"), styledAccount("1000020000000000000000000000000000"),
         [](bool newer) { app::WriteRememberedAccount(newer ? "1000020000000000000000000000000000" : "100001"); }},
        {"currentlisttitle.txt", shortColumns, longColumns,
         [shortColumns, longColumns](bool newer) {
             market::writeColumnFile(market::kCurrentColumnFileName, newer ? longColumns : shortColumns);
         }},
        {"当日订单.txt", trade::exportText(headers, fewRows), trade::exportText(headers, manyRows),
         [headers, fewRows, manyRows](bool newer) {
             trade::saveExport(QStringLiteral("当日订单.txt"), headers, newer ? manyRows : fewRows);
         }},
    };
}

} // namespace

TEST_P(SettingsFilesKill, KilledWhileSavingLeavesTheWholeOldOrTheWholeNewFile)
{
    const SettingsFile file = settingsFiles()[std::size_t(GetParam())];
    const std::string path = m_dir + "/" + file.name;
    std::mt19937 random(1208u + unsigned(GetParam()));
    std::ofstream(path, std::ios::binary) << file.oldText;
    int torn = 0;
    constexpr int kKills = 150;
    for (int kill = 0; kill < kKills; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (chdir(m_dir.c_str()) != 0)
                _exit(2);
            for (bool newer = false;; newer = !newer)
                file.write(newer);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(200, 5000)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const std::string text = readFile(path);
        if (text != file.oldText && text != file.newText)
            ++torn;
    }
    EXPECT_EQ(torn, 0) << file.name << ": " << torn << " of " << kKills
                       << " kills left a file that is neither the old nor the new one";
}

std::string fileName(const ::testing::TestParamInfo<int>& info)
{
    static const char* names[] = {"connect", "signinaccount", "currentlisttitle", "export"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryFile, SettingsFilesKill, ::testing::Values(0, 1, 2, 3), fileName);
