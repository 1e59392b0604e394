#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// One request as the server read it.
struct RecordedRequest
{
    std::string method;
    std::string path;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;
};

struct ScriptedReply
{
    enum class Mode {
        Normal,      // status line, headers, body
        NeverAnswer, // keep the connection open and silent until the server stops
        CloseMidBody // announce the full length, send half, close
    };
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
    bool gzip = false; // compress the body (when the client accepts it)
    bool bodyIsGzip = false; // the body is gzip already: sent as it stands, marked as gzip
    std::size_t announcedLength = 0; // Content-Length to claim instead of the body's size
    Mode mode = Mode::Normal;
};

// A scripted HTTP/1.1 server on a loopback address, one connection at a time, for a
// test's replies. Records every request; the handler decides each reply.
class LoopbackServer
{
public:
    using Handler = std::function<ScriptedReply(const RecordedRequest&)>;

    // port 0 picks a free port. Throws std::runtime_error when the address cannot be bound.
    LoopbackServer(std::string address, std::uint16_t port, Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return m_port; }
    std::string baseUrl() const;

    std::vector<RecordedRequest> requests() const;
    size_t requestCount() const;
    // Waits until `count` requests have arrived or `timeoutMs` passed.
    bool waitForRequests(size_t count, int timeoutMs) const;
    void setHandler(Handler handler);

private:
    void run();
    void serve(int fd);

    std::string m_address;
    std::uint16_t m_port = 0;
    int m_listenFd = -1;
    int m_wakePipe[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    Handler m_handler;
    std::vector<RecordedRequest> m_requests;
    std::thread m_thread;
};

// gzip-compresses a body (for replies and for tests of the exchange).
std::string Gzip(const std::string& data);

// A loopback address of the form 127.x.y.z unique to this test process, so parallel
// test processes can all bind the fixed ports.
std::string UniqueLoopbackAddress(int salt = 0);

} // namespace testsupport
