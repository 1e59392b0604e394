#include "PollerThread.h"

#include <QCoreApplication>
#include <QSemaphore>

#include "platform/HandOff.h"

namespace market {

class PollerThread::Worker final : public QObject
{
public:
    explicit Worker(PollerThread* owner) : m_owner(owner) {}

    bool event(QEvent* e) override
    {
        platform::handOffReceive(e); // before even its type is read
        if (e->type() == PollerMessage::eventType()) {
            auto* m = static_cast<PollerMessage*>(e);
            if (m->messageId == m_owner->m_messageId)
                m_owner->dispatch(m->wParam, m->lParam);
            // What the request wrote is the stopping thread's once the thread has ended.
            platform::handOffSend(&m_owner->m_thread);
            return true;
        }
        return QObject::event(e);
    }

private:
    PollerThread* m_owner;
};

PollerMessage::PollerMessage(int messageId, int wParam, long lParam)
    : QEvent(eventType()), messageId(messageId), wParam(wParam), lParam(lParam)
{
    platform::handOffSend(this);
}

// Messages still queued when the thread ends are deleted unread, perhaps on another thread.
PollerMessage::~PollerMessage()
{
    platform::handOffReceive(this);
}

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
    {
        std::lock_guard lock(m_stopLock);
        m_stopping = true;
    }
    m_stopSignal.notify_all();
    m_thread.quit();
    m_thread.wait();
    platform::handOffReceive(&m_thread);
    delete m_worker;
    m_worker = nullptr;
}

bool PollerThread::start()
{
    if (m_worker)
        return m_thread.isRunning();
    {
        std::lock_guard lock(m_stopLock);
        m_stopping = false;
    }
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
    QCoreApplication::postEvent(m_worker, new PollerMessage(m_messageId, wParam, lParam));
}

bool PollerThread::waitIdle(int timeoutMs)
{
    if (!isRunning())
        return true;
    // Events to one receiver are delivered in order: once this one runs, all before it have.
    auto done = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        m_worker,
        platform::handedOff([done] {
            platform::handOffSend(done.get());
            done->release();
        }),
        Qt::QueuedConnection);
    if (!done->tryAcquire(1, timeoutMs))
        return false;
    platform::handOffReceive(done.get());
    return true;
}

bool PollerThread::pause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_stopLock);
    return !m_stopSignal.wait_for(lock, duration, [this] { return m_stopping; });
}

void PollerThread::dispatch(int wParam, long lParam)
{
    std::lock_guard lock(m_requestLock);
    handle(wParam, lParam);
}

} // namespace market
