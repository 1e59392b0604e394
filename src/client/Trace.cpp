#include "Trace.h"

#include <atomic>

namespace client {
namespace {

// Installed once at start-up, read by every thread that sends a request.
std::atomic<bool (*)()> g_enabled{nullptr};
std::atomic<void (*)(std::string_view)> g_write{nullptr};

} // namespace

void installTraceHook(TraceHook hook)
{
    g_enabled.store(hook.enabled);
    g_write.store(hook.write);
}

bool traceEnabled()
{
    const auto enabled = g_enabled.load();
    return g_write.load() != nullptr && (enabled == nullptr || enabled());
}

void trace(std::string_view utf8)
{
    if (!traceEnabled())
        return;
    if (const auto write = g_write.load())
        write(utf8);
}

} // namespace client
