#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include "client/ApiReply.h"
#include "client/Transport.h"
#include "support/LoopbackServer.h"

using namespace client;
using testsupport::LoopbackServer;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

LoopbackServer::Handler Reply(ScriptedReply reply)
{
    return [reply](const RecordedRequest&) { return reply; };
}

// A port on which nothing listens: bind, learn the port, close.
std::uint16_t ClosedPort(const std::string& address)
{
    LoopbackServer probe(address, 0, nullptr);
    return probe.port();
}

} // namespace

TEST(Transport, PostSendsTheBodyAsItStandsAndCollectsTheWholeReply)
{
    std::string big(1 << 20, 'x');
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply({200, big}));
    std::string reply = "stale";
    const std::string body = "{\n   \"v\" : \"1\"\n}\n";
    EXPECT_EQ(HttpPostForm(server.baseUrl() + "/api/v1/ad", body, PostLock(), reply), 1);
    EXPECT_EQ(reply.size(), big.size());
    ASSERT_EQ(server.requestCount(), 1u);
    const RecordedRequest r = server.requests().front();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, "/api/v1/ad");
    EXPECT_EQ(r.body, body);
    // No headers of our own: libcurl's default form content type goes out.
    EXPECT_EQ(r.headers.at("content-type"), "application/x-www-form-urlencoded");
    EXPECT_NE(r.headers.at("accept-encoding").find("gzip"), std::string::npos);
}

TEST(Transport, CompressedRepliesArriveDecompressed)
{
    const std::string json = R"({"success":"true","msg":"ok","infor":[)" + std::string(5000, ' ') + "]}";
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply({200, json, "application/json", true}));
    std::string reply;
    EXPECT_EQ(HttpGetUrl(server.baseUrl() + "/api/realtime/9160001", reply), 0);
    EXPECT_EQ(reply, json);
    std::string unlocked;
    EXPECT_EQ(HttpPostFormNoLock(server.baseUrl() + "/x", "{}", unlocked), 0);
    EXPECT_EQ(unlocked, json);
}

TEST(Transport, SilentServerTimesOutWithEmptyReplyAndFreesTheLock)
{
    ScriptedReply silent;
    silent.mode = ScriptedReply::Mode::NeverAnswer;
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply(silent));
    std::string reply = "stale";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpPostForm(server.baseUrl() + "/api/v1/user/login", "{}", PostLock(), reply), 1);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(reply.empty());
    EXPECT_LT(elapsed, std::chrono::seconds(10)); // about 3 s; loose on a loaded machine
    ASSERT_TRUE(PostLock().try_lock());
    PostLock().unlock();
}

TEST(Transport, RefusedConnectionLeavesAnEmptyReply)
{
    const std::string address = testsupport::UniqueLoopbackAddress();
    const std::string url = "http://" + address + ":" + std::to_string(ClosedPort(address)) + "/api/v1/ad";
    std::string reply = "stale";
    EXPECT_EQ(HttpPostForm(url, "{}", PostLock(), reply), 1);
    EXPECT_TRUE(reply.empty());
    std::string get = "stale";
    EXPECT_NE(HttpGetUrl(url, get), 0);
    EXPECT_TRUE(get.empty());
}

TEST(Transport, ErrorPageLandsInTheBufferAndTheEnvelopeRejectsIt)
{
    const std::string page = "<html><body>500 Internal Server Error</body></html>";
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply({500, page, "text/html"}));
    std::string reply;
    EXPECT_EQ(HttpGetUrl(server.baseUrl() + "/api/v1/ad", reply), 0);
    EXPECT_EQ(reply, page);
    EXPECT_FALSE(ApiReply::fromWire(reply).parsed);
}

TEST(Transport, BodyCutShortReadsAsUnparsable)
{
    ScriptedReply cut{200, R"({"success":"true","msg":"complete"})"};
    cut.mode = ScriptedReply::Mode::CloseMidBody;
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply(cut));
    std::string reply;
    EXPECT_NE(HttpGetUrlNoLock(server.baseUrl() + "/x", reply), 0);
    EXPECT_FALSE(ApiReply::fromWire(reply).parsed);
}

TEST(Transport, BodyPastTheCapIsAbortedAndEmpty)
{
    // Compressed once, up front, so the cap (which counts inflated bytes) is reached long
    // before the time-out even on a loaded machine: a small body that inflates past it is
    // cut as surely as a large one.
    ScriptedReply big{200, testsupport::Gzip(std::string(kMaxReplyBytes + 1, 'a')), "text/plain"};
    big.bodyIsGzip = true;
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply(big));
    std::string reply;
    EXPECT_EQ(HttpGetUrl(server.baseUrl() + "/big", reply), 23); // CURLE_WRITE_ERROR: the cap, not the clock
    EXPECT_TRUE(reply.empty());
}

// Found by the fault matrix: a 100 MB reply was read up to the cap before it was dropped.
TEST(Transport, BodyAnnouncedPastTheCapIsRefusedBeforeItIsRead)
{
    ScriptedReply big{200, "{\"success\":\"true\"", "application/json"};
    big.announcedLength = kMaxReplyBytes + 1;
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply(big));
    std::string reply;
    EXPECT_EQ(HttpGetUrlNoLock(server.baseUrl() + "/big", reply), CURLE_FILESIZE_EXCEEDED);
    EXPECT_TRUE(reply.empty());
}

TEST(Transport, CompressedBodyInflatingPastTheCapIsAbortedAndEmpty)
{
    ScriptedReply bomb{200, testsupport::Gzip(std::string(kMaxReplyBytes + 4096, ' ')), "application/json"};
    bomb.bodyIsGzip = true; // small on the wire, past the cap inflated
    LoopbackServer server(testsupport::UniqueLoopbackAddress(), 0, Reply(bomb));
    std::string reply;
    EXPECT_EQ(HttpGetUrlNoLock(server.baseUrl() + "/bomb", reply), CURLE_WRITE_ERROR);
    EXPECT_TRUE(reply.empty());
    EXPECT_EQ(reply.capacity(), std::string().capacity());
}

TEST(Transport, NoHandleReturnsTwoAndReleasesTheLock)
{
    std::string reply = "kept";
    failNextHandlesForTest(1);
    EXPECT_EQ(HttpPostForm("http://127.0.0.1:1/x", "{}", PostLock(), reply), 2);
    EXPECT_EQ(reply, "kept");
    failNextHandlesForTest(1);
    EXPECT_EQ(HttpGetUrl("http://127.0.0.1:1/x", reply), 2);
    EXPECT_TRUE(reply.empty());
    ASSERT_TRUE(GetLock().try_lock());
    GetLock().unlock();
    ASSERT_TRUE(PostLock().try_lock());
    PostLock().unlock();
}

TEST(TransferLock, AWaitingThreadGoesBeforeTheHolderTakesItAgain)
{
    // The quote poller lets go and asks again at once; a window thread waiting on the lock
    // must get it first, every time, not after however many transfers are queued.
    TransferLock lock;
    std::mutex orderLock;
    std::vector<std::string> order;
    auto record = [&](const char* who) {
        std::lock_guard guard(orderLock);
        order.emplace_back(who);
    };
    lock.lock();
    std::thread window([&] {
        lock.lock();
        record("window");
        lock.unlock();
    });
    while (lock.queued() < 2)
        std::this_thread::yield();
    for (int transfer = 0; transfer < 3; ++transfer) {
        lock.unlock();
        lock.lock();
        record("poller");
    }
    lock.unlock();
    window.join();
    EXPECT_EQ(order, (std::vector<std::string>{"window", "poller", "poller", "poller"}));

    // try_lock takes it only when nobody holds it or waits for it.
    EXPECT_EQ(lock.queued(), 0u);
    ASSERT_TRUE(lock.try_lock());
    EXPECT_FALSE(lock.try_lock());
    lock.unlock();
}

TEST(Transport, AppendReplyRefusesMissingPointers)
{
    std::string buffer;
    EXPECT_EQ(AppendReply(nullptr, 1, 3, &buffer), static_cast<size_t>(-1));
    EXPECT_EQ(AppendReply("abc", 1, 3, nullptr), static_cast<size_t>(-1));
    EXPECT_EQ(AppendReply("abc", 1, 3, &buffer), 3u);
    EXPECT_EQ(buffer, "abc");
}

TEST(Transport, LockedPostAndLockedGetRunTogether)
{
    // A locked GET is not held up by a locked POST in flight.
    ScriptedReply silent;
    silent.mode = ScriptedReply::Mode::NeverAnswer;
    LoopbackServer slow(testsupport::UniqueLoopbackAddress(), 0, Reply(silent));
    LoopbackServer quick(testsupport::UniqueLoopbackAddress(1), 0, Reply({200, "ok"}));
    std::thread poster([&] {
        std::string r;
        HttpPostForm(slow.baseUrl() + "/x", "{}", PostLock(), r);
    });
    ASSERT_TRUE(slow.waitForRequests(1, 5000));
    std::string reply;
    HttpGetUrl(quick.baseUrl() + "/y", reply);
    EXPECT_EQ(reply, "ok");
    EXPECT_FALSE(PostLock().try_lock()); // the POST is still waiting on its server
    poster.join();
}
