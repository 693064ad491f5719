#pragma once

#include <cstdint>
#include <memory>

namespace engine {

class JobQueue;

// One unit of work on a JobQueue: the object to run and one argument (a page and its scan
// flags, or an element job and 0). The queue's runner knows the object's type.
struct Job {
    std::shared_ptr<void> object;
    std::uint32_t argument = 0;
};

// What a JobQueue reports to its owner. Called on the thread that caused the edge, never under
// the queue's lock.
class QueueListener {
public:
    // The two edges each call reports.
    static constexpr int kStarts = 0;
    static constexpr int kEnded = 1;

    // kStarts: the first worker is about to start (on the enqueuing thread); kEnded: the last
    // worker ended with no job left (on that worker).
    virtual void workState(JobQueue& queue, int state) = 0;
    // kStarts: `job` is about to run; kEnded: it has run. On the worker running it.
    virtual void jobState(JobQueue& queue, int state, const Job& job) = 0;

protected:
    ~QueueListener() = default;
};

}  // namespace engine
