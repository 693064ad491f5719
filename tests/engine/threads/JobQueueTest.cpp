#include "engine/schedule/JobQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/base/ManualResetEvent.h"

namespace {

using engine::Job;
using engine::JobQueue;
using std::chrono::milliseconds;

// Records the listener's calls; counts the work-state edges.
class CountingListener : public engine::QueueListener {
public:
    void workState(JobQueue&, int state) override {
        std::lock_guard guard(mutex_);
        edges_.push_back(state);
    }
    void jobState(JobQueue&, int state, const Job&) override {
        (state == 0 ? before_ : after_).fetch_add(1);
    }
    std::vector<int> edges() const {
        std::lock_guard guard(mutex_);
        return edges_;
    }
    std::atomic<int> before_{0}, after_{0};

private:
    mutable std::mutex mutex_;
    std::vector<int> edges_;
};

// The number a job carries, as the object of the job.
Job numbered(int n) {
    return Job{std::make_shared<int>(n), static_cast<std::uint32_t>(n)};
}

TEST(JobQueue, RunsEveryJobOnceAndReportsOneStartAndOneEnd) {
    CountingListener listener;
    std::mutex mutex;
    std::vector<int> ran;
    {
        JobQueue queue(
            4,
            [&](const Job& job) {
                std::lock_guard guard(mutex);
                ran.push_back(*std::static_pointer_cast<int>(job.object));
            },
            &listener);
        for (int i = 0; i < 100; ++i) queue.enqueue(numbered(i));
        queue.waitUntilIdle();
        EXPECT_FALSE(queue.busy());
    }
    std::sort(ran.begin(), ran.end());
    ASSERT_EQ(ran.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(listener.before_.load(), 100);
    EXPECT_EQ(listener.after_.load(), 100);
    // Work may end and start again between enqueues, but the edges always alternate.
    const std::vector<int> edges = listener.edges();
    ASSERT_FALSE(edges.empty());
    EXPECT_EQ(edges.front(), 0);
    EXPECT_EQ(edges.back(), 1);
    EXPECT_EQ(std::count(edges.begin(), edges.end(), 0), std::count(edges.begin(), edges.end(), 1));
}

TEST(JobQueue, OneWorkerRunsJobsInOrder) {
    std::vector<int> ran;  // one worker at a time: no lock needed beyond the queue's own
    engine::ManualResetEvent gate(false);
    JobQueue queue(1, [&](const Job& job) {
        gate.wait();
        ran.push_back(static_cast<int>(job.argument));
    });
    for (int i = 0; i < 20; ++i) queue.enqueue(numbered(i));
    EXPECT_EQ(queue.running(), 1);
    gate.set();
    queue.waitUntilIdle();
    std::vector<int> expected(20);
    for (int i = 0; i < 20; ++i) expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(ran, expected);
}

TEST(JobQueue, NeverRunsMoreWorkersThanTheLimitEvenFromManyThreads) {
    std::atomic<int> inside{0}, most{0};
    // The first jobs hold their workers until three run at once, so the limit is reached.
    engine::ManualResetEvent full(false);
    JobQueue queue(3, [&](const Job&) {
        const int now = inside.fetch_add(1) + 1;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        if (now == 3) full.set();
        full.waitFor(milliseconds(10000));
        inside.fetch_sub(1);
    });
    std::vector<std::thread> producers;
    for (int t = 0; t < 6; ++t) {
        producers.emplace_back([&queue, t] {
            for (int i = 0; i < 30; ++i) queue.enqueue(numbered(t * 100 + i));
        });
    }
    for (auto& p : producers) p.join();
    EXPECT_LE(queue.running(), 3);
    queue.waitUntilIdle();
    EXPECT_EQ(most.load(), 3);
}

TEST(JobQueue, JobsEnqueuedWhileWorkersRetireAreNeverStranded) {
    // Jobs that enqueue one more job right as the queue drains: the classic window between a
    // worker finding the queue empty and giving up its place.
    std::atomic<int> ran{0};
    constexpr int kChains = 8, kLength = 200;
    JobQueue* self = nullptr;
    JobQueue queue(2, [&](const Job& job) {
        ran.fetch_add(1);
        if (job.argument + 1 < kLength) self->enqueue(Job{job.object, job.argument + 1});
    });
    self = &queue;
    for (int c = 0; c < kChains; ++c) queue.enqueue(Job{std::make_shared<int>(c), 0});
    queue.waitUntilIdle();
    EXPECT_EQ(ran.load(), kChains * kLength);
    EXPECT_EQ(queue.pending(), 0u);
}

TEST(JobQueue, DiscardDropsWaitingJobsButNotTheRunningOne) {
    engine::ManualResetEvent started(false), gate(false);
    std::atomic<int> ran{0};
    JobQueue queue(1, [&](const Job&) {
        started.set();
        gate.wait();
        ran.fetch_add(1);
    });
    for (int i = 0; i < 5; ++i) queue.enqueue(numbered(i));
    ASSERT_TRUE(started.waitFor(milliseconds(10000)));
    EXPECT_EQ(queue.discardPending(), 4u);
    gate.set();
    queue.waitUntilIdle();
    EXPECT_EQ(ran.load(), 1);
}

TEST(JobQueue, ClosingStartsNoWorkerButTheRunningOnesDrainTheQueue) {
    engine::ManualResetEvent started(false), gate(false);
    std::atomic<int> ran{0};
    JobQueue queue(4, [&](const Job&) {
        started.set();
        gate.wait();
        ran.fetch_add(1);
    });
    queue.enqueue(numbered(0));
    ASSERT_TRUE(started.waitFor(milliseconds(10000)));
    queue.close();
    for (int i = 1; i < 6; ++i) queue.enqueue(numbered(i));
    EXPECT_EQ(queue.running(), 1);
    gate.set();
    queue.waitUntilIdle();
    EXPECT_EQ(ran.load(), 6);
    EXPECT_FALSE(queue.closing());  // the last worker cleared it
}

TEST(JobQueue, ClosingAnIdleQueueChangesNothing) {
    std::atomic<int> ran{0};
    JobQueue queue(2, [&](const Job&) { ran.fetch_add(1); });
    queue.close();
    EXPECT_FALSE(queue.closing());
    queue.enqueue(numbered(1));
    queue.waitUntilIdle();
    EXPECT_EQ(ran.load(), 1);
}

}  // namespace
