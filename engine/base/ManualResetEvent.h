#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace engine {

// An event that stays signalled until reset: every waiter passes while it is set. Thread-safe.
class ManualResetEvent {
public:
    explicit ManualResetEvent(bool signalled) : signalled_(signalled) {}
    ManualResetEvent(const ManualResetEvent&) = delete;
    ManualResetEvent& operator=(const ManualResetEvent&) = delete;

    void set();
    void reset();
    bool isSet() const;
    void wait() const;
    // False when `limit` passed before the event was set.
    bool waitFor(std::chrono::milliseconds limit) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool signalled_;
};

}  // namespace engine
