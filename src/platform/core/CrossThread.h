#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include <QMetaObject>
#include <QObject>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

// The one way data crosses threads in the terminal: a call queued to an object's thread
// (postTo), work that runs on a pool thread and comes back to a window (BackgroundRequest),
// and the waits that go with them. The pollers hand their values to the views through postTo.
//
// Marks for ThreadSanitizer sit here, and only here, where data passes from one thread to
// another through Qt's event queue. Qt orders a posted event or a queued call with its own
// locks; a Qt that is not built with TSan leaves those invisible, so without the marks every
// hand-off reads as a race and a real one in the same code would drown among them. The marks
// add no synchronisation of their own: outside a TSan build they are empty and the queue is
// used exactly as it would be.

#if defined(__SANITIZE_THREAD__)
#define VELMORA_HANDOFF_MARKS 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELMORA_HANDOFF_MARKS 1
#endif
#endif

#if defined(VELMORA_HANDOFF_MARKS)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace platform {
namespace detail {

// The sending thread calls handOffSend(p) once everything it hands over is written, just
// before posting; the receiving thread calls handOffReceive(p) before reading any of it.
inline void handOffSend([[maybe_unused]] const void* key)
{
#if defined(VELMORA_HANDOFF_MARKS)
    __tsan_release(const_cast<void*>(key));
#endif
}

inline void handOffReceive([[maybe_unused]] const void* key)
{
#if defined(VELMORA_HANDOFF_MARKS)
    __tsan_acquire(const_cast<void*>(key));
#endif
}

// Kept as the last member of a queued call's functor: it is moved last, after everything the
// call carries, so its mark covers the whole functor where Qt stores it.
class HandOffMark
{
public:
    HandOffMark() { handOffSend(this); }
    HandOffMark(const HandOffMark&) { handOffSend(this); }
    HandOffMark(HandOffMark&&) noexcept { handOffSend(this); }
    HandOffMark& operator=(const HandOffMark&) = delete;
    HandOffMark& operator=(HandOffMark&&) = delete;
    // Whichever thread destroys the functor last (Qt counts references to a queued call on
    // both sides; a call dropped unrun goes with its receiver) first takes in the other's use.
    ~HandOffMark() { handOffReceive(this); }
    void receive() const { handOffReceive(this); }
    void send() const { handOffSend(this); }
};

template <class F>
class HandedOff
{
public:
    explicit HandedOff(F f) : m_f(std::move(f)) {}
    decltype(auto) operator()()
    {
        m_mark.receive();
        // What the call wrote is the next reader's: another queued call's, or whoever ends
        // this thread.
        const struct SendWhenDone {
            const HandOffMark& mark;
            ~SendWhenDone()
            {
                mark.send();
                handOffSend(QThread::currentThread());
            }
        } done{m_mark};
        return m_f();
    }

private:
    F m_f;
    HandOffMark m_mark; // last: see HandOffMark
};

// Emitted on the pool thread once a result is ready; its queued connection to the window
// is what Qt drops, under its own lock, when the window is destroyed first.
class ResultReady final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultReady)

public:
    ResultReady() = default;
    // Deleted on the window's thread after the pool thread's last use.
    ~ResultReady() override { handOffReceive(this); }

signals:
    void ready();
};

} // namespace detail

// Runs `f` on `receiver`'s thread through its event queue (or at once, with
// Qt::AutoConnection, when called on that thread). A receiver destroyed first drops the call
// unrun. What `f` captures, and all the caller wrote before, is the receiver thread's to read.
// The receiver must be alive when this is called; work that may outlive its window uses
// BackgroundRequest.
template <class F>
void postTo(QObject* receiver, F&& f, Qt::ConnectionType type = Qt::QueuedConnection)
{
    QMetaObject::invokeMethod(receiver, detail::HandedOff<std::decay_t<F>>(std::forward<F>(f)), type);
}

// Waits until every call posted to `receiver` (on another thread) so far has run: calls to
// one receiver run in order. False on time-out.
inline bool waitUntilRun(QObject* receiver, int timeoutMs)
{
    auto done = std::make_shared<QSemaphore>();
    postTo(receiver, [done] {
        detail::handOffSend(done.get());
        done->release();
    });
    if (!done->tryAcquire(1, timeoutMs))
        return false;
    detail::handOffReceive(done.get());
    return true;
}

// Ends a thread's event loop and waits for it: all that its queued calls wrote is the
// caller's to read from then on.
inline void endThread(QThread& thread)
{
    thread.quit();
    thread.wait();
    detail::handOffReceive(&thread);
}

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
                detail::handOffReceive(result.get());
                m_inFlight = false;
                if (generation == m_generation && *result)
                    apply(std::move(**result));
            },
            Qt::QueuedConnection);
        auto run = [relay, result, work = std::move(work)]() mutable {
            *result = work();
            detail::handOffSend(result.get());
            emit relay->ready();
            detail::handOffSend(relay);
            relay->deleteLater();
        };
        QThreadPool::globalInstance()->start(detail::HandedOff<decltype(run)>(std::move(run)));
        return true;
    }

private:
    QObject* m_window;
    bool m_inFlight = false;
    std::uint64_t m_generation = 0;
};

} // namespace platform
