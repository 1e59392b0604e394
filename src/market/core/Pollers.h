#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

namespace market {

inline constexpr int WM_UPDATE_MARKET = 0x440;
inline constexpr int WM_UPDATE_RIGHTDLG = 0x442;

// Shown when a poller thread cannot be started; the window then stays without timers.
inline constexpr const char* kThreadStartFailedText =
    "用户界面线程启动失败!可能因为网络延时，或者电脑卡顿等原因，请重新打开软件使用!";

// Request kinds of the main poller.
enum class MarketRequest : int {
    Candles = 0,      // lParam: the period code
    Timeline = 1,
    OverviewBasic = 5,
    OverviewExtended = 6,
    StartUp = 7,
    UsableCash = 8,
};

// Request kinds of the quote poller; lParam 1 forces the hand-over of an unchanged reply.
enum class QuoteRequest : int { Realtime = 0, Ticks = 1 };

// A registry of loader callbacks. Views register theirs; the poller calls them on its own
// thread with the reply text. Registration may happen at any time from any thread.
template <typename... Args>
class LoaderSlot final
{
public:
    using Fn = std::function<void(Args...)>;
    void set(Fn fn)
    {
        std::lock_guard lock(m_mutex);
        m_fn = std::move(fn);
    }
    void operator()(Args... args) const
    {
        Fn fn;
        {
            std::lock_guard lock(m_mutex);
            fn = m_fn;
        }
        if (fn)
            fn(args...);
    }

private:
    mutable std::mutex m_mutex;
    Fn m_fn;
};

} // namespace market
