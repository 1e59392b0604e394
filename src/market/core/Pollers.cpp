#include "Pollers.h"

namespace market {
namespace {

std::atomic<double> g_availableCash{0.0};

} // namespace

double AvailableCash()
{
    return g_availableCash.load(std::memory_order_relaxed);
}

void setAvailableCash(double cash)
{
    g_availableCash.store(cash, std::memory_order_relaxed);
}

} // namespace market
