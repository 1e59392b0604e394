#include "Pollers.h"

namespace market {
namespace {

std::atomic<double> g_availableCash{0.0};
std::mutex g_sessionMutex;
SessionSource g_session;

} // namespace

double AvailableCash()
{
    return g_availableCash.load(std::memory_order_relaxed);
}

void setAvailableCash(double cash)
{
    g_availableCash.store(cash, std::memory_order_relaxed);
}

void setSessionSource(SessionSource source)
{
    std::lock_guard lock(g_sessionMutex);
    g_session = std::move(source);
}

SessionView currentSession()
{
    SessionSource source;
    {
        std::lock_guard lock(g_sessionMutex);
        source = g_session;
    }
    return source ? source() : SessionView{};
}

} // namespace market
