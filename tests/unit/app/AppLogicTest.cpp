#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include "app/Announcements.h"
#include "app/LoginRequest.h"
#include "app/RememberedAccount.h"
#include "app/UpdateCheck.h"
#include "app/VerificationCode.h"
#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "platform/Trace.h"
#include "support/FileSizeLimit.h"
#include "support/LoopbackServer.h"
#include "session/Session.h"

namespace fs = std::filesystem;

TEST(UpdateManifest, OnlyAnotherVersionIsAnnouncedAndOnlyTrueForces)
{
    EXPECT_FALSE(app::EvaluateManifest(R"({"version":"v1.6","forced":"true","msg":"m"})", "v1.6").announce);
    const auto older = app::EvaluateManifest(R"({"version":"v1.5","forced":"false","msg":"m"})", "v1.6");
    EXPECT_TRUE(older.announce);
    EXPECT_FALSE(older.forced);
    EXPECT_EQ(older.message, "m");
    EXPECT_TRUE(app::EvaluateManifest(R"({"version":"v2","forced":true,"msg":""})", "v1.6").forced);
    EXPECT_FALSE(app::EvaluateManifest(R"({"version":"v2","forced":"True"})", "v1.6").forced);
    // Unusable replies say nothing at all.
    for (const char* bad : {"", "<html>", "[1,2]", "\"v2\"", "{\"version\":"})
        EXPECT_FALSE(app::EvaluateManifest(bad, "v1.6").announce) << bad;
    // Wrong member types: a numeric version is still "another version", msg reads empty.
    const auto odd = app::EvaluateManifest(R"({"version":1.6,"msg":{"a":1}})", "v1.6");
    EXPECT_TRUE(odd.announce);
    EXPECT_EQ(odd.message, "");
    // A manifest saved by an old host in GBK still reads.
    const auto gbk = app::EvaluateManifest(client::utf8ToWire(R"({"version":"v1.7","msg":"请更新"})"), "v1.6");
    EXPECT_EQ(gbk.message, "请更新");
}

TEST(AnnouncementPage, TitlesThenRemarksInReplyOrder)
{
    EXPECT_EQ(app::AnnouncementPage(R"({"success":"true","infor":[{"title":"A","remark":"x"},{"title":"B","remark":"y"}]})"),
              std::optional<std::string>("AxBy"));
    EXPECT_EQ(app::AnnouncementPage(R"({"success":"false","msg":"no","infor":[{"title":"A"}]})"), std::optional<std::string>(""));
    EXPECT_EQ(app::AnnouncementPage(R"({"success":"true","infor":[]})"), std::optional<std::string>(""));
    EXPECT_EQ(app::AnnouncementPage(R"({"success":"true","infor":{"title":"A"}})"), std::optional<std::string>(""));
    EXPECT_EQ(app::AnnouncementPage(R"({"success":"true","infor":[{"title":5,"remark":null},"x",{"remark":"r"}]})"),
              std::optional<std::string>("5r"));
    EXPECT_EQ(app::AnnouncementPage(""), std::nullopt);
    EXPECT_EQ(app::AnnouncementPage("garbage"), std::nullopt);
}

TEST(LoginReply, RecordReadsMembersOfAnyType)
{
    Json::Value infor;
    ASSERT_TRUE(client::parseJson(R"({"is_update":"1","name":["x"],"phone":123,"email":null,"account":"6222"})", infor));
    const UserRecord r = app::RecordFromReply("0088", "pw", infor);
    EXPECT_EQ(r.id, "0088");
    EXPECT_EQ(r.password, "pw");
    EXPECT_EQ(r.is_update, 1); // numeric text reads as the number
    EXPECT_EQ(r.name, "");
    EXPECT_EQ(r.phone, "123");
    EXPECT_EQ(r.email, "");
    EXPECT_EQ(r.account, "6222");
    const UserRecord none = app::RecordFromReply("1", "p", Json::Value());
    EXPECT_EQ(none.is_update, 0);
    EXPECT_EQ(none.mobile, "");
}

namespace {

QStringList g_traced;

void recordTrace(QtMsgType, const QMessageLogContext& context, const QString& text)
{
    if (QString::fromUtf8(context.category) == QStringLiteral("velmora.trace"))
        g_traced << text;
}

} // namespace

TEST(Trace, RepliesAreTracedAsTextFromTheWireCodePage)
{
    const std::string address = testsupport::UniqueLoopbackAddress(3);
    testsupport::LoopbackServer trade(address, client::kTradePort, [](const testsupport::RecordedRequest&) {
        return testsupport::ScriptedReply{200, client::utf8ToWire(R"({"success":"false","msg":"密码错误"})")};
    });
    client::Options o = client::defaultOptions();
    o.line0Host = address;
    Session::current().setOptions(o);
    client::LoadLineChoice(fs::temp_directory_path() / "velmora-no-such-folder");
    g_traced.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordTrace);
    platform::enableTrace(true);
    const app::LoginOutcome outcome = app::RequestLogin("880001", "pw");
    platform::enableTrace(false);
    qInstallMessageHandler(previous);
    Session::current().setOptions(client::defaultOptions());

    EXPECT_EQ(outcome.message, "密码错误");
    const QString traced = g_traced.join(QString());
    EXPECT_TRUE(traced.contains(QStringLiteral("登陆信息"))) << traced.toStdString();
    EXPECT_TRUE(traced.contains(QStringLiteral("\"msg\":\"密码错误\""))) << traced.toStdString();
    EXPECT_FALSE(traced.contains(QChar::ReplacementCharacter)) << traced.toStdString();
}

class RememberedAccount : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_old = fs::current_path();
        m_dir = fs::temp_directory_path() / ("velmora-remember-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
    }
    void TearDown() override
    {
        fs::current_path(m_old);
        fs::remove_all(m_dir);
    }
    static void write(const std::string& bytes) { std::ofstream(app::kRememberedAccountFile, std::ios::binary) << bytes; }
    static std::string read()
    {
        std::ifstream in(app::kRememberedAccountFile, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path m_old;
    fs::path m_dir;
};

TEST_F(RememberedAccount, ASaveCutShortKeepsTheRememberedAccount)
{
    ASSERT_TRUE(app::WriteRememberedAccount(std::string("880001")));
    {
        const testsupport::FileSizeLimit diskFull(8);
        EXPECT_FALSE(app::WriteRememberedAccount(std::string("880002")));
    }
    EXPECT_EQ(app::ReadRememberedAccount().value, std::optional<std::string>("880001"));
}

TEST_F(RememberedAccount, ReadsWhatItWritesAndTreatsDamageAsNone)
{
    EXPECT_EQ(app::ReadRememberedAccount().value, std::nullopt);
    ASSERT_TRUE(app::WriteRememberedAccount(std::string("880001")));
    EXPECT_EQ(read(), "{\n   \"id_account\" : \"880001\"\n}\n");
    EXPECT_EQ(app::ReadRememberedAccount().value, std::optional<std::string>("880001"));
    ASSERT_TRUE(app::WriteRememberedAccount(std::nullopt));
    EXPECT_EQ(read(), "");
    EXPECT_EQ(app::ReadRememberedAccount().value, std::nullopt);
    EXPECT_TRUE(app::ReadRememberedAccount().failed.empty());
    write("{\"id_account\":");
    EXPECT_EQ(app::ReadRememberedAccount().value, std::nullopt);
    EXPECT_FALSE(app::ReadRememberedAccount().failed.empty()); // named, unlike the emptied file
    write("{\"id_account\":880001}");
    EXPECT_EQ(app::ReadRememberedAccount().value, std::optional<std::string>("880001"));
    write(client::utf8ToWire("{\"id_account\":\"账户1\"}")); // an old installation's GBK file
    EXPECT_EQ(app::ReadRememberedAccount().value, std::optional<std::string>("账户1"));
}

TEST(VerificationCode, FourDigitsFixedBySecondAndColourTable)
{
    const std::string a = app::DrawVerificationCode(1700000000);
    EXPECT_EQ(a.size(), 4u);
    EXPECT_EQ(a.find_first_not_of("0123456789"), std::string::npos);
    EXPECT_EQ(app::DrawVerificationCode(1700000000), a);
    int differ = 0;
    for (int s = 1; s <= 20; ++s)
        differ += app::DrawVerificationCode(1700000000 + s) != a;
    EXPECT_GT(differ, 0);
    EXPECT_EQ(app::VerificationDigitColour(0), QColor(0, 0, 85));
    EXPECT_EQ(app::VerificationDigitColour(7), QColor(192, 144, 16));
    EXPECT_EQ(app::VerificationDigitColour(9), QColor(160, 48, 160));
}

// The buyable figure and the "全部" preset never show another account's money.
TEST(SessionCash, ClearedAtSignOutAndWhenAnotherAccountSignsIn)
{
    Session session;
    UserRecord first;
    first.id = "100001";
    session.setUserRecord(first);
    session.setLoggedIn(true);
    session.setAvailableCash(5000.0);
    session.setUserRecord(first); // the same account again keeps it
    EXPECT_EQ(session.availableCash(), 5000.0);
    session.setLoggedIn(false);
    EXPECT_EQ(session.availableCash(), 0.0);
    session.setAvailableCash(5000.0);
    UserRecord second;
    second.id = "100002";
    session.setUserRecord(second);
    EXPECT_EQ(session.availableCash(), 0.0);
}
