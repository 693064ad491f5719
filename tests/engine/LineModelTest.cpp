#include "engine/figures/LineModel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/base/Clock.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/http/TransferResult.h"
#include "engine/items/ItemRegistry.h"
#include "engine/items/WebItem.h"

namespace {

using engine::ItemRegistry;
using engine::LineFigures;
using engine::LoadPhase;
using engine::NetworkLine;
using engine::WebItem;

struct Measured {
    std::uint32_t connect = 5, wait = 5, receive = 10;  // wait less connect: no server time
};

// Pages built item by item in one registry, measured on a manual clock, then modelled.
class LineModelPage : public ::testing::Test {
protected:
    ItemRegistry::Node* add(ItemRegistry::Node* parent, const std::string& address,
                            const std::string& type, std::uint32_t size, std::uint32_t position = 0,
                            Measured t = {}) {
        auto item = std::make_shared<WebItem>(engine::ParsedUrl::parse(address), clock_);
        item->beginTransfer(item->address());
        clock_.advance(t.connect);
        item->phaseNotification(LoadPhase::Sending, "");
        item->phaseNotification(LoadPhase::Receiving, "");
        clock_.advance(t.wait);
        item->firstResponseByte();
        clock_.advance(t.receive);
        engine::TransferOutcome outcome;
        outcome.statusCode = 200;
        outcome.contentType = type;
        outcome.contentKind = engine::classify(type);
        outcome.received = size;
        item->endTransfer(std::move(outcome));
        item->fillActualStats();
        ItemRegistry::Node* node = parent == nullptr ? registry_.add(item, nullptr, 0)
                                                     : registry_.addUnder(item, parent, position);
        if (root_ == nullptr) root_ = node;
        return node;
    }

    LineFigures model(const std::string& lineText, const engine::BrowserCost& cost = {}) {
        std::string error;
        const auto line = engine::parseNetworkLine(lineText, error);
        EXPECT_TRUE(line) << error;
        const LineFigures figures = engine::modelLine(
            engine::computePage(registry_, root_, engine::kActualSpeed), *line, cost);
        // Whatever the page, each row's parts lie end to end from its start to its end, and the
        // waterfall's times are the model's.
        for (const engine::WaterfallRow& row : figures.waterfall.rows)
            EXPECT_EQ(
                row.start + row.parts.connect + row.parts.send + row.parts.wait + row.parts.receive,
                row.end);
        EXPECT_EQ(figures.waterfall.downloadTime, figures.loadTime);
        EXPECT_EQ(figures.waterfall.browseTime, figures.renderTime);
        return figures;
    }

    engine::ManualClock clock_;
    ItemRegistry registry_;
    ItemRegistry::Node* root_ = nullptr;
};

// "Slow 4G": 1.6 Mbit/s = 200 bytes per ms, round trip 150 ms, bandwidth-delay product
// 200 × 150 = 30 000 bytes. A page of one 100 000-byte document, no server time:
//   name lookup 0 → 150, TCP 150 → 300, request sent at 300, first byte at 300 + 150 = 450;
//   round 1: 14 600 bytes (10 × 1460) take 73 ms → 523, then the window waits for the round
//            trip → 600;
//   round 2: 29 200 bytes take 146 ms → 746, next round at 600 + 150 = 750;
//   round 3: the window would be 58 400 but stops at 30 000: 150 ms → 900, no gap any more;
//   round 4: the last 100 000 − 73 800 = 26 200 bytes at the full line take 131 ms → 1031.
TEST_F(LineModelPage, OneLargeElementOnSlow4GGrowsItsWindowThenFillsTheLine) {
    add(nullptr, "http://site.test/", "text/html", 100000);
    const LineFigures figures = model("Slow 4G");
    ASSERT_EQ(figures.timings.size(), 1u);
    const engine::LineTiming& t = figures.timings[0];
    EXPECT_EQ(t.lookedUp, 150u);
    EXPECT_EQ(t.connected, 300u);
    EXPECT_EQ(t.secured, 300u);
    EXPECT_EQ(t.firstByte, 450u);
    EXPECT_EQ(t.end, 1031u);
    EXPECT_EQ(figures.loadTime, 1031u);
    EXPECT_EQ(figures.renderTime, 1031u);
}

// A line fast enough that empty responses take no time, round trip 100 ms. The empty document
// arrives at 300 (lookup, TCP, one round trip for the request). Of its seven elements the first
// reuses its connection and five open one each (100 ms of TCP, the name known): six on the
// host. The seventh waits for the first free one, the document's, free again at 400.
TEST_F(LineModelPage, SixConnectionsPerHostAndTheSeventhRequestWaits) {
    ItemRegistry::Node* root = add(nullptr, "http://site.test/", "text/html", 0);
    for (int i = 1; i <= 7; ++i)
        add(root, "http://site.test/" + std::to_string(i) + ".gif", "image/gif", 0);
    const LineFigures figures = model("1G/1G/100");
    ASSERT_EQ(figures.timings.size(), 8u);
    EXPECT_EQ(figures.timings[0].end, 300u);
    EXPECT_EQ(figures.timings[1].connection, 0);
    EXPECT_FALSE(figures.timings[1].newConnection);
    EXPECT_EQ(figures.timings[1].end, 400u);
    for (int i = 2; i <= 6; ++i) {
        const engine::LineTiming& t = figures.timings[static_cast<std::size_t>(i)];
        EXPECT_EQ(t.connection, i - 1);
        EXPECT_TRUE(t.newConnection);
        EXPECT_EQ(t.connected, 400u);
        EXPECT_EQ(t.end, 500u);
    }
    const engine::LineTiming& seventh = figures.timings[7];
    EXPECT_EQ(seventh.ready, 300u);
    EXPECT_EQ(seventh.taken, 400u);
    EXPECT_EQ(seventh.connection, 0);
    EXPECT_EQ(seventh.end, 500u);
    EXPECT_EQ(figures.loadTime, 500u);
}

// 800 kbit/s = 100 bytes per ms, round trip 10 ms: every window outlasts a round trip, so only
// the bandwidth limits. The 1000-byte document is sent at 20, arrives 30 → 40. Image A reuses
// its connection (first byte 50), image B opens one (TCP 40 → 50, first byte 60). A has the line
// alone for 10 ms (1000 bytes), then each gets 50 bytes per ms: A's other 19 000 bytes end at
// 60 + 380 = 440, by when B has 19 000; B's last 1000 at the whole line end at 450. Alone, each
// would have ended 200 ms after its first byte.
TEST_F(LineModelPage, TwoTransfersShareTheLine) {
    ItemRegistry::Node* root = add(nullptr, "http://site.test/", "text/html", 1000);
    add(root, "http://site.test/a.gif", "image/gif", 20000, 1000);
    add(root, "http://site.test/b.gif", "image/gif", 20000, 1000);
    const LineFigures figures = model("800K/800K/10");
    EXPECT_EQ(figures.timings[0].end, 40u);
    EXPECT_EQ(figures.timings[1].firstByte, 50u);
    EXPECT_EQ(figures.timings[2].firstByte, 60u);
    EXPECT_EQ(figures.timings[1].end, 440u);
    EXPECT_EQ(figures.timings[2].end, 450u);
    EXPECT_EQ(figures.loadTime, 450u);
    EXPECT_EQ(figures.renderTime, 40u);  // images do not hold up rendering
}

// The browser's own time on a line fast enough that empty responses take no time, round trip
// 100 ms, commit 15 ms, 10 ms per request. The document: lookup 0 → 100, TCP → 200, sent at
// 210, first byte and end at 310. Its elements are wanted at 310 + 15 = 325. The style sheet
// reuses the connection: sent 335, ends 435. The image opens one: TCP 325 → 425, sent 435,
// ends 535. Each row's send is the browser's 10 ms.
TEST_F(LineModelPage, TheBrowsersOwnTimeDelaysADocumentsRequestsAndEachRequest) {
    ItemRegistry::Node* root = add(nullptr, "http://site.test/", "text/html", 0);
    add(root, "http://site.test/a.css", "text/css", 0);
    add(root, "http://site.test/b.gif", "image/gif", 0);
    const LineFigures figures = model("1G/1G/100", {15, 10});
    ASSERT_EQ(figures.timings.size(), 3u);
    EXPECT_EQ(figures.timings[0].sent, 210u);
    EXPECT_EQ(figures.timings[0].end, 310u);
    EXPECT_EQ(figures.timings[1].ready, 325u);
    EXPECT_EQ(figures.timings[1].sent, 335u);
    EXPECT_EQ(figures.timings[1].end, 435u);
    EXPECT_EQ(figures.timings[2].connected, 425u);
    EXPECT_EQ(figures.timings[2].end, 535u);
    for (const engine::WaterfallRow& row : figures.waterfall.rows) EXPECT_EQ(row.parts.send, 10u);
    EXPECT_EQ(figures.renderTime, 435u);
}

// The commit holds a document's elements back only while their tags arrive sooner: as in
// TagOffset, with 15 ms of commit after the first byte at 30, the tag at byte 0 waits to 45;
// the tag at byte 10 000 arrives at 130, after the commit.
TEST_F(LineModelPage, TheCommitDelaysOnlyTheTagsThatArriveBeforeIt) {
    ItemRegistry::Node* root = add(nullptr, "http://site.test/", "text/html", 30000);
    add(root, "http://site.test/a.gif", "image/gif", 0, 0);
    add(root, "http://site.test/b.gif", "image/gif", 0, 10000);
    const LineFigures figures = model("800K/800K/10", {15, 0});
    EXPECT_EQ(figures.timings[1].ready, 45u);
    EXPECT_EQ(figures.timings[2].ready, 130u);
}

struct SchemeCase {
    const char* scheme;
    std::uint32_t documentConnect;  // lookup, TCP and TLS of the new connection
    std::uint32_t documentEnd, elementEnd;
};

class NewConnection : public LineModelPage, public ::testing::WithParamInterface<SchemeCase> {};

// Round trip 100 ms, empty responses. A new connection costs a lookup and TCP, on https a TLS
// round trip more; the element that reuses it pays only its request's round trip. On https, the
// document's first byte comes 400 ms in: two round trips more than the element's 100 ms.
TEST_P(NewConnection, CostsTheHandshakesOnce) {
    const SchemeCase c = GetParam();
    const Measured noWait{5, 0, 10};
    ItemRegistry::Node* root =
        add(nullptr, std::string(c.scheme) + "://site.test/", "text/html", 0, 0, noWait);
    add(root, std::string(c.scheme) + "://site.test/a.css", "text/css", 0, 0, noWait);
    const LineFigures figures = model("1G/1G/100");
    ASSERT_EQ(figures.waterfall.rows.size(), 2u);
    EXPECT_EQ(figures.waterfall.rows[0].parts.connect, c.documentConnect);
    EXPECT_EQ(figures.waterfall.rows[0].parts.wait, 100u);
    EXPECT_EQ(figures.waterfall.rows[1].parts.connect, 0u);
    EXPECT_EQ(figures.timings[0].end, c.documentEnd);
    EXPECT_EQ(figures.timings[1].end, c.elementEnd);
    EXPECT_EQ(figures.renderTime, c.elementEnd);  // the style sheet holds up rendering
}

INSTANTIATE_TEST_SUITE_P(Schemes, NewConnection,
                         ::testing::Values(SchemeCase{"http", 200, 300, 400},
                                           SchemeCase{"https", 300, 400, 500}));

struct OffsetCase {
    std::uint32_t position, ready;
};

class TagOffset : public LineModelPage, public ::testing::WithParamInterface<OffsetCase> {};

// 100 bytes per ms, round trip 10 ms: the 30 000-byte document's first byte arrives at 30 and
// its byte n at 30 + n / 100, its last at 330; an element is wanted when the bytes before its
// tag have arrived.
TEST_P(TagOffset, AnElementIsRequestedWhenItsTagHasArrived) {
    const OffsetCase c = GetParam();
    ItemRegistry::Node* root = add(nullptr, "http://site.test/", "text/html", 30000);
    add(root, "http://site.test/a.gif", "image/gif", 0, c.position);
    const LineFigures figures = model("800K/800K/10");
    EXPECT_EQ(figures.timings[1].ready, c.ready);
    EXPECT_EQ(figures.timings[0].end, 330u);
}

INSTANTIATE_TEST_SUITE_P(Offsets, TagOffset,
                         ::testing::Values(OffsetCase{0, 30}, OffsetCase{10000, 130},
                                           OffsetCase{20000, 230}, OffsetCase{30000, 330}));

// A frame's elements wait for the frame's bytes, not the page's: the frame (at the page's end,
// 330 as above) arrives on the page's connection, first byte 340, its element's tag at byte
// 500 of it: 345.
TEST_F(LineModelPage, AFramesElementsFollowTheFrame) {
    ItemRegistry::Node* root = add(nullptr, "http://site.test/", "text/html", 30000);
    ItemRegistry::Node* frame = add(root, "http://site.test/f.html", "text/html", 1000, 30000);
    add(frame, "http://site.test/f.gif", "image/gif", 0, 500);
    const LineFigures figures = model("800K/800K/10");
    EXPECT_EQ(figures.timings[1].firstByte, 340u);
    EXPECT_EQ(figures.timings[2].ready, 345u);
    EXPECT_EQ(figures.renderTime, 330u);  // a frame does not hold up its page
}

struct ServerCase {
    const char* scheme;
    Measured measured;
    std::uint32_t firstByte;
};

class ServerTime : public LineModelPage, public ::testing::WithParamInterface<ServerCase> {};

// Round trip 100 ms: the first byte comes a round trip after the request (sent at 200, on https
// 300), plus the measured wait less the measured round trip (the connect time, halved on https).
TEST_P(ServerTime, IsTheMeasuredWaitLessTheMeasuredRoundTrip) {
    const ServerCase c = GetParam();
    add(nullptr, std::string(c.scheme) + "://site.test/", "text/html", 0, 0, c.measured);
    EXPECT_EQ(model("1G/1G/100").timings[0].firstByte, c.firstByte);
}

INSTANTIATE_TEST_SUITE_P(Waits, ServerTime,
                         ::testing::Values(ServerCase{"http", {20, 50, 1}, 330},
                                           ServerCase{"https", {40, 50, 1}, 430},
                                           ServerCase{"http", {20, 10, 1}, 300}));

// An element met twice in a page is fetched once; the second costs nothing.
TEST_F(LineModelPage, AnElementMetAgainCostsNothing) {
    ItemRegistry::Node* root = add(nullptr, "http://site.test/", "text/html", 0);
    ItemRegistry::Node* image = add(root, "http://site.test/a.gif", "image/gif", 0);
    registry_.addUnder(image->item, root, 0);
    const LineFigures figures = model("1G/1G/100");
    ASSERT_EQ(figures.timings.size(), 3u);
    EXPECT_EQ(figures.timings[2].connection, -1);
    EXPECT_EQ(figures.timings[2].end, figures.timings[2].ready);
    EXPECT_EQ(figures.loadTime, 400u);
}

}  // namespace
