#include "engine/schedule/MessageQueue.h"

#include <utility>

namespace engine {

std::uint64_t MessageQueue::add(EngineMessage message, bool numbered) {
    std::lock_guard guard(mutex_);
    if (closed_) return 0;
    const std::uint64_t sequence = numbered ? ++lastSent_ : 0;
    entries_.push_back({std::move(message), sequence});
    arrived_.notify_one();
    return sequence;
}

void MessageQueue::post(EngineMessage message) {
    add(std::move(message), false);
}

void MessageQueue::send(EngineMessage message) {
    const std::uint64_t sequence = add(std::move(message), true);
    if (sequence == 0) return;
    std::unique_lock lock(mutex_);
    handled_.wait(lock, [&] { return closed_ || lastHandled_ >= sequence; });
}

std::size_t MessageQueue::dispatch(const Handler& handler, std::chrono::milliseconds limit) {
    std::deque<Entry> batch;
    {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, limit, [&] { return closed_ || !entries_.empty(); });
        batch.swap(entries_);
    }
    for (Entry& entry : batch) {
        handler(entry.message);
        if (entry.sequence != 0) {
            std::lock_guard guard(mutex_);
            lastHandled_ = entry.sequence;
            handled_.notify_all();
        }
    }
    return batch.size();
}

void MessageQueue::close() {
    std::lock_guard guard(mutex_);
    closed_ = true;
    entries_.clear();
    handled_.notify_all();
    arrived_.notify_all();
}

}  // namespace engine
