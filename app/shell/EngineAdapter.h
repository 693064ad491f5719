#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/schedule/MessageSink.h"

namespace app {

// The engine's notifications on the user-interface thread. Workers post and send from any
// thread; the messages are gathered and handed to the handler in batches, in the order they
// arrived, by one queued call on the receiver's thread, so that a crawl's thousands of
// messages cost a few wake-ups of the window, not one each. A sent message (the duplicate page
// removal) returns to its worker once it was handled, or at once after shutDown(). No worker
// ever touches a widget: the handler runs on the receiver's thread only.
class EngineAdapter final : public engine::MessageSink {
public:
    using Handler = std::function<void(const std::vector<engine::EngineMessage>&)>;

    // `receiver` fixes the thread the handler runs on; it must outlive the adapter, or
    // shutDown() must run before it is destroyed.
    EngineAdapter(QObject* receiver, Handler handler);
    ~EngineAdapter() override;

    void post(engine::EngineMessage message) override;
    void send(engine::EngineMessage message) override;

    // Releases every worker waiting in send() and makes later messages be dropped: the program
    // is shutting down and nobody will handle them. Idempotent; user-interface thread.
    void shutDown();

    // Hands every message that arrived so far to the handler now (the queued call then finds
    // nothing). Receiver's thread only.
    void deliver();
    // Messages that arrived and were not handed over yet (a sent one among them holds its worker).
    std::size_t pendingCount() const;

private:
    struct Waiter {
        std::mutex mutex;
        std::condition_variable handled;
        bool done = false;
        void release();
    };
    struct Entry {
        engine::EngineMessage message;
        std::shared_ptr<Waiter> waiter;  // set for a sent message
    };
    // What the queued call and the workers share; it outlives the adapter while a call is queued.
    struct Shared {
        std::mutex mutex;
        std::vector<Entry> pending;
        QObject* receiver = nullptr;  // none once closed
        Handler handler;
        bool draining = false;  // receiver's thread only
    };

    static void enqueue(const std::shared_ptr<Shared>& shared, Entry entry);
    static void schedule(const std::shared_ptr<Shared>& shared);
    static void drain(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
};

}  // namespace app
