#include "engine/schedule/JobQueue.h"

#include <system_error>
#include <thread>
#include <utility>

namespace engine {

JobQueue::JobQueue(int limit, Runner runner, QueueListener* listener)
    : runner_(std::move(runner)), listener_(listener), limit_(limit) {}

JobQueue::~JobQueue() {
    waitUntilIdle();
}

void JobQueue::enqueue(Job job) {
    bool first = false;
    {
        std::lock_guard guard(mutex_);
        jobs_.push_back(std::move(job));
        // The limit test and the increment are one step, so concurrent enqueues never start
        // more than `limit` workers.
        if (running_.load() >= limit_ || closing_) return;
        first = running_.fetch_add(1) == 0;
        ++threads_;
    }
    if (first && listener_ != nullptr) listener_->workState(*this, QueueListener::kStarts);
    startWorker();
}

void JobQueue::startWorker() {
    try {
        std::thread([this] { workerLoop(); }).detach();
    } catch (const std::system_error&) {
        // No thread could be made: the enqueuing thread does the worker's part itself, so the
        // job is late but never lost and the counts stay right.
        workerLoop();
    }
}

bool JobQueue::takeOrRetire(Job& job, bool& last) {
    std::lock_guard guard(mutex_);
    if (!jobs_.empty()) {
        job = std::move(jobs_.front());
        jobs_.pop_front();
        return true;
    }
    // Retiring under the same lock as the enqueue's test: a job appended after this point
    // starts a worker of its own.
    last = running_.fetch_sub(1) == 1;
    if (last) closing_ = false;
    return false;
}

void JobQueue::workerLoop() {
    Job job;
    bool last = false;
    while (takeOrRetire(job, last)) {
        if (listener_ != nullptr) listener_->jobState(*this, QueueListener::kStarts, job);
        runner_(job);
        if (listener_ != nullptr) listener_->jobState(*this, QueueListener::kEnded, job);
        job = Job{};
    }
    if (last && listener_ != nullptr) listener_->workState(*this, QueueListener::kEnded);
    std::lock_guard guard(mutex_);
    --threads_;
    // Notified under the lock: the queue may be destroyed as soon as the waiter sees 0.
    threadEnded_.notify_all();
}

void JobQueue::setLimit(int limit) {
    std::lock_guard guard(mutex_);
    limit_ = limit;
}

int JobQueue::limit() const {
    std::lock_guard guard(mutex_);
    return limit_;
}

std::size_t JobQueue::discardPending() {
    std::deque<Job> dropped;
    {
        std::lock_guard guard(mutex_);
        dropped.swap(jobs_);
    }
    return dropped.size();  // the jobs' objects are released outside the lock
}

void JobQueue::close() {
    std::lock_guard guard(mutex_);
    if (running_.load() > 0) closing_ = true;
}

bool JobQueue::closing() const {
    std::lock_guard guard(mutex_);
    return closing_;
}

std::size_t JobQueue::pending() const {
    std::lock_guard guard(mutex_);
    return jobs_.size();
}

void JobQueue::waitUntilIdle() const {
    std::unique_lock lock(mutex_);
    threadEnded_.wait(lock, [this] { return threads_ == 0; });
}

}  // namespace engine
