#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/schedule/MessageSink.h"

namespace enginetest {

// A message sink that keeps every message, in arrival order, for tests to inspect and wait on.
class RecordingSink : public engine::MessageSink {
public:
    struct Recorded {
        engine::EngineMessage message;
        bool sent = false;  // send(), not post()
    };

    void post(engine::EngineMessage message) override { add({std::move(message), false}); }
    void send(engine::EngineMessage message) override { add({std::move(message), true}); }

    std::vector<Recorded> messages() const {
        std::lock_guard guard(mutex_);
        return messages_;
    }

    // Messages of that kind and first argument since the sink was made or cleared.
    std::size_t count(engine::MessageId id, std::uint32_t value) const {
        std::lock_guard guard(mutex_);
        return countLocked(id, value);
    }

    // Waits until `n` runs have ended (message 1047 with 1), up to a minute.
    bool waitForRunsEnded(std::size_t n) const {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(1),
                                 [&] { return countLocked(engine::MessageId::WorkState, 1) >= n; });
    }

    void clear() {
        std::lock_guard guard(mutex_);
        messages_.clear();
        counts_.clear();
    }

private:
    using Key = std::pair<engine::MessageId, std::uint32_t>;

    void add(Recorded recorded) {
        std::lock_guard guard(mutex_);
        ++counts_[Key{recorded.message.id, recorded.message.value}];
        messages_.push_back(std::move(recorded));
        changed_.notify_all();
    }

    std::size_t countLocked(engine::MessageId id, std::uint32_t value) const {
        const auto it = counts_.find(Key{id, value});
        return it == counts_.end() ? 0 : it->second;
    }

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Recorded> messages_;
    std::map<Key, std::size_t> counts_;
};

}  // namespace enginetest
