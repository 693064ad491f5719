#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "engine/schedule/MessageSink.h"

namespace engine {

// A message sink for a front end without a window system: workers post and send, one thread
// takes the messages in arrival order and hands them to its handler. send() returns once its
// message was handled, or at once when the queue is closed, so a worker never waits for a
// receiver that has gone.
class MessageQueue : public MessageSink {
public:
    using Handler = std::function<void(const EngineMessage&)>;

    void post(EngineMessage message) override;
    void send(EngineMessage message) override;

    // Handles every message waiting; when none is, waits up to `limit` for the first one.
    // Returns the number handled. Call it from one thread only.
    std::size_t dispatch(const Handler& handler, std::chrono::milliseconds limit);

    // Drops the waiting messages and releases every sender; later messages are dropped.
    void close();

private:
    struct Entry {
        EngineMessage message;
        std::uint64_t sequence = 0;  // numbered only when sent
    };

    std::uint64_t add(EngineMessage message, bool numbered);

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable handled_;
    std::deque<Entry> entries_;
    std::uint64_t lastSent_ = 0;
    std::uint64_t lastHandled_ = 0;  // the highest sent message handled or dropped
    bool closed_ = false;
};

}  // namespace engine
