#pragma once

#include <atomic>
#include <cstdint>

namespace engine {

// The millisecond tick counter every stopwatch reads. It is 32 bits wide and wraps after about
// 49.7 days; differences are taken in unsigned arithmetic, so an interval across the wrap is
// still right. Tests substitute a ManualClock so that phase timing runs without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t now() const = 0;

    // The monotonic clock of the process (never adjusted by time-of-day changes). Thread-safe.
    static const Clock& steady();
};

// A clock that moves only when told to. Thread-safe.
class ManualClock : public Clock {
public:
    explicit ManualClock(std::uint32_t start = 1000) : now_(start) {}

    std::uint32_t now() const override { return now_.load(std::memory_order_relaxed); }
    void set(std::uint32_t tick) { now_.store(tick, std::memory_order_relaxed); }
    void advance(std::uint32_t ms) { now_.fetch_add(ms, std::memory_order_relaxed); }

private:
    std::atomic<std::uint32_t> now_;
};

}  // namespace engine
