#include "PollerThread.h"

#include <QCoreApplication>
#include <QSemaphore>

#include "platform/ThreadHandOff.h"

namespace market {

using platform::handOver;
using platform::takeOver;

namespace {

// Asks the poller to say when it has handled everything posted before this.
class IdleProbe final : public QEvent
{
public:
    static QEvent::Type eventType()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    explicit IdleProbe(std::shared_ptr<QSemaphore> done) : QEvent(eventType()), done(std::move(done)) {}

    const std::shared_ptr<QSemaphore> done;
};

} // namespace

class PollerThread::Worker final : public QObject
{
public:
    explicit Worker(PollerThread* owner) : m_owner(owner) {}

    bool event(QEvent* e) override
    {
        takeOver(e);
        bool handled = true;
        if (e->type() == PollerMessage::eventType()) {
            auto* m = static_cast<PollerMessage*>(e);
            if (m->messageId == m_owner->m_messageId)
                m_owner->dispatch(m->wParam, m->lParam);
        } else if (e->type() != IdleProbe::eventType()) {
            handled = QObject::event(e);
        }
        // All this did comes before waitIdle() and stop() on the other side.
        handOver(m_owner);
        if (e->type() == IdleProbe::eventType())
            static_cast<IdleProbe*>(e)->done->release();
        return handled;
    }

private:
    PollerThread* m_owner;
};

QEvent::Type PollerMessage::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

PollerThread::PollerThread(int messageId, QObject* parent) : QObject(parent), m_messageId(messageId)
{
    m_thread.setObjectName(QStringLiteral("poller-%1").arg(messageId, 0, 16));
}

PollerThread::~PollerThread()
{
    stop();
}

void PollerThread::stop()
{
    if (!m_worker)
        return;
    m_thread.quit();
    m_thread.wait();
    takeOver(this);
    delete m_worker;
    m_worker = nullptr;
}

bool PollerThread::start()
{
    if (m_worker)
        return m_thread.isRunning();
    m_worker = new Worker(this);
    m_worker->moveToThread(&m_thread);
    m_thread.start(QThread::NormalPriority);
    return m_thread.isRunning();
}

bool PollerThread::isRunning() const
{
    return m_worker && m_thread.isRunning();
}

void PollerThread::setPostObserver(std::function<void(int, long)> observer)
{
    m_postObserver = std::move(observer);
}

void PollerThread::post(int wParam, long lParam)
{
    if (!isRunning())
        return;
    if (m_postObserver)
        m_postObserver(wParam, lParam);
    auto* message = new PollerMessage(m_messageId, wParam, lParam);
    handOver(message);
    QCoreApplication::postEvent(m_worker, message);
}

bool PollerThread::waitIdle(int timeoutMs)
{
    if (!isRunning())
        return true;
    // Events to one receiver are delivered in order: once this one runs, all before it have.
    auto done = std::make_shared<QSemaphore>();
    auto* probe = new IdleProbe(done);
    handOver(probe);
    QCoreApplication::postEvent(m_worker, probe);
    if (!done->tryAcquire(1, timeoutMs))
        return false;
    takeOver(this);
    return true;
}

void PollerThread::dispatch(int wParam, long lParam)
{
    std::lock_guard lock(m_requestLock);
    handle(wParam, lParam);
}

} // namespace market
