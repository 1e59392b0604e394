#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include <QObject>
#include <QThread>

namespace market {

// A thread with its own event loop that receives posted request messages, one at a time,
// each carrying a wParam (the request kind) and an lParam (its argument).
class PollerThread : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PollerThread)

public:
    ~PollerThread() override;

    // Starts the thread; false when it could not be started.
    bool start();
    bool isRunning() const;
    // Queues a request; it runs on the poller thread after those queued before it.
    // Posting to a poller that is not running does nothing.
    void post(int wParam, long lParam);
    // Waits until every request posted so far has been handled (for orderly tests and
    // shut-down); false on time-out.
    bool waitIdle(int timeoutMs);
    // Lets the request in hand finish, cutting its pauses short, and ends the thread. The
    // leaf classes call it in their destructors, while their handler still exists.
    void stop();
    // Sees every message posted, on the posting thread (tests watch what windows ask for).
    void setPostObserver(std::function<void(int wParam, long lParam)> observer);

protected:
    PollerThread(int messageId, QObject* parent);
    // Runs on the poller thread, under the request lock.
    virtual void handle(int wParam, long lParam) = 0;
    // A handler's pause: false, at once, when the poller is being stopped, and the handler
    // then gives up, so closing the window never waits out a pause of the start-up sequence.
    bool pause(std::chrono::milliseconds duration);

private:
    void dispatch(int wParam, long lParam);

    std::mutex m_requestLock;
    std::mutex m_stopLock;
    std::condition_variable m_stopSignal;
    bool m_stopping = false;
    QThread m_thread;
    QObject* m_worker = nullptr; // lives on m_thread: the context the requests are queued to
    std::function<void(int, long)> m_postObserver;
};

} // namespace market
