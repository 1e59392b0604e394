#include "HttpFront.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include <httplib.h>
#include <sys/socket.h>

#include "client/CodePage.h"

namespace exchange {
namespace {

constexpr const char* kJson = "application/json"; // exact type: the server compresses it
// Enough for the requests a hang fault parks (one a few seconds from each poller) while
// the rest are still served.
constexpr int kWorkers = 16;

void Wire(httplib::Response& res, const std::string& utf8, const char* type = kJson)
{
    res.set_content(client::utf8ToWire(utf8), type);
}

void NotFound(httplib::Response& res)
{
    res.status = 404;
    Wire(res, WriteJson(Envelope(false, "请求路径不存在")));
}

bool FromLoopback(const httplib::Request& req)
{
    return req.remote_addr.rfind("127.", 0) == 0 || req.remote_addr == "::1";
}

} // namespace

HttpFront::HttpFront(Exchange& exchange, Faults& faults) : m_exchange(exchange), m_faults(faults) {}

HttpFront::~HttpFront()
{
    stop();
}

// Applies a fault to the request; true when the fault has answered it. `answer` gives the
// reply the request would have had (UTF-8), for the faults that spoil a real reply.
static bool ApplyFault(Faults& faults, const httplib::Request& req, httplib::Response& res,
                       const std::function<std::string()>& answer)
{
    const std::optional<Fault> fault = faults.find(req.path);
    if (!fault)
        return false;
    switch (fault->mode) {
    case FaultMode::Delay: faults.sleepFor(fault->argument); return false;
    case FaultMode::Hang:
        faults.hang(req.path);
        res.status = 503;
        return true;
    case FaultMode::Malformed: Wire(res, "{\"success\":\"true\",\"msg\":\"\",\"infor\":[{\"price\":"); return true;
    case FaultMode::Status500:
        res.status = 500;
        res.set_content("<!DOCTYPE html>\n<html><head><title>500 Internal Server Error</title></head>\n"
                        "<body><h1>Internal Server Error</h1><p>The server encountered an internal error.</p>"
                        "</body></html>\n",
                        "text/html");
        return true;
    case FaultMode::CloseMidBody: {
        const std::size_t length = 4096;
        res.set_content_provider(length, kJson, [](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset > 0)
                return false; // half sent: drop the connection
            const std::string half(2048, ' ');
            sink.write(half.data(), half.size());
            return true;
        });
        return true;
    }
    case FaultMode::Huge: {
        const std::size_t total = static_cast<std::size_t>(fault->argument);
        res.set_content_provider(total, kJson, [total](size_t offset, size_t, httplib::DataSink& sink) {
            static const std::string chunk(64 * 1024, ' ');
            const std::size_t n = std::min(chunk.size(), total - offset);
            return sink.write(chunk.data(), n);
        });
        return true;
    }
    case FaultMode::Drip: {
        // The real reply, one byte a second: the client's time-out ends it.
        auto wire = std::make_shared<std::string>(client::utf8ToWire(answer()));
        res.set_content_provider(wire->size(), "application/octet-stream",
                                 [wire, &faults](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset > 0 && !faults.sleepFor(1000))
                                         return false;
                                     return sink.write(wire->data() + offset, 1);
                                 });
        return true;
    }
    case FaultMode::WrongTypes: Wire(res, WithWrongTypes(answer())); return true;
    case FaultMode::GzipBomb:
        res.set_header("Content-Encoding", "gzip");
        // Not a compressible type: the server must not compress it once more.
        res.set_content(GzipBomb(static_cast<std::size_t>(fault->argument)), "application/octet-stream");
        return true;
    }
    return false;
}

void HttpFront::addControl(httplib::Server& server)
{
    // "/__control/fault?path=/api/...&mode=delay&arg=2000"; mode=clear removes the rule.
    server.Get("/__control/fault", [this](const httplib::Request& req, httplib::Response& res) {
        if (!FromLoopback(req)) {
            res.status = 403;
            return;
        }
        const std::string path = req.get_param_value("path");
        const std::string mode = req.get_param_value("mode");
        const std::string arg = req.get_param_value("arg");
        std::string error;
        if (mode == "clear") {
            m_faults.clear(path);
        } else if (!m_faults.add(path + "=" + mode + (arg.empty() ? "" : ":" + arg), error)) {
            res.status = 400;
            res.set_content(error + "\n", "text/plain");
            return;
        }
        res.set_content("ok\n", "text/plain");
    });
    // The books' own check: "ok" or what does not add up.
    server.Get("/__control/audit", [this](const httplib::Request& req, httplib::Response& res) {
        if (!FromLoopback(req)) {
            res.status = 403;
            return;
        }
        const std::string problem = m_exchange.audit();
        res.set_content(problem.empty() ? "ok\n" : problem + "\n", "text/plain");
    });
}

std::unique_ptr<httplib::Server> HttpFront::makeTradeServer()
{
    auto server = std::make_unique<httplib::Server>();
    server->Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
        if (ApplyFault(m_faults, req, res, [&] { return m_exchange.trade(req.path, req.body, req.remote_addr); }))
            return;
        const std::string reply = m_exchange.trade(req.path, req.body, req.remote_addr);
        if (reply.empty())
            return NotFound(res);
        Wire(res, reply);
    });
    return server;
}

std::unique_ptr<httplib::Server> HttpFront::makeMarketServer()
{
    auto server = std::make_unique<httplib::Server>();
    addControl(*server);
    server->Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
        if (ApplyFault(m_faults, req, res, [&] { return m_exchange.market(req.path); }))
            return;
        const std::string reply = m_exchange.market(req.path);
        if (reply.empty())
            return NotFound(res);
        Wire(res, reply);
    });
    return server;
}

std::unique_ptr<httplib::Server> HttpFront::makeUpdateServer()
{
    auto server = std::make_unique<httplib::Server>();
    addControl(*server);
    server->Get("/pc_update.json", [this](const httplib::Request& req, httplib::Response& res) {
        if (ApplyFault(m_faults, req, res, [&] { return m_exchange.manifest(); }))
            return;
        Wire(res, m_exchange.manifest());
    });
    server->Get(R"(/stockinfo/(\d{1,9})\.html)", [this](const httplib::Request& req, httplib::Response& res) {
        if (ApplyFault(m_faults, req, res, [&] { return m_exchange.infoPage(std::stoi(req.matches[1])); }))
            return;
        Wire(res, m_exchange.infoPage(std::stoi(req.matches[1])), "text/html; charset=GBK");
    });
    return server;
}

bool HttpFront::start(const std::vector<std::string>& addresses, const std::string& updateAddress, int updatePort,
                      std::string& error, int tradePort, int marketPort)
{
    struct Binding
    {
        std::unique_ptr<httplib::Server> server;
        std::string host;
        int port;
    };
    std::vector<Binding> bindings;
    for (const std::string& address : addresses) {
        bindings.push_back({makeTradeServer(), address, tradePort});
        bindings.push_back({makeMarketServer(), address, marketPort});
    }
    if (!updateAddress.empty())
        bindings.push_back({makeUpdateServer(), updateAddress, updatePort});
    for (Binding& b : bindings) {
        b.server->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
        b.server->set_keep_alive_max_count(100);
        b.server->set_payload_max_length(1 << 20);
        // cpp-httplib's default sets SO_REUSEPORT, which lets a second copy bind the same
        // ports and the kernel spread the requests between two books. SO_REUSEADDR alone
        // still allows a restart while old connections linger, but not two listeners.
        b.server->set_socket_options([](socket_t sock) {
            int yes = 1;
            ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        errno = 0;
        if (!b.server->bind_to_port(b.host.c_str(), b.port)) {
            const int reason = errno;
            error = "cannot listen on " + b.host + ":" + std::to_string(b.port);
            if (reason == EADDRINUSE)
                error += ": address already in use (is another velmora-exchange running?)";
            else if (reason != 0)
                error += std::string(": ") + std::strerror(reason);
            return false;
        }
    }
    for (Binding& b : bindings) {
        httplib::Server* s = b.server.get();
        m_servers.push_back(std::move(b.server));
        m_threads.emplace_back([s] { s->listen_after_bind(); });
    }
    // A stop before a server runs would be lost and leave its thread listening.
    for (auto& s : m_servers) {
        for (int i = 0; i < 5000 && !s->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void HttpFront::stop()
{
    m_faults.release();
    for (auto& s : m_servers)
        s->stop();
    for (std::thread& t : m_threads) {
        if (t.joinable())
            t.join();
    }
    m_threads.clear();
    m_servers.clear();
}

} // namespace exchange
