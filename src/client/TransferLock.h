#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace client {

// A lock served in the order it was asked for. The quote poller asks for the GET lock
// again the moment it lets go, and a plain mutex lets it win every time over a waiting
// window thread, which then stays frozen for as many transfers as the poller has queued:
// with the market port silent, many time-outs instead of at most the one in progress.
class TransferLock
{
public:
    void lock()
    {
        std::unique_lock guard(m_mutex);
        const std::uint64_t ticket = m_next++;
        m_turn.wait(guard, [&] { return m_serving == ticket; });
    }

    bool try_lock()
    {
        std::lock_guard guard(m_mutex);
        if (m_serving != m_next)
            return false;
        ++m_next;
        return true;
    }

    void unlock()
    {
        {
            std::lock_guard guard(m_mutex);
            ++m_serving;
        }
        m_turn.notify_all();
    }

    // Tickets taken and not yet given back: the holder and everyone waiting.
    std::uint64_t queued() const
    {
        std::lock_guard guard(m_mutex);
        return m_next - m_serving;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_turn;
    std::uint64_t m_next = 0;    // the ticket the next caller of lock() takes
    std::uint64_t m_serving = 0; // the ticket that holds the lock, or is next to
};

} // namespace client
