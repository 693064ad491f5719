#include "engine/base/ManualResetEvent.h"

namespace engine {

void ManualResetEvent::set() {
    std::lock_guard guard(mutex_);
    signalled_ = true;
    // Notified under the lock: a waiter that wakes may destroy the event at once.
    changed_.notify_all();
}

void ManualResetEvent::reset() {
    std::lock_guard guard(mutex_);
    signalled_ = false;
}

bool ManualResetEvent::isSet() const {
    std::lock_guard guard(mutex_);
    return signalled_;
}

void ManualResetEvent::wait() const {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return signalled_; });
}

bool ManualResetEvent::waitFor(std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return signalled_; });
}

}  // namespace engine
