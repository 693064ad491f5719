#include "app/shell/EngineAdapter.h"

#include <QMetaObject>

#include <utility>

namespace app {

void EngineAdapter::Waiter::release() {
    {
        std::lock_guard guard(mutex);
        done = true;
    }
    handled.notify_all();
}

EngineAdapter::EngineAdapter(QObject* receiver, Handler handler)
    : shared_(std::make_shared<Shared>()) {
    shared_->receiver = receiver;
    shared_->handler = std::move(handler);
}

EngineAdapter::~EngineAdapter() {
    shutDown();
}

// Called with the lock held, so that shutDown() cannot slip in between and the receiver is
// alive: it is destroyed only after shutDown().
void EngineAdapter::schedule(const std::shared_ptr<Shared>& shared) {
    QMetaObject::invokeMethod(
        shared->receiver, [shared] { drain(shared); }, Qt::QueuedConnection);
}

void EngineAdapter::enqueue(const std::shared_ptr<Shared>& shared, Entry entry) {
    std::lock_guard guard(shared->mutex);
    if (shared->receiver == nullptr) {
        if (entry.waiter) entry.waiter->release();
        return;
    }
    // One queued call serves every message that arrives before it runs.
    if (shared->pending.empty()) schedule(shared);
    shared->pending.push_back(std::move(entry));
}

void EngineAdapter::drain(const std::shared_ptr<Shared>& shared) {
    std::vector<Entry> batch;
    Handler handler;
    {
        std::lock_guard guard(shared->mutex);
        if (shared->receiver == nullptr || shared->pending.empty()) return;
        // A handler that runs an event loop of its own must not see later messages before it
        // has finished with its batch: they wait until it has.
        if (shared->draining) return;
        batch.swap(shared->pending);
        handler = shared->handler;
        shared->draining = true;
    }
    std::vector<engine::EngineMessage> messages;
    messages.reserve(batch.size());
    for (Entry& entry : batch) messages.push_back(std::move(entry.message));
    handler(messages);
    {
        std::lock_guard guard(shared->mutex);
        shared->draining = false;
        if (shared->receiver != nullptr && !shared->pending.empty()) schedule(shared);
    }
    for (Entry& entry : batch) {
        if (entry.waiter) entry.waiter->release();
    }
}

void EngineAdapter::post(engine::EngineMessage message) {
    enqueue(shared_, Entry{std::move(message), nullptr});
}

void EngineAdapter::send(engine::EngineMessage message) {
    auto waiter = std::make_shared<Waiter>();
    enqueue(shared_, Entry{std::move(message), waiter});
    std::unique_lock lock(waiter->mutex);
    waiter->handled.wait(lock, [&] { return waiter->done; });
}

void EngineAdapter::deliver() {
    drain(shared_);
}

void EngineAdapter::shutDown() {
    std::vector<Entry> dropped;
    {
        std::lock_guard guard(shared_->mutex);
        shared_->receiver = nullptr;
        dropped.swap(shared_->pending);
    }
    for (Entry& entry : dropped) {
        if (entry.waiter) entry.waiter->release();
    }
}

std::size_t EngineAdapter::pendingCount() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->pending.size();
}

}  // namespace app
