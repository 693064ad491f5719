#include "engine/timing/PhaseMachine.h"

namespace engine {

void PhaseMachine::begin() {
    timers_.reset();
    timers_.start(Stopwatch::Connect, clock_.now());
    enter(LoadPhase::Connecting);
}

void PhaseMachine::step(LoadPhase p) {
    if (p == LoadPhase::Error) {
        timers_.reset();
        enter(p);
        return;
    }
    // One reading per transition: the interval that ends and the one that begins meet exactly,
    // so the four times add up to the wall time of the transfer.
    const std::uint32_t now = clock_.now();
    switch (phase()) {
        case LoadPhase::Ready:
            if (p == LoadPhase::Connecting) {
                timers_.reset();
                timers_.start(Stopwatch::Connect, now);
            }
            enter(p);
            return;
        case LoadPhase::Connecting:
        case LoadPhase::Redirecting:
            if (p == LoadPhase::Sending) {
                timers_.stopAll(now);
                hooks_.connected();
                timers_.start(Stopwatch::Send, now);
            }
            enter(p);
            return;
        case LoadPhase::Sending:
            if (p == LoadPhase::Receiving) {
                timers_.stopAll(now);
                hooks_.requestSent();
                // The answer is awaited until its first byte; firstByte() switches to receive.
                timers_.start(Stopwatch::Wait, now);
            }
            enter(p);
            return;
        case LoadPhase::Receiving:
            if (p == LoadPhase::Completed) {
                timers_.stopAll(now);
                hooks_.responseDone();
            } else if (p == LoadPhase::Redirecting) {
                // The redirected request is timed again from its own connect on, so its send,
                // wait and receive are not counted as connect time.
                timers_.stopAll(now);
                hooks_.responseDone();
                timers_.start(Stopwatch::Connect, now);
                enter(p);
            }
            return;
        case LoadPhase::Completed:
        case LoadPhase::Error:
        case LoadPhase::Skipped:
            enter(p);
            return;
    }
}

void PhaseMachine::firstByte() {
    if (phase() == LoadPhase::Sending) step(LoadPhase::Receiving);
    if (phase() != LoadPhase::Receiving || !timers_.running(Stopwatch::Wait)) return;
    const std::uint32_t now = clock_.now();
    timers_.stopAll(now);
    timers_.start(Stopwatch::Receive, now);
}

void PhaseMachine::stopAll() {
    timers_.stopAll(clock_.now());
}

void PhaseMachine::settle(LoadPhase final) {
    enter(final);
}

void PhaseMachine::reset() {
    timers_.reset();
    enter(LoadPhase::Ready);
}

}  // namespace engine
