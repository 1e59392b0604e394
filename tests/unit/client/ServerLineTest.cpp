#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "client/Transport.h"
#include "support/FileSizeLimit.h"
#include "support/LoopbackServer.h"
#include "session/Session.h"

using namespace client;
namespace fs = std::filesystem;

namespace {

class ServerLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("velmora-line-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        Options o = defaultOptions();
        o.line0Host = "line0.invalid";
        o.line1Host = "line1.invalid";
        Session::current().setOptions(o);
    }
    void TearDown() override
    {
        fs::remove_all(m_dir);
        Session::current().setOptions(defaultOptions());
    }
    void WriteConnect(const std::string& text) { std::ofstream(m_dir / "connect", std::ios::binary) << text; }
    std::string ReadConnect() const
    {
        std::ifstream in(m_dir / "connect", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path m_dir;
};

} // namespace

TEST_F(ServerLineTest, NoFileMeansLineZero)
{
    LoadLineChoice(m_dir);
    EXPECT_EQ(Session::current().lineIndex(), 0);
    EXPECT_EQ(Session::current().tradeBaseUrl(), "http://line0.invalid:8055");
    EXPECT_EQ(Session::current().marketBaseUrl(), "http://line0.invalid:8041");
    const auto table = Session::current().lines();
    EXPECT_EQ(table[0].label, "联通");
    EXPECT_EQ(table[1].label, "移动");
}

TEST_F(ServerLineTest, StoredOneChoosesLineOneAndAnythingElseLineZero)
{
    WriteConnect(R"({"connect":1})");
    LoadLineChoice(m_dir);
    EXPECT_EQ(Session::current().lineIndex(), 1);
    EXPECT_EQ(Session::current().tradeBaseUrl(), "http://line1.invalid:8055");

    for (const char* text : {R"({"connect":2})", R"({"connect":"1"})", "garbage", R"({"connect":-1})", "[1]", ""}) {
        WriteConnect(text);
        LoadLineChoice(m_dir);
        EXPECT_EQ(Session::current().lineIndex(), 0) << text;
    }
}

// Found by fuzzing: the integer conversion threw for these, ending the program at start-up.
TEST_F(ServerLineTest, NumbersPastTheIntegerRangeReadAsLineZero)
{
    for (const char* text : {R"({"connect":18446744073709551615})", R"({"connect":1e19})", R"({"connect":-1e300})"}) {
        WriteConnect(R"({"connect":1})");
        LoadLineChoice(m_dir);
        WriteConnect(text);
        EXPECT_NO_THROW(LoadLineChoice(m_dir)) << text;
        EXPECT_EQ(Session::current().lineIndex(), 0) << text;
    }
}

TEST_F(ServerLineTest, ApplyWritesExactlyTheChoiceAndIgnoresNoSelection)
{
    LoadLineChoice(m_dir);
    EXPECT_TRUE(ApplyLineChoice(1, m_dir));
    EXPECT_EQ(ReadConnect(), R"({"connect":1})");
    EXPECT_EQ(Session::current().lineIndex(), 1);

    EXPECT_FALSE(ApplyLineChoice(-1, m_dir));
    EXPECT_EQ(Session::current().lineIndex(), 1);
    EXPECT_EQ(ReadConnect(), R"({"connect":1})");

    EXPECT_TRUE(ApplyLineChoice(0, m_dir));
    EXPECT_EQ(ReadConnect(), R"({"connect":0})");
}

TEST_F(ServerLineTest, UnwritableFileStillSwitchesTheLine)
{
    LoadLineChoice(m_dir);
    EXPECT_FALSE(ApplyLineChoice(1, m_dir / "no" / "such" / "folder"));
    EXPECT_EQ(Session::current().lineIndex(), 1);
}

TEST_F(ServerLineTest, AChoiceThatCannotBeWrittenWholeKeepsTheStoredOne)
{
    LoadLineChoice(m_dir);
    ASSERT_TRUE(ApplyLineChoice(1, m_dir));
    {
        const testsupport::FileSizeLimit diskFull(5); // fewer bytes than {"connect":0}
        EXPECT_FALSE(ApplyLineChoice(0, m_dir));
    }
    EXPECT_EQ(ReadConnect(), R"({"connect":1})");
    EXPECT_EQ(fs::directory_iterator(m_dir)->path().filename(), "connect"); // no leftovers
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
    EXPECT_TRUE(ApplyLineChoice(0, m_dir));
    EXPECT_EQ(ReadConnect(), R"({"connect":0})");
}

TEST_F(ServerLineTest, ChangeOfLineReachesTheNextRequestOfAnotherThread)
{
    using testsupport::LoopbackServer;
    using testsupport::RecordedRequest;
    using testsupport::ScriptedReply;
    const std::string host0 = testsupport::UniqueLoopbackAddress(0);
    const std::string host1 = testsupport::UniqueLoopbackAddress(1);
    auto answer = [](const RecordedRequest&) { return ScriptedReply{200, R"({"success":"true"})"}; };
    LoopbackServer server0(host0, kTradePort, answer);
    LoopbackServer server1(host1, kTradePort, answer);
    Options o = defaultOptions();
    o.line0Host = host0;
    o.line1Host = host1;
    Session::current().setOptions(o);
    LoadLineChoice(m_dir);

    auto requestFromWorker = [] {
        std::thread worker([] {
            std::string reply;
            const SignedRequest r = buildSignedRequest(Endpoint::AccountApply, {{"id", "100001"}});
            HttpPostFormNoLock(r.url, r.body, reply);
        });
        worker.join();
    };
    requestFromWorker();
    EXPECT_EQ(server0.requestCount(), 1u);
    EXPECT_EQ(server1.requestCount(), 0u);

    ASSERT_TRUE(ApplyLineChoice(1, m_dir));
    requestFromWorker();
    EXPECT_EQ(server0.requestCount(), 1u);
    EXPECT_EQ(server1.requestCount(), 1u);
    EXPECT_EQ(server1.requests().front().path, "/api/v1/account/apply");
    EXPECT_EQ(ReadConnect(), R"({"connect":1})");
}
