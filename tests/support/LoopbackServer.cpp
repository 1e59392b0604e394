#include "LoopbackServer.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

namespace testsupport {
namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool SendAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

const char* StatusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

std::string Gzip(const std::string& data)
{
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char buffer[16384];
    int rc;
    do {
        zs.next_out = reinterpret_cast<Bytef*>(buffer);
        zs.avail_out = sizeof buffer;
        rc = deflate(&zs, Z_FINISH);
        out.append(buffer, sizeof buffer - zs.avail_out);
    } while (rc == Z_OK);
    deflateEnd(&zs);
    return out;
}

std::string UniqueLoopbackAddress(int salt)
{
    const unsigned pid = static_cast<unsigned>(::getpid()) + static_cast<unsigned>(salt) * 7919u;
    // 127.1.0.0/16 upwards: clear of 127.0.0.1 and 127.0.0.2, where a running exchange may listen.
    const unsigned x = 1 + (pid / 65025u) % 250u;
    const unsigned y = (pid / 255u) % 255u;
    const unsigned z = 1 + pid % 254u;
    return "127." + std::to_string(x) + "." + std::to_string(y) + "." + std::to_string(z);
}

LoopbackServer::LoopbackServer(std::string address, std::uint16_t port, Handler handler)
    : m_address(std::move(address)), m_handler(std::move(handler))
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        throw std::runtime_error("socket");
    const int one = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, m_address.c_str(), &addr.sin_addr) != 1 ||
        ::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_listenFd, 16) != 0) {
        ::close(m_listenFd);
        throw std::runtime_error("cannot listen on " + m_address + ":" + std::to_string(port));
    }
    socklen_t len = sizeof addr;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    if (::pipe2(m_wakePipe, O_CLOEXEC) != 0) {
        ::close(m_listenFd);
        throw std::runtime_error("pipe");
    }
    m_thread = std::thread([this] { run(); });
}

LoopbackServer::~LoopbackServer()
{
    m_stop = true;
    const char byte = 1;
    (void)!::write(m_wakePipe[1], &byte, 1);
    m_thread.join();
    ::close(m_listenFd);
    ::close(m_wakePipe[0]);
    ::close(m_wakePipe[1]);
}

std::string LoopbackServer::baseUrl() const
{
    return "http://" + m_address + ":" + std::to_string(m_port);
}

std::vector<RecordedRequest> LoopbackServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

size_t LoopbackServer::requestCount() const
{
    std::lock_guard lock(m_mutex);
    return m_requests.size();
}

bool LoopbackServer::waitForRequests(size_t count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_requests.size() >= count; });
}

void LoopbackServer::setHandler(Handler handler)
{
    std::lock_guard lock(m_mutex);
    m_handler = std::move(handler);
}

void LoopbackServer::run()
{
    while (!m_stop) {
        pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (m_stop || (fds[1].revents & POLLIN))
            break;
        if (fds[0].revents & POLLIN) {
            const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                serve(fd);
                ::close(fd);
            }
        }
    }
}

void LoopbackServer::serve(int fd)
{
    // Read the head, then as much body as Content-Length says.
    std::string data;
    char buffer[8192];
    size_t headEnd = std::string::npos;
    size_t contentLength = 0;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        if (::poll(fds, 2, 5000) <= 0 || (fds[1].revents & POLLIN))
            return;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        data.append(buffer, static_cast<size_t>(n));
        if (headEnd == std::string::npos) {
            headEnd = data.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                const std::string head = Lower(data.substr(0, headEnd));
                const auto pos = head.find("\r\ncontent-length:");
                if (pos != std::string::npos)
                    contentLength = std::stoul(head.substr(pos + 17));
            }
        }
        if (headEnd != std::string::npos && data.size() >= headEnd + 4 + contentLength)
            break;
    }

    RecordedRequest request;
    const std::string head = data.substr(0, headEnd);
    size_t lineEnd = head.find("\r\n");
    const std::string requestLine = head.substr(0, lineEnd);
    const auto sp1 = requestLine.find(' ');
    const auto sp2 = requestLine.find(' ', sp1 + 1);
    request.method = requestLine.substr(0, sp1);
    request.path = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
    while (lineEnd != std::string::npos && lineEnd < head.size()) {
        const size_t next = head.find("\r\n", lineEnd + 2);
        const std::string line = head.substr(lineEnd + 2, next == std::string::npos ? std::string::npos : next - lineEnd - 2);
        const auto colon = line.find(':');
        if (colon != std::string::npos) {
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            request.headers[Lower(line.substr(0, colon))] = value;
        }
        lineEnd = next;
    }
    request.body = data.substr(headEnd + 4, contentLength);

    Handler handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_handler;
    }
    ScriptedReply reply = handler ? handler(request) : ScriptedReply{};
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
    }
    m_cv.notify_all();

    if (reply.mode == ScriptedReply::Mode::NeverAnswer) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        while (!m_stop) {
            if (::poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents & POLLIN)
                break;
            if (fds[0].revents & (POLLIN | POLLHUP)) {
                if (::recv(fd, buffer, sizeof buffer, 0) <= 0)
                    break; // the client gave up
            }
        }
        return;
    }

    std::string body = reply.body;
    std::string extraHeaders;
    const auto accept = request.headers.find("accept-encoding");
    if (reply.gzip && accept != request.headers.end() && accept->second.find("gzip") != std::string::npos) {
        body = Gzip(body);
        extraHeaders += "Content-Encoding: gzip\r\n";
    }
    if (reply.bodyIsGzip)
        extraHeaders += "Content-Encoding: gzip\r\n";
    const std::size_t length = reply.announcedLength ? reply.announcedLength : body.size();
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + StatusText(reply.status) + "\r\n";
    out += "Content-Type: " + reply.contentType + "\r\n" + extraHeaders;
    out += "Content-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
    if (reply.mode == ScriptedReply::Mode::CloseMidBody)
        body.resize(body.size() / 2);
    out += body;
    SendAll(fd, out.data(), out.size());
}

} // namespace testsupport
