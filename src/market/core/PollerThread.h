#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include <QObject>
#include <QThread>

namespace market {

// A thread with its own event loop that runs the requests queued to it, one at a time. The
// leaf classes name their requests (requestCandles(item, period), ...) and hand what comes
// back to the views through Feed and Handoff (Pollers.h).
class PollerThread : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PollerThread)

public:
    ~PollerThread() override;

    // Starts the thread; false when it could not be started.
    bool start();
    bool isRunning() const;
    // Waits until every request posted so far has been handled (for orderly tests and
    // shut-down); false on time-out.
    bool waitIdle(int timeoutMs);
    // Lets the request in hand finish, cutting its pauses short, and ends the thread. The
    // leaf classes call it in their destructors, while their handler still exists.
    void stop();

protected:
    PollerThread(const QString& name, QObject* parent);
    // Queues `job` to run on the poller thread, under the request lock, after those queued
    // before it. Queuing to a poller that is not running does nothing.
    void enqueue(std::function<void()> job);
    // A handler's pause: false, at once, when the poller is being stopped, and the handler
    // then gives up, so closing the window never waits out a pause of the start-up sequence.
    bool pause(std::chrono::milliseconds duration);

private:
    void dispatch(const std::function<void()>& job);

    std::mutex m_requestLock;
    std::mutex m_stopLock;
    std::condition_variable m_stopSignal;
    bool m_stopping = false;
    QThread m_thread;
    QObject* m_worker = nullptr; // lives on m_thread: the context the requests are queued to
};

// A poller whose requests are named by `Kind`, and whom tests can ask what windows request.
//
// Another kind of poller (the account's fill notices, say) is a few lines on top of this,
// not a new thread design: a leaf that names its requests and keeps a Feed per reply kind,
//
//     enum class AccountRequest { Fills };
//     class AccountPoller final : public market::TypedPoller<AccountRequest>
//     {
//     public:
//         AccountPoller(Session& session) : TypedPoller(QStringLiteral("poller-account")), m_session(session) {}
//         ~AccountPoller() override { stop(); }
//         market::Feed<>& fills() { return m_fills; }
//         void requestFills()
//         {
//             ask(AccountRequest::Fills, 0, [this] {
//                 const std::string reply = client::sendSigned(client::Endpoint::..., {{"id", m_session.userId()}},
//                                                              client::kUntraced, client::Lock::Unlocked);
//                 if (m_lastFills.offer(reply))
//                     m_fills.hand(reply);
//             });
//         }
//     private:
//         Session& m_session;
//         market::ReplyCache m_lastFills;
//         market::Feed<> m_fills;
//     };
//
// and the window that shows them connects a parser and its view, starts it and times it:
//
//     m_accountPoller->fills().connect(this, trade::readFills, [this](trade::Fills f) { showFills(f); });
template <class Kind>
class TypedPoller : public PollerThread
{
public:
    using Observer = std::function<void(Kind kind, int argument)>;
    // Sees every request, on the requesting thread; set while no request is being made.
    void setRequestObserver(Observer observer) { m_observer = std::move(observer); }

protected:
    explicit TypedPoller(const QString& name, QObject* parent = nullptr) : PollerThread(name, parent) {}
    // Queues `job` as the request `kind` with its `argument` (for the observer).
    void ask(Kind kind, int argument, std::function<void()> job)
    {
        if (!isRunning())
            return;
        if (m_observer)
            m_observer(kind, argument);
        enqueue(std::move(job));
    }

private:
    Observer m_observer;
};

} // namespace market
