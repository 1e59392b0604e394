#pragma once

#include <type_traits>
#include <utility>

// Marks for ThreadSanitizer where data passes from one thread to another through Qt's event
// queue. Qt orders a posted event or a queued call with its own locks; a Qt that is not built
// with TSan leaves those invisible, so without the marks every hand-off reads as a race and a
// real one in the same code would drown among them. The marks add no synchronisation of their
// own: outside a TSan build they are empty and the queue is used exactly as it would be.

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

namespace detail {
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
        const struct SendWhenDone {
            const HandOffMark& mark;
            ~SendWhenDone() { mark.send(); }
        } done{m_mark};
        return m_f();
    }

private:
    F m_f;
    HandOffMark m_mark; // last: see HandOffMark
};
} // namespace detail

// Wraps a functor that another thread will run through Qt's queue (QMetaObject::invokeMethod
// with a context on another thread): what it captures, and all the sender wrote before, is
// marked as handed over to the thread that runs or drops it.
template <class F>
detail::HandedOff<std::decay_t<F>> handedOff(F&& f)
{
    return detail::HandedOff<std::decay_t<F>>(std::forward<F>(f));
}

} // namespace platform
