#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include <QObject>
#include <QThreadPool>

#include "platform/HandOff.h"

namespace trade {

namespace detail {
// Emitted on the pool thread once a result is ready; its queued connection to the window
// is what Qt drops, under its own lock, when the window is destroyed first.
class ResultReady final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultReady)

public:
    ResultReady() = default;
    // Deleted on the window's thread after the pool thread's last use.
    ~ResultReady() override { platform::handOffReceive(this); }

signals:
    void ready();
};
} // namespace detail

// A request that a window's timer repeats. On the GUI thread a silent service would hold
// the whole terminal for a transfer's time-out on every tick, so the work runs on a pool
// thread and its result comes back through a queued call with the window as context: a
// window destroyed meanwhile never sees it. One at a time per window: a tick while one is
// in flight is skipped, so a hanging service never piles requests up.
//
// The work must not touch the window; it takes copies of what it needs and returns a value.
// Transfers made in it should be unlocked, as the market poller's are: a locked one could
// keep a user's own request waiting for a second time-out.
class BackgroundRequest final
{
    Q_DISABLE_COPY_MOVE(BackgroundRequest)

public:
    explicit BackgroundRequest(QObject* window)
        : m_window(window)
    {
    }

    bool inFlight() const { return m_inFlight; }

    // The result in flight is older than what the window was just told by a request of its
    // own: it is dropped when it arrives.
    void supersede() { ++m_generation; }

    // Runs `work()` on a pool thread and then `apply(result)` on the window's thread. False,
    // and nothing started, while another one is in flight.
    template <class Work, class Apply>
    bool start(Work work, Apply apply)
    {
        using Result = std::invoke_result_t<Work&>;
        if (m_inFlight)
            return false;
        m_inFlight = true;
        auto result = std::make_shared<std::optional<Result>>();
        auto* relay = new detail::ResultReady;
        QObject::connect(
            relay, &detail::ResultReady::ready, m_window,
            [this, result, apply = std::move(apply), generation = m_generation]() mutable {
                platform::handOffReceive(result.get());
                m_inFlight = false;
                if (generation == m_generation && *result)
                    apply(std::move(**result));
            },
            Qt::QueuedConnection);
        auto run = [relay, result, work = std::move(work)]() mutable {
            *result = work();
            platform::handOffSend(result.get());
            emit relay->ready();
            platform::handOffSend(relay);
            relay->deleteLater();
        };
        QThreadPool::globalInstance()->start(platform::handedOff(std::move(run)));
        return true;
    }

private:
    QObject* m_window;
    bool m_inFlight = false;
    std::uint64_t m_generation = 0;
};

} // namespace trade
