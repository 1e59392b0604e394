#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include <QObject>

#include "platform/core/CrossThread.h"

namespace market {

// Shown when a poller thread cannot be started; the window then stays without timers.
inline constexpr const char* kThreadStartFailedText =
    "用户界面线程启动失败!可能因为网络延时，或者电脑卡顿等原因，请重新打开软件使用!";

// What the main poller is asked for; the names tests and benchmarks watch requests by.
enum class MarketRequest { Candles, Timeline, OverviewBasic, OverviewExtended, StartUp, UsableCash };
// What the quote poller is asked for.
enum class QuoteRequest { Realtime, Ticks };
// Whether an unchanged reply is handed to the view all the same (a repaint of the quote panel asks so).
enum class Handover { IfChanged, Always };

// A poller's word to a window that carries no reply: `fn` runs on the receiver's thread.
// Connected before the poller starts; the receiver outlives the poller's thread.
template <typename... Args>
class Handoff final
{
public:
    void connect(QObject* receiver, std::function<void(Args...)> fn)
    {
        std::lock_guard lock(m_mutex);
        m_receiver = receiver;
        m_fn = std::move(fn);
    }
    // Poller thread.
    void operator()(Args... args) const
    {
        std::lock_guard lock(m_mutex);
        if (m_receiver && m_fn)
            platform::postTo(m_receiver, [fn = m_fn, ... args = std::move(args)]() mutable { fn(std::move(args)...); });
    }

private:
    mutable std::mutex m_mutex;
    QObject* m_receiver = nullptr;
    std::function<void(Args...)> m_fn;
};

namespace detail {
template <class T>
struct IsOptional : std::false_type
{
};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type
{
};
} // namespace detail

// One kind of reply on its way to a view: parsed on the poller thread by the view's own
// reader, then handed to the view, on its thread, as a value it keeps. `Args` are what the
// request was for (the item, the period) and reach the reader with the reply.
//
//   feed.connect(view, Reader{}, [view](Value v) { view->show(v); });
//
// The reader is any callable `Value(const std::string& wire, Args...)` and keeps its state
// between replies (a tail parse does); one that returns std::optional<Value> hands nothing on
// with nullopt.
template <typename... Args>
class Feed final
{
public:
    template <class Reader, class Show>
    void connect(QObject* receiver, Reader reader, Show show)
    {
        std::lock_guard lock(m_mutex);
        m_hand = [receiver, reader = std::move(reader), show = std::move(show)](const std::string& wire,
                                                                                Args... args) mutable {
            auto value = reader(wire, args...);
            const auto handOn = [&](auto&& v) {
                platform::postTo(receiver, [show, v = std::move(v)]() mutable { show(std::move(v)); });
            };
            if constexpr (detail::IsOptional<decltype(value)>::value) {
                if (value)
                    handOn(std::move(*value));
            } else {
                handOn(std::move(value));
            }
        };
    }
    // Poller thread: reads `wire` and hands the value on.
    void hand(const std::string& wire, Args... args)
    {
        std::lock_guard lock(m_mutex);
        if (m_hand)
            m_hand(wire, args...);
    }

private:
    std::mutex m_mutex;
    std::function<void(const std::string&, Args...)> m_hand;
};

} // namespace market
