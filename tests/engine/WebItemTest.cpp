#include "engine/items/WebItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using engine::LoadPhase;
using engine::ManualClock;
using engine::ParsedUrl;
using engine::Stopwatch;
using engine::TransferOutcome;
using engine::WebItem;

// An item kind that reports its hooks, as the items of a page do.
class ObservedItem : public WebItem {
public:
    using WebItem::WebItem;
    std::vector<std::string> events;

protected:
    void connected() override { events.push_back("connected"); }
    void requestSent() override { events.push_back("requestSent"); }
    void responseDone() override { events.push_back("responseDone"); }
    void redirectHook(const std::string& url) override {
        events.push_back("redirect " + url);
        WebItem::redirectHook(url);
    }
    void redirected(const std::string& url) override { events.push_back("redirected " + url); }
};

TEST(WebItem, StartsReadyAndNew) {
    WebItem item(ParsedUrl::parse("http://h/a.gif"));
    EXPECT_EQ(item.phase(), LoadPhase::Ready);
    EXPECT_TRUE(item.isNew());
    EXPECT_FALSE(item.isDuplicate());
    EXPECT_EQ(item.acceptPattern(), "*/*");
    EXPECT_EQ(item.size(), 0u);
    EXPECT_EQ(*item.body(), "");
}

TEST(WebItem, AnAddressThatFailsToParseIsAnErrorAtOnce) {
    WebItem item(ParsedUrl::parse("ftp://h/x"));
    EXPECT_EQ(item.phase(), LoadPhase::Error);
}

TEST(WebItem, IdsCountUpFromOneProcessWideCounter) {
    WebItem a(ParsedUrl::parse("http://h/1"));
    WebItem b(ParsedUrl::parse("http://h/2"));
    EXPECT_EQ(b.id(), a.id() + 1);
}

TEST(WebItem, PhaseNotificationsDriveTheMachineAndHooks) {
    ManualClock clock;
    ObservedItem item(ParsedUrl::parse("http://h/"), clock);
    item.beginTransfer(item.address());
    clock.advance(10);
    item.phaseNotification(LoadPhase::Sending, "");
    item.phaseNotification(LoadPhase::Sending, "");  // repeated: ignored
    clock.advance(1);
    item.phaseNotification(LoadPhase::Receiving, "");
    clock.advance(100);
    item.firstResponseByte();
    clock.advance(5);
    item.phaseNotification(LoadPhase::Redirecting, "http://h/next");
    EXPECT_EQ(item.phase(), LoadPhase::Redirecting);
    EXPECT_EQ(item.events,
              (std::vector<std::string>{"connected", "requestSent", "redirect http://h/next",
                                        "redirected http://h/next", "responseDone"}));
    EXPECT_EQ(item.timers().elapsed(Stopwatch::Connect), 10u);
    EXPECT_EQ(item.timers().elapsed(Stopwatch::Wait), 100u);
    EXPECT_EQ(item.timers().elapsed(Stopwatch::Receive), 5u);
}

TEST(WebItem, EndOfTransferPublishesTheOutcome) {
    ManualClock clock;
    WebItem item(ParsedUrl::parse("http://h/page"), clock);
    item.beginTransfer(item.address());
    clock.advance(7);
    TransferOutcome outcome;
    outcome.statusCode = 200;
    outcome.contentKind = engine::ContentKind::Html;
    outcome.contentType = "text/html";
    outcome.body = "<html></html>";
    outcome.received = 13;
    item.endTransfer(outcome);
    EXPECT_EQ(item.phase(), LoadPhase::Completed);
    EXPECT_EQ(item.timers().elapsed(Stopwatch::Connect), 7u);
    EXPECT_FALSE(item.timers().running(Stopwatch::Connect));
    EXPECT_EQ(*item.body(), "<html></html>");
    EXPECT_EQ(item.size(), 13u);
    EXPECT_EQ(item.errorText(), "No error.");
}

// What a list shows of a running transfer: the stopwatches up to now, the running one
// included, and the body bytes so far; the size and the stopped sums once it ended, and a
// count from zero again when the next transfer begins.
TEST(WebItem, ProgressSoFarFollowsTheRunningTransfer) {
    ManualClock clock;
    WebItem item(ParsedUrl::parse("http://h/page"), clock);
    item.beginTransfer(item.address());
    clock.advance(40);
    item.phaseNotification(LoadPhase::Sending, "");
    clock.advance(25);
    item.bodyProgress(700);
    EXPECT_EQ(item.elapsedSoFar(), 65u);
    EXPECT_EQ(item.receivedSoFar(), 700u);
    EXPECT_EQ(item.size(), 0u);

    TransferOutcome outcome;
    outcome.received = 900;
    item.endTransfer(outcome);
    clock.advance(1000);
    EXPECT_EQ(item.elapsedSoFar(), 65u);
    EXPECT_EQ(item.receivedSoFar(), 900u);

    item.beginTransfer(item.address());
    EXPECT_EQ(item.receivedSoFar(), 0u);
}

TEST(WebItem, BodiesHandedOutStayValidAcrossTheNextTransfer) {
    WebItem item(ParsedUrl::parse("http://h/page"));
    item.beginTransfer(item.address());
    TransferOutcome first;
    first.body = "first";
    item.endTransfer(first);
    const auto held = item.body();
    item.beginTransfer(item.address());
    EXPECT_EQ(*item.body(), "");
    EXPECT_EQ(*held, "first");
}

TEST(WebItem, ErrorTextUsesTheStatusForHttpFailures) {
    WebItem item(ParsedUrl::parse("http://h/"));
    TransferOutcome outcome;
    outcome.result = -1;
    outcome.statusCode = 404;
    outcome.phase = LoadPhase::Error;
    item.endTransfer(outcome);
    EXPECT_EQ(item.errorText(),
              "The server has not found anything matching the requested URI (Uniform Resource "
              "Identifier).");
    outcome.result = 12007;
    item.endTransfer(outcome);
    EXPECT_EQ(item.errorText(), "The server name could not be resolved.");
}

TEST(ElementStats, MeasuredRecordOfATransfer) {
    ManualClock clock;
    WebItem item(ParsedUrl::parse("http://h:8080"), clock);
    item.beginTransfer(item.address());
    clock.advance(10);
    item.phaseNotification(LoadPhase::Sending, "");
    clock.advance(2);
    item.phaseNotification(LoadPhase::Receiving, "");
    clock.advance(30);
    item.firstResponseByte();
    clock.advance(500);
    TransferOutcome outcome;
    outcome.result = -1;  // an error page still has its figures
    outcome.statusCode = 500;
    outcome.contentKind = engine::ContentKind::Html;
    outcome.contentType = "text/html";
    outcome.body = std::string(1000, 'x');
    outcome.received = 1000;
    outcome.phase = LoadPhase::Error;
    item.endTransfer(outcome);
    item.fillActualStats();

    const engine::ElementStats s = item.actualStats();
    EXPECT_EQ(s.connectTime, 10u);
    EXPECT_EQ(s.sendTime, 2u);
    EXPECT_EQ(s.waitTime, 30u);
    EXPECT_EQ(s.receiveTime, 500u);
    EXPECT_EQ(s.totalTime, 542u);
    EXPECT_EQ(s.size, 1000u);
    EXPECT_EQ(s.timeWithChildren, 542u);
    EXPECT_EQ(s.sizeWithChildren, 1000u);
    EXPECT_DOUBLE_EQ(s.speed, 2000.0);
    EXPECT_EQ(s.objectPath, "/");
    EXPECT_EQ(s.host, "h");
    EXPECT_EQ(s.port, 8080);
    EXPECT_EQ(s.contentType, "text/html");
}

TEST(ElementStats, SpeedWithoutReceiveTimeAndSaturatedTotal) {
    engine::PhaseTimers::Snapshot times{};
    times[0].elapsed = 0xFFFFFFF0u;
    times[1].elapsed = 0x100u;
    const auto s = engine::ElementStats::measured(times, 300, ParsedUrl::parse("http://h/a"),
                                                  engine::ContentKind::Gif, "image/gif");
    EXPECT_DOUBLE_EQ(s.speed, 300000.0);
    EXPECT_EQ(s.totalTime, 0xFFFFFFFFu);
    EXPECT_EQ(s.objectPath, "a");
}

}  // namespace
