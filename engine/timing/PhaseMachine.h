#pragma once

#include <atomic>

#include "engine/base/Clock.h"
#include "engine/base/LoadPhase.h"
#include "engine/timing/PhaseTimers.h"

namespace engine {

// What the phase machine tells its owner at the edges of a request. All do nothing by default.
class PhaseHooks {
public:
    virtual void connected() {}     // the connection is up; sending begins
    virtual void requestSent() {}   // the whole request is out; waiting for the answer
    virtual void responseDone() {}  // a response has been received (or redirected away from)

protected:
    ~PhaseHooks() = default;
};

// The LoadPhase of one item and the stopwatches it drives. Each accepted transition first stops
// every running stopwatch and then starts the one of the phase entered, so the four times never
// overlap:
//
//   connect  from the start (or a redirect) to "connected"
//   send     from "connected" to "request sent"
//   wait     from "request sent" to the first response byte
//   receive  from the first response byte to the end of the response
//
// docs/phase-timing.md gives the full transition table. One thread steps the machine (the
// worker running the transfer); phase() and timers() may be read from any thread.
class PhaseMachine {
public:
    PhaseMachine(const Clock& clock, PhaseHooks& hooks) : clock_(clock), hooks_(hooks) {}
    PhaseMachine(const PhaseMachine&) = delete;
    PhaseMachine& operator=(const PhaseMachine&) = delete;

    LoadPhase phase() const { return phase_.load(std::memory_order_relaxed); }
    const PhaseTimers& timers() const { return timers_; }

    // A transfer starts: stopwatches reset, connect running, phase Connecting.
    void begin();
    // The client reported phase `p` (a value other than the current one).
    void step(LoadPhase p);
    // The first byte of a response arrived: the wait ends and receiving begins. Reported before
    // "request sent", it counts as both.
    void firstByte();
    // The transfer is over: every running stopwatch stops.
    void stopAll();
    // Sets the phase a finished transfer ends in; the stopwatches keep their values.
    void settle(LoadPhase final);
    // Back to Ready with zero times (a new address, before any transfer).
    void reset();

private:
    void enter(LoadPhase p) { phase_.store(p, std::memory_order_relaxed); }

    const Clock& clock_;
    PhaseHooks& hooks_;
    PhaseTimers timers_;
    std::atomic<LoadPhase> phase_{LoadPhase::Ready};
};

}  // namespace engine
