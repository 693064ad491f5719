#include "engine/figures/PageFigures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/items/ItemRegistry.h"
#include "engine/items/WebItem.h"

namespace {

using engine::ContentKind;
using engine::ItemRegistry;
using engine::LoadPhase;
using engine::ManualClock;
using engine::PageFigures;
using engine::ParsedUrl;
using engine::WebItem;

constexpr int kLan = 1;      // 1250000 bytes/s, 10 ms
constexpr int kIsdn64 = 6;   // 8000 bytes/s, 150 ms
constexpr int kModem56 = 7;  // 7000 bytes/s, 200 ms

struct Phases {
    std::uint32_t connect = 0, send = 0, wait = 0, receive = 0;
};

// An item whose transfer ran on a manual clock with the given phase times and body size.
std::shared_ptr<WebItem> measured(ManualClock& clock, const std::string& path,
                                  const std::string& type, std::uint32_t size, Phases t = {},
                                  LoadPhase end = LoadPhase::Completed) {
    auto item = std::make_shared<WebItem>(ParsedUrl::parse("http://site.test" + path), clock);
    item->beginTransfer(item->address());
    clock.advance(t.connect);
    item->phaseNotification(LoadPhase::Sending, "");
    clock.advance(t.send);
    item->phaseNotification(LoadPhase::Receiving, "");
    clock.advance(t.wait);
    item->firstResponseByte();
    clock.advance(t.receive);
    engine::TransferOutcome outcome;
    outcome.statusCode = 200;
    outcome.contentType = type;
    outcome.contentKind = engine::classify(type);
    outcome.received = size;
    outcome.phase = end;
    item->endTransfer(std::move(outcome));
    item->fillActualStats();
    return item;
}

class SpeedModel : public ::testing::Test {
protected:
    ManualClock clock_;
    ItemRegistry registry_;
};

TEST_F(SpeedModel, RestatesSevenThousandBytesForTheModem) {
    const auto item = measured(clock_, "/a.gif", "image/gif", 7000, {30, 1, 40, 100});
    const engine::ElementStats s = engine::statsFor(*item, kModem56);
    EXPECT_EQ(s.connectTime, 200u);
    EXPECT_EQ(s.sendTime, 0u);
    EXPECT_EQ(s.waitTime, 0u);
    EXPECT_EQ(s.receiveTime, 5200u);
    EXPECT_EQ(s.totalTime, 5400u);
    EXPECT_NEAR(s.speed, 1346.15, 0.01);
    EXPECT_EQ(s.size, 7000u);
    EXPECT_EQ(s.urlText, "http://site.test/a.gif");

    // Index 0 is the measurement itself.
    const engine::ElementStats actual = engine::statsFor(*item, engine::kActualSpeed);
    EXPECT_EQ(actual.connectTime, 30u);
    EXPECT_EQ(actual.waitTime, 40u);
    EXPECT_EQ(actual.receiveTime, 100u);
    EXPECT_EQ(actual.totalTime, 171u);
}

TEST_F(SpeedModel, AnEmptyItemTakesTheLatencyTwice) {
    const auto item = measured(clock_, "/empty", "text/plain", 0, {5, 5, 5, 5});
    for (int k = 1; k < engine::kConnectionCount; ++k) {
        const auto latency = static_cast<std::uint32_t>(engine::kConnectionSpeeds[k].latencyMs);
        const engine::ElementStats s = engine::statsFor(*item, k);
        EXPECT_EQ(s.receiveTime, latency) << k;
        EXPECT_EQ(s.totalTime, 2 * latency) << k;
        EXPECT_EQ(s.speed, 0.0) << k;
    }
}

TEST_F(SpeedModel, LargeItemOnIsdnDoesNotOverflow) {
    const auto item = measured(clock_, "/big.jpg", "image/jpeg", 200000);
    EXPECT_EQ(engine::statsFor(*item, kIsdn64).receiveTime, 125150u);
}

TEST_F(SpeedModel, APageOfOneDocumentDownloadsInPreAndHalfTheReceive) {
    const auto root = measured(clock_, "/", "text/html", 7000);
    ItemRegistry::Node* node = registry_.add(root, nullptr, 0);
    const PageFigures f = engine::computePage(registry_, node, kModem56);
    EXPECT_EQ(f.downloadTime, 200u + 5200u / 2);
    EXPECT_EQ(f.browseTime, f.downloadTime);  // a completed document holds up display
    EXPECT_EQ(f.pageTime, 5400u);
    EXPECT_EQ(f.pageSize, 7000u);

    // A document that did not complete holds nothing up.
    const auto failed = measured(clock_, "/x", "text/html", 7000, {}, LoadPhase::Error);
    const PageFigures g =
        engine::computePage(registry_, registry_.add(failed, nullptr, 0), kModem56);
    EXPECT_EQ(g.downloadTime, 2800u);
    EXPECT_EQ(g.browseTime, 0u);
}

TEST_F(SpeedModel, FiveImagesFromOnePlaceStartFourAtOnceAndTheFifthOnTheFirstFreeLane) {
    // On the LAN row: the 12500-byte document receives in 60 ms (30 shown), so images referred
    // to from its middle may start 30 ms after its own receive began.
    const auto root = measured(clock_, "/", "text/html", 12500);
    ItemRegistry::Node* node = registry_.add(root, nullptr, 0);
    // Receive times on this row are 10 ms plus 4 ms for every thousand bytes.
    const std::uint32_t sizes[] = {7500, 0, 5000, 2500, 250000};
    for (int i = 0; i < 5; ++i) {
        const auto image =
            measured(clock_, "/i" + std::to_string(i) + ".gif", "image/gif", sizes[i]);
        registry_.add(image, root.get(), 6250);
    }
    const PageFigures f = engine::computePage(registry_, node, kLan);
    // Root on lane 0 until 40 (starts receiving at 10). Images 1-4 all start at 40 on lanes
    // 1, 2, 3 and 0, ending at 90, 60, 80 and 70. The long fifth one takes lane 2, free first at
    // 60, and ends the page at 60 + 10 + 1010; on lane 0, 1 or 3 it would end at 1090, 1110 or
    // 1100, and without the wait for the document's bytes at 1060.
    EXPECT_EQ(f.downloadTime, 1080u);
    EXPECT_EQ(f.browseTime, 40u);
    ASSERT_EQ(f.items.size(), 6u);
    EXPECT_EQ(f.items[0].level, 0);
    EXPECT_EQ(f.items[0].parent, -1);
    for (std::size_t i = 1; i < 6; ++i) {
        EXPECT_EQ(f.items[i].level, 1);
        EXPECT_EQ(f.items[i].parent, 0);
    }
}

TEST_F(SpeedModel, SubtreeValuesAndSharesAddUpOverThePage) {
    const auto root = measured(clock_, "/", "text/html", 1000, {0, 0, 0, 40});
    const auto frame = measured(clock_, "/f.html", "text/html", 500, {0, 0, 0, 30});
    const auto inFrame = measured(clock_, "/f.gif", "image/gif", 250, {0, 0, 0, 20});
    const auto image = measured(clock_, "/r.gif", "image/gif", 250, {0, 0, 0, 10});
    ItemRegistry::Node* node = registry_.add(root, nullptr, 0);
    registry_.add(frame, root.get(), 10);
    registry_.add(inFrame, frame.get(), 5);
    registry_.add(image, root.get(), 20);

    const PageFigures f = engine::computePage(registry_, node, engine::kActualSpeed);
    ASSERT_EQ(f.items.size(), 4u);  // depth first: root, frame, its image, the root's image
    EXPECT_EQ(f.items[1].item, frame);
    EXPECT_EQ(f.items[2].item, inFrame);
    EXPECT_EQ(f.items[2].level, 2);
    EXPECT_EQ(f.items[2].parent, 1);
    EXPECT_EQ(f.pageSize, 2000u);
    EXPECT_EQ(f.pageTime, 100u);
    EXPECT_EQ(f.items[0].stats.sizeWithChildren, 2000u);
    EXPECT_EQ(f.items[0].stats.timeWithChildren, 100u);
    EXPECT_EQ(f.items[1].stats.sizeWithChildren, 750u);
    EXPECT_EQ(f.items[1].stats.timeWithChildren, 50u);
    EXPECT_EQ(f.items[3].stats.sizeWithChildren, 250u);
    EXPECT_DOUBLE_EQ(f.items[0].stats.percentSize, 0.5);
    EXPECT_DOUBLE_EQ(f.items[1].stats.percentTime, 0.3);
    EXPECT_DOUBLE_EQ(f.items[1].stats.percentSizeWithChildren, 0.375);
    EXPECT_DOUBLE_EQ(f.items[0].stats.percentTimeWithChildren, 1.0);
}

TEST_F(SpeedModel, SharesOfAnEmptyPageAreZero) {
    const auto root = measured(clock_, "/", "text/html", 0);
    const auto image = measured(clock_, "/a.gif", "image/gif", 0);
    ItemRegistry::Node* node = registry_.add(root, nullptr, 0);
    registry_.add(image, root.get(), 0);
    const PageFigures f = engine::computePage(registry_, node, engine::kActualSpeed);
    for (const auto& item : f.items) {
        EXPECT_EQ(item.stats.percentSize, 0.0);
        EXPECT_EQ(item.stats.percentTime, 0.0);
        EXPECT_EQ(item.stats.percentSizeWithChildren, 0.0);
        EXPECT_EQ(item.stats.percentTimeWithChildren, 0.0);
    }
}

TEST_F(SpeedModel, PageSumsSaturateInsteadOfWrapping) {
    const auto root = measured(clock_, "/", "text/html", 3000000000u);
    const auto image = measured(clock_, "/a.gif", "image/gif", 3000000000u);
    ItemRegistry::Node* node = registry_.add(root, nullptr, 0);
    registry_.add(image, root.get(), 0);
    const PageFigures f = engine::computePage(registry_, node, engine::kActualSpeed);
    EXPECT_EQ(f.pageSize, UINT32_MAX);
    EXPECT_EQ(f.items[0].stats.sizeWithChildren, UINT32_MAX);
    EXPECT_DOUBLE_EQ(f.items[1].stats.percentSize, 0.5);
}

TEST_F(SpeedModel, NoRootGivesEmptyFigures) {
    const PageFigures f = engine::computePage(registry_, nullptr, kLan);
    EXPECT_TRUE(f.items.empty());
    EXPECT_EQ(f.downloadTime, 0u);
}

}  // namespace
