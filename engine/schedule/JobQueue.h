#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "engine/schedule/QueueListener.h"

namespace engine {

// A FIFO of jobs run by worker threads that are started on demand, one per enqueued job while
// fewer than `limit` run, and that end when the queue is empty.
//
// Invariant, kept under the queue's lock: whenever a job waits, at least one worker is running,
// and a worker ends only after finding the queue empty. So no job is ever stranded, however
// enqueues and worker ends interleave. The lock guards the job array and the counts only; no
// job and no listener call runs under it.
class JobQueue {
public:
    using Runner = std::function<void(const Job&)>;

    // `listener` may be none; when given it must outlive the queue.
    JobQueue(int limit, Runner runner, QueueListener* listener = nullptr);
    JobQueue(const JobQueue&) = delete;
    JobQueue& operator=(const JobQueue&) = delete;
    // Waits until every worker thread has ended; jobs still queued are run first.
    ~JobQueue();

    // Appends the job; starts a worker unless `limit` run already or the queue is closing.
    // Thread-safe, also from inside a running job.
    void enqueue(Job job);

    void setLimit(int limit);
    int limit() const;

    // Removes every job not yet taken, under the lock; returns how many. Running jobs go on.
    std::size_t discardPending();
    // While workers run: no new worker is started; the last one to end clears the flag.
    void close();
    bool closing() const;

    // Workers currently running jobs or looking for one.
    int running() const { return running_.load(); }
    bool busy() const { return running() > 0; }
    std::size_t pending() const;

    // Blocks until no worker thread is alive (the last one has returned from every call).
    void waitUntilIdle() const;

private:
    void startWorker();
    void workerLoop();
    bool takeOrRetire(Job& job, bool& last);

    Runner runner_;
    QueueListener* listener_;

    mutable std::mutex mutex_;
    mutable std::condition_variable threadEnded_;
    std::deque<Job> jobs_;
    int limit_;
    bool closing_ = false;
    std::atomic<int> running_{0};  // changed under mutex_; read without it
    int threads_ = 0;              // worker threads not yet returned
};

}  // namespace engine
