#include "PollerThread.h"

#include "platform/core/CrossThread.h"

namespace market {

PollerThread::PollerThread(const QString& name, QObject* parent) : QObject(parent)
{
    m_thread.setObjectName(name);
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
    platform::endThread(m_thread);
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
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    m_thread.start(QThread::NormalPriority);
    return m_thread.isRunning();
}

bool PollerThread::isRunning() const
{
    return m_worker && m_thread.isRunning();
}

void PollerThread::enqueue(std::function<void()> job)
{
    if (!isRunning())
        return;
    platform::postTo(m_worker, [this, job = std::move(job)] { dispatch(job); });
}

bool PollerThread::waitIdle(int timeoutMs)
{
    if (!isRunning())
        return true;
    return platform::waitUntilRun(m_worker, timeoutMs);
}

bool PollerThread::pause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_stopLock);
    return !m_stopSignal.wait_for(lock, duration, [this] { return m_stopping; });
}

void PollerThread::dispatch(const std::function<void()>& job)
{
    std::lock_guard lock(m_requestLock);
    job();
}

} // namespace market
