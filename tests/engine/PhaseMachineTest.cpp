#include "engine/timing/PhaseMachine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using engine::LoadPhase;
using engine::ManualClock;
using engine::PhaseMachine;
using engine::Stopwatch;

class RecordingHooks : public engine::PhaseHooks {
public:
    void connected() override { calls.push_back("connected"); }
    void requestSent() override { calls.push_back("requestSent"); }
    void responseDone() override { calls.push_back("responseDone"); }
    std::vector<std::string> calls;
};

class PhaseMachineTest : public ::testing::Test {
protected:
    std::uint32_t time(Stopwatch w) const { return machine.timers().elapsed(w); }
    bool running(Stopwatch w) const { return machine.timers().running(w); }
    // Steps through a whole plain transfer: 10 ms connect, 2 send, 30 wait, 50 receive.
    void plainTransfer() {
        machine.begin();
        clock.advance(10);
        machine.step(LoadPhase::Sending);
        clock.advance(2);
        machine.step(LoadPhase::Receiving);
        clock.advance(30);
        machine.firstByte();
        clock.advance(50);
        machine.step(LoadPhase::Completed);
    }

    ManualClock clock;
    RecordingHooks hooks;
    PhaseMachine machine{clock, hooks};
};

TEST_F(PhaseMachineTest, PlainTransferFillsTheFourStopwatchesInOrder) {
    plainTransfer();
    EXPECT_EQ(time(Stopwatch::Connect), 10u);
    EXPECT_EQ(time(Stopwatch::Send), 2u);
    EXPECT_EQ(time(Stopwatch::Wait), 30u);
    EXPECT_EQ(time(Stopwatch::Receive), 50u);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"connected", "requestSent", "responseDone"}));
    // "Completed" while receiving stops the watches but the phase stays Receiving until the
    // download settles it.
    EXPECT_EQ(machine.phase(), LoadPhase::Receiving);
    for (Stopwatch w : {Stopwatch::Connect, Stopwatch::Send, Stopwatch::Wait, Stopwatch::Receive})
        EXPECT_FALSE(running(w));
}

TEST_F(PhaseMachineTest, ReadyStartsConnectingOnlyOnConnecting) {
    machine.step(LoadPhase::Connecting);
    EXPECT_EQ(machine.phase(), LoadPhase::Connecting);
    EXPECT_TRUE(running(Stopwatch::Connect));

    PhaseMachine other(clock, hooks);
    other.step(LoadPhase::Sending);
    EXPECT_EQ(other.phase(), LoadPhase::Sending);
    EXPECT_FALSE(other.timers().running(Stopwatch::Connect));
    EXPECT_FALSE(other.timers().running(Stopwatch::Send));
}

TEST_F(PhaseMachineTest, ConnectingIgnoresEverythingButSendingForTheWatches) {
    machine.begin();
    clock.advance(5);
    machine.step(LoadPhase::Redirecting);  // a redirection before the request was sent
    EXPECT_EQ(machine.phase(), LoadPhase::Redirecting);
    EXPECT_TRUE(running(Stopwatch::Connect));
    clock.advance(5);
    machine.step(LoadPhase::Connecting);  // a new host is being connected to
    EXPECT_EQ(machine.phase(), LoadPhase::Connecting);
    clock.advance(5);
    machine.step(LoadPhase::Sending);
    EXPECT_EQ(time(Stopwatch::Connect), 15u);
    EXPECT_TRUE(running(Stopwatch::Send));
    EXPECT_EQ(hooks.calls, std::vector<std::string>{"connected"});
}

TEST_F(PhaseMachineTest, RedirectingStepsToSendingLikeConnecting) {
    machine.begin();
    machine.step(LoadPhase::Redirecting);
    clock.advance(7);
    machine.step(LoadPhase::Sending);
    EXPECT_EQ(machine.phase(), LoadPhase::Sending);
    EXPECT_EQ(time(Stopwatch::Connect), 7u);
    EXPECT_EQ(hooks.calls, std::vector<std::string>{"connected"});
}

TEST_F(PhaseMachineTest, SendingTakesOtherPhasesWithoutTouchingTheWatches) {
    machine.begin();
    machine.step(LoadPhase::Sending);
    clock.advance(3);
    machine.step(LoadPhase::Redirecting);
    EXPECT_EQ(machine.phase(), LoadPhase::Redirecting);
    EXPECT_TRUE(running(Stopwatch::Send));
    clock.advance(4);
    machine.step(LoadPhase::Sending);  // the redirected request is sent
    EXPECT_EQ(time(Stopwatch::Send), 7u);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"connected", "connected"}));
}

TEST_F(PhaseMachineTest, WaitRunsFromRequestSentToTheFirstByte) {
    machine.begin();
    machine.step(LoadPhase::Sending);
    machine.step(LoadPhase::Receiving);
    EXPECT_TRUE(running(Stopwatch::Wait));
    EXPECT_FALSE(running(Stopwatch::Receive));
    clock.advance(300);
    machine.firstByte();
    EXPECT_EQ(time(Stopwatch::Wait), 300u);
    EXPECT_TRUE(running(Stopwatch::Receive));
    clock.advance(20);
    machine.firstByte();  // a second response (after an interim one) changes nothing
    EXPECT_TRUE(running(Stopwatch::Receive));
    EXPECT_EQ(time(Stopwatch::Wait), 300u);
}

TEST_F(PhaseMachineTest, FirstByteBeforeRequestSentCountsAsBoth) {
    machine.begin();
    machine.step(LoadPhase::Sending);
    clock.advance(4);
    machine.firstByte();
    EXPECT_EQ(machine.phase(), LoadPhase::Receiving);
    EXPECT_EQ(time(Stopwatch::Send), 4u);
    EXPECT_EQ(time(Stopwatch::Wait), 0u);
    EXPECT_TRUE(running(Stopwatch::Receive));
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"connected", "requestSent"}));
}

TEST_F(PhaseMachineTest, FirstByteOutsideReceivingIsIgnored) {
    machine.begin();
    machine.firstByte();
    EXPECT_EQ(machine.phase(), LoadPhase::Connecting);
    EXPECT_TRUE(running(Stopwatch::Connect));
    EXPECT_FALSE(running(Stopwatch::Receive));
}

TEST_F(PhaseMachineTest, RedirectWhileReceivingTimesTheNextRequestAgain) {
    machine.begin();
    clock.advance(10);
    machine.step(LoadPhase::Sending);
    clock.advance(1);
    machine.step(LoadPhase::Receiving);
    clock.advance(20);
    machine.firstByte();
    clock.advance(5);
    machine.step(LoadPhase::Redirecting);
    EXPECT_EQ(machine.phase(), LoadPhase::Redirecting);
    EXPECT_TRUE(running(Stopwatch::Connect));
    EXPECT_EQ(time(Stopwatch::Receive), 5u);

    // The redirected request on the same connection: connect, send, wait and receive again.
    clock.advance(2);
    machine.step(LoadPhase::Sending);
    clock.advance(1);
    machine.step(LoadPhase::Receiving);
    clock.advance(40);
    machine.firstByte();
    clock.advance(8);
    machine.step(LoadPhase::Completed);
    EXPECT_EQ(time(Stopwatch::Connect), 12u);
    EXPECT_EQ(time(Stopwatch::Send), 2u);
    EXPECT_EQ(time(Stopwatch::Wait), 60u);
    EXPECT_EQ(time(Stopwatch::Receive), 13u);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"connected", "requestSent", "responseDone",
                                                     "connected", "requestSent", "responseDone"}));
}

TEST_F(PhaseMachineTest, ReceivingIgnoresOtherPhases) {
    machine.begin();
    machine.step(LoadPhase::Sending);
    machine.step(LoadPhase::Receiving);
    machine.firstByte();
    for (LoadPhase p :
         {LoadPhase::Ready, LoadPhase::Connecting, LoadPhase::Sending, LoadPhase::Skipped}) {
        machine.step(p);
        EXPECT_EQ(machine.phase(), LoadPhase::Receiving);
        EXPECT_TRUE(running(Stopwatch::Receive));
    }
}

TEST_F(PhaseMachineTest, ErrorResetsTheWatchesFromAnyPhase) {
    plainTransfer();
    machine.step(LoadPhase::Error);
    EXPECT_EQ(machine.phase(), LoadPhase::Error);
    EXPECT_EQ(time(Stopwatch::Connect), 0u);
    EXPECT_EQ(time(Stopwatch::Receive), 0u);
}

TEST_F(PhaseMachineTest, FinalPhasesTakeAnyPhaseWithoutTouchingTheWatches) {
    for (LoadPhase final : {LoadPhase::Completed, LoadPhase::Error, LoadPhase::Skipped}) {
        plainTransfer();
        machine.settle(final);
        machine.step(LoadPhase::Sending);
        EXPECT_EQ(machine.phase(), LoadPhase::Sending);
        EXPECT_EQ(time(Stopwatch::Receive), 50u);
        EXPECT_FALSE(running(Stopwatch::Send));
    }
}

// A phase reported before the response is awaited, other than the one that moves the transfer
// on: the item shows it and the running stopwatch goes on; an error resets every stopwatch.
struct EarlyPhaseCase {
    LoadPhase from;
    LoadPhase to;
};

void PrintTo(const EarlyPhaseCase& c, std::ostream* os) {
    *os << static_cast<int>(c.from) << "->" << static_cast<int>(c.to);
}

class PhaseMachineEarlyPhases : public PhaseMachineTest,
                                public ::testing::WithParamInterface<EarlyPhaseCase> {
protected:
    // Brings the machine to `from` after 5 ms in it; returns the stopwatch then running.
    Stopwatch enter(LoadPhase from) {
        machine.begin();
        if (from == LoadPhase::Redirecting) machine.step(LoadPhase::Redirecting);
        if (from == LoadPhase::Sending) machine.step(LoadPhase::Sending);
        EXPECT_EQ(machine.phase(), from);
        clock.advance(5);
        return from == LoadPhase::Sending ? Stopwatch::Send : Stopwatch::Connect;
    }
};

TEST_P(PhaseMachineEarlyPhases, OtherPhasesAreShownAndTheRunningWatchGoesOn) {
    const Stopwatch watch = enter(GetParam().from);
    const std::vector<std::string> callsBefore = hooks.calls;
    machine.step(GetParam().to);
    EXPECT_EQ(machine.phase(), GetParam().to);
    EXPECT_TRUE(running(watch));
    clock.advance(7);
    machine.stopAll();
    EXPECT_EQ(time(watch), 12u);
    EXPECT_EQ(hooks.calls, callsBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PhaseMachineEarlyPhases,
    ::testing::Values(EarlyPhaseCase{LoadPhase::Connecting, LoadPhase::Ready},
                      EarlyPhaseCase{LoadPhase::Connecting, LoadPhase::Redirecting},
                      EarlyPhaseCase{LoadPhase::Connecting, LoadPhase::Receiving},
                      EarlyPhaseCase{LoadPhase::Connecting, LoadPhase::Completed},
                      EarlyPhaseCase{LoadPhase::Connecting, LoadPhase::Skipped},
                      EarlyPhaseCase{LoadPhase::Redirecting, LoadPhase::Ready},
                      EarlyPhaseCase{LoadPhase::Redirecting, LoadPhase::Connecting},
                      EarlyPhaseCase{LoadPhase::Redirecting, LoadPhase::Receiving},
                      EarlyPhaseCase{LoadPhase::Redirecting, LoadPhase::Completed},
                      EarlyPhaseCase{LoadPhase::Redirecting, LoadPhase::Skipped},
                      EarlyPhaseCase{LoadPhase::Sending, LoadPhase::Ready},
                      EarlyPhaseCase{LoadPhase::Sending, LoadPhase::Connecting},
                      EarlyPhaseCase{LoadPhase::Sending, LoadPhase::Redirecting},
                      EarlyPhaseCase{LoadPhase::Sending, LoadPhase::Completed},
                      EarlyPhaseCase{LoadPhase::Sending, LoadPhase::Skipped}));

TEST_F(PhaseMachineTest, ErrorBeforeTheResponseStopsAndClearsEveryWatch) {
    for (LoadPhase from : {LoadPhase::Connecting, LoadPhase::Redirecting, LoadPhase::Sending}) {
        SCOPED_TRACE(static_cast<int>(from));
        PhaseMachine fresh(clock, hooks);
        fresh.begin();
        clock.advance(3);
        if (from != LoadPhase::Connecting) fresh.step(from);
        clock.advance(4);
        fresh.step(LoadPhase::Error);
        EXPECT_EQ(fresh.phase(), LoadPhase::Error);
        clock.advance(9);
        fresh.stopAll();
        for (Stopwatch w :
             {Stopwatch::Connect, Stopwatch::Send, Stopwatch::Wait, Stopwatch::Receive}) {
            EXPECT_FALSE(fresh.timers().running(w));
            EXPECT_EQ(fresh.timers().elapsed(w), 0u);
        }
    }
}

TEST_F(PhaseMachineTest, BeginStartsAfreshAndResetReturnsToReady) {
    plainTransfer();
    machine.begin();
    EXPECT_EQ(machine.phase(), LoadPhase::Connecting);
    EXPECT_EQ(time(Stopwatch::Wait), 0u);
    EXPECT_TRUE(running(Stopwatch::Connect));
    machine.reset();
    EXPECT_EQ(machine.phase(), LoadPhase::Ready);
    EXPECT_FALSE(running(Stopwatch::Connect));
}

TEST_F(PhaseMachineTest, IntervalsAcrossTheTickWrapStayRight) {
    clock.set(0xFFFFFFF0u);
    machine.begin();
    clock.advance(0x20);  // wraps to 0x10
    machine.step(LoadPhase::Sending);
    EXPECT_EQ(time(Stopwatch::Connect), 0x20u);
}

TEST(PhaseTimers, AccumulatedTimeSaturatesInsteadOfWrapping) {
    engine::PhaseTimers timers;
    timers.start(Stopwatch::Receive, 0);
    timers.stopAll(0xFFFFFFFFu);
    timers.start(Stopwatch::Receive, 0);
    timers.stopAll(100);
    EXPECT_EQ(timers.elapsed(Stopwatch::Receive), 0xFFFFFFFFu);
}

TEST(PhaseTimers, StartingARunningWatchKeepsItsStart) {
    engine::PhaseTimers timers;
    timers.start(Stopwatch::Connect, 100);
    timers.start(Stopwatch::Connect, 150);
    timers.stopAll(200);
    EXPECT_EQ(timers.elapsed(Stopwatch::Connect), 100u);
}

}  // namespace
