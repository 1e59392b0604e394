#include "platform/ThreadHandOff.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace platform {
namespace {

// Carries one call to the receiver's thread and makes it there as it goes. Woken only by Qt's
// own deleteLater (no functor, event or meta-object of ours in Qt's queue), so everything the
// call holds is written before handOver() and read after takeOver(), and nothing of ours is
// read on the way: an application event filter sees the waking event before the carrier does.
class QueuedCall final : public QObject
{
public:
    QueuedCall(QObject* receiver, std::function<void()> call) : m_receiver(receiver), m_call(std::move(call)) {}
    ~QueuedCall() override
    {
        takeOver(this);
        if (m_receiver)
            m_call();
    }

private:
    QPointer<QObject> m_receiver;
    std::function<void()> m_call;
};

} // namespace

void handOver([[maybe_unused]] const void* object)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_release(const_cast<void*>(object));
#endif
}

void takeOver([[maybe_unused]] const void* object)
{
#if defined(__SANITIZE_THREAD__)
    __tsan_acquire(const_cast<void*>(object));
#endif
}

void callOnThreadOf(QObject* receiver, std::function<void()> call, Queue queue)
{
    if (!receiver)
        return;
    QThread* target = receiver->thread();
    if (queue == Queue::WhenElsewhere && target == QThread::currentThread()) {
        call();
        return;
    }
    auto* carrier = new QueuedCall(receiver, std::move(call));
    carrier->moveToThread(target);
    handOver(carrier);
    QMetaObject::invokeMethod(carrier, "deleteLater", Qt::QueuedConnection);
}

} // namespace platform
