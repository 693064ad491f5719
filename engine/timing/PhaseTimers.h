#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace engine {

enum class Stopwatch : std::uint8_t { Connect = 0, Send = 1, Wait = 2, Receive = 3 };
inline constexpr std::size_t kStopwatchCount = 4;

// The four phase stopwatches of one transfer: connect, send, wait response, receive. Each has an
// accumulated time and the tick its running interval began at (ticks from a Clock).
//
// One thread writes (the worker running the transfer, whose client callbacks step the phase
// machine); any thread may read. Fields are atomics so a reader sees each value whole, though
// not necessarily all eight from the same instant.
class PhaseTimers {
public:
    struct Reading {
        std::uint32_t elapsed = 0;  // accumulated milliseconds
        std::uint32_t start = 0;    // tick of the running interval; meaningful while running
        bool running = false;
    };
    using Snapshot = std::array<Reading, kStopwatchCount>;

    PhaseTimers() = default;
    PhaseTimers(const PhaseTimers&) = delete;
    PhaseTimers& operator=(const PhaseTimers&) = delete;

    // Sets every accumulated time and start to 0 and stops all.
    void reset();
    // Begins an interval at `now`; a watch that is already running keeps its earlier start.
    void start(Stopwatch which, std::uint32_t now);
    // Adds (now - start) to every running watch and stops it. Sums saturate instead of wrapping.
    void stopAll(std::uint32_t now);

    std::uint32_t elapsed(Stopwatch which) const;
    bool running(Stopwatch which) const;
    Snapshot snapshot() const;
    // The four watches' times summed as they stand at tick `now`, running intervals included.
    std::uint32_t totalAt(std::uint32_t now) const;

private:
    struct Watch {
        std::atomic<std::uint32_t> elapsed{0};
        std::atomic<std::uint32_t> start{0};
        std::atomic<bool> running{false};
    };
    std::array<Watch, kStopwatchCount> watches_;
};

}  // namespace engine
