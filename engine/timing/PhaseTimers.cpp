#include "engine/timing/PhaseTimers.h"

#include <limits>

namespace engine {
namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

std::size_t index(Stopwatch which) {
    return static_cast<std::size_t>(which);
}

std::uint32_t saturatingAdd(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t max = std::numeric_limits<std::uint32_t>::max();
    return a > max - b ? max : a + b;
}

}  // namespace

void PhaseTimers::reset() {
    for (Watch& w : watches_) {
        w.running.store(false, kRelaxed);
        w.elapsed.store(0, kRelaxed);
        w.start.store(0, kRelaxed);
    }
}

void PhaseTimers::start(Stopwatch which, std::uint32_t now) {
    Watch& w = watches_[index(which)];
    if (w.running.load(kRelaxed)) return;
    w.start.store(now, kRelaxed);
    w.running.store(true, kRelaxed);
}

void PhaseTimers::stopAll(std::uint32_t now) {
    for (Watch& w : watches_) {
        if (!w.running.load(kRelaxed)) continue;
        // Unsigned subtraction keeps an interval across the tick counter's wrap right.
        const std::uint32_t interval = now - w.start.load(kRelaxed);
        w.elapsed.store(saturatingAdd(w.elapsed.load(kRelaxed), interval), kRelaxed);
        w.start.store(0, kRelaxed);
        w.running.store(false, kRelaxed);
    }
}

std::uint32_t PhaseTimers::elapsed(Stopwatch which) const {
    return watches_[index(which)].elapsed.load(kRelaxed);
}

bool PhaseTimers::running(Stopwatch which) const {
    return watches_[index(which)].running.load(kRelaxed);
}

std::uint32_t PhaseTimers::totalAt(std::uint32_t now) const {
    std::uint32_t sum = 0;
    for (const Reading& watch : snapshot()) {
        sum = saturatingAdd(sum, watch.elapsed);
        if (watch.running) sum = saturatingAdd(sum, now - watch.start);
    }
    return sum;
}

PhaseTimers::Snapshot PhaseTimers::snapshot() const {
    Snapshot s;
    for (std::size_t i = 0; i < kStopwatchCount; ++i) {
        s[i].elapsed = watches_[i].elapsed.load(kRelaxed);
        s[i].start = watches_[i].start.load(kRelaxed);
        s[i].running = watches_[i].running.load(kRelaxed);
    }
    return s;
}

}  // namespace engine
