#include "Transport.h"

#include <algorithm>
#include <atomic>

#include <curl/curl.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace client {
namespace {

constexpr long kConnectTimeoutSeconds = 3;
constexpr long kTimeoutSeconds = 3;
constexpr long kPosterTimeoutSeconds = 4; // the market poller's unlocked POST

// Per process: a fault seam (the next N handles fail to open) and libcurl's one global set-up.
std::atomic<int> g_failHandles{0};

struct GlobalInit
{
    GlobalInit() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~GlobalInit() { curl_global_cleanup(); }
};

CURL* newHandle()
{
    // curl_global_init is not thread-safe in general; a function-local static runs it once.
    static GlobalInit init;
    int pending = g_failHandles.load();
    while (pending > 0) {
        if (g_failHandles.compare_exchange_weak(pending, pending - 1))
            return nullptr;
    }
    return curl_easy_init();
}

size_t writeCallback(char* data, size_t size, size_t count, void* reply)
{
    return AppendReply(data, size, count, reply);
}

void setCommon(CURL* curl, const std::string& url, std::string& reply, long timeoutSeconds)
{
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &writeCallback);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "gzip,deflate");
    // A body announced past the cap is refused before a byte of it is read.
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxReplyBytes));
}

void setPost(CURL* curl, const std::string& body)
{
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    // The body is text: its length runs up to the first zero byte.
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
}

int Perform(CURL* curl)
{
    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    return static_cast<int>(rc);
}

} // namespace

TransferLock& PostLock()
{
    static TransferLock lock;
    return lock;
}

TransferLock& GetLock()
{
    static TransferLock lock;
    return lock;
}

std::size_t AppendReply(const char* data, std::size_t size, std::size_t count, void* reply)
{
    auto* buffer = static_cast<std::string*>(reply);
    if (data == nullptr || buffer == nullptr)
        return static_cast<std::size_t>(-1);
    const std::size_t bytes = size * count;
    if (bytes > kMaxReplyBytes - std::min(buffer->size(), kMaxReplyBytes)) {
        buffer->clear();
        buffer->shrink_to_fit();
#if defined(__GLIBC__)
        // The buffer grew by doubling to the cap inside this thread's arena, whose raised
        // trim threshold would otherwise keep those pages for good after one bad reply.
        malloc_trim(0);
#endif
        return 0;
    }
    buffer->append(data, bytes);
    return count;
}

int HttpPostForm(const std::string& url, const std::string& body, TransferLock& lock, std::string& reply)
{
    std::lock_guard guard(lock);
    CURL* curl = newHandle();
    if (curl == nullptr)
        return 2;
    setCommon(curl, url, reply, kTimeoutSeconds);
    setPost(curl, body);
    reply.clear();
    Perform(curl);
    return 1;
}

int HttpGetUrl(const std::string& url, std::string& reply)
{
    std::lock_guard guard(GetLock());
    CURL* curl = newHandle();
    if (curl == nullptr) {
        reply.clear();
        return 2;
    }
    reply.clear();
    setCommon(curl, url, reply, kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_HEADER, 0L);
    return Perform(curl);
}

int HttpPostFormNoLock(const std::string& url, const std::string& body, std::string& reply)
{
    CURL* curl = newHandle();
    if (curl == nullptr)
        return 2;
    setCommon(curl, url, reply, kPosterTimeoutSeconds);
    setPost(curl, body);
    return Perform(curl);
}

int HttpGetUrlNoLock(const std::string& url, std::string& reply)
{
    CURL* curl = newHandle();
    if (curl == nullptr)
        return 2;
    setCommon(curl, url, reply, kTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_HEADER, 0L);
    return Perform(curl);
}

void failNextHandlesForTest(int count)
{
    g_failHandles.store(count);
}

} // namespace client
