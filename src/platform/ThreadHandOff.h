#pragma once

#include <functional>

class QObject;

namespace platform {

// Qt orders what one thread posts before the receiving thread handles it, and a thread's
// last work before QThread::wait() returns, with locks of its own that ThreadSanitizer cannot
// see in an uninstrumented Qt. handOver() on the giving side and takeOver() on the taking
// side name such an edge for it; in other builds they are nothing.
void handOver(const void* object);
void takeOver(const void* object);

enum class Queue {
    WhenElsewhere, // at once when the receiver lives on this thread
    Always,        // later even then, from the event loop
};

// Runs `call` on the thread of `receiver`, after what was posted to that thread before (or at
// once, see Queue); dropped when the receiver is gone by then. What `call` holds is handed
// over with it.
void callOnThreadOf(QObject* receiver, std::function<void()> call, Queue queue = Queue::Always);

} // namespace platform
