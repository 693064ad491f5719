#include "engine/figures/ConnectionSpeed.h"

#include <gtest/gtest.h>

namespace {

using engine::ElementStats;
using engine::restate;

ElementStats measuredRecord(std::uint32_t size) {
    ElementStats r;
    r.connectTime = 12;
    r.sendTime = 3;
    r.waitTime = 40;
    r.receiveTime = 25;
    r.totalTime = 80;
    r.size = size;
    r.urlText = "http://example.test/a.gif";
    r.host = "example.test";
    r.objectPath = "a.gif";
    r.port = 80;
    r.contentKind = engine::ContentKind::Gif;
    r.contentType = "image/gif";
    return r;
}

TEST(Restatement, ModemExample) {
    const ElementStats s = restate(measuredRecord(7000), 7);  // "56K"
    EXPECT_EQ(s.connectTime, 200u);
    EXPECT_EQ(s.sendTime, 0u);
    EXPECT_EQ(s.waitTime, 0u);
    EXPECT_EQ(s.receiveTime, 5200u);
    EXPECT_EQ(s.totalTime, 5400u);
    EXPECT_NEAR(s.speed, 1346.15, 0.01);
    EXPECT_EQ(s.size, 7000u);
    EXPECT_EQ(s.urlText, "http://example.test/a.gif");
    EXPECT_EQ(s.contentType, "image/gif");
}

TEST(Restatement, EmptyItemCostsTwiceTheLatency) {
    for (int k = 1; k < engine::kConnectionCount; ++k) {
        const ElementStats s = restate(measuredRecord(0), k);
        const auto latency = static_cast<std::uint32_t>(engine::kConnectionSpeeds[k].latencyMs);
        EXPECT_EQ(s.receiveTime, latency) << k;
        EXPECT_EQ(s.totalTime, 2 * latency) << k;
        EXPECT_EQ(s.speed, 0) << k;
    }
}

TEST(Restatement, LargeItemsNeedNoOverflow) {
    EXPECT_EQ(restate(measuredRecord(200000), 6).receiveTime, 125150u);  // "ISDN 64K"
    // 4 GiB - 1 bytes on 14.4K: the product exceeds 32 bits and the result saturates.
    EXPECT_EQ(restate(measuredRecord(UINT32_MAX), 10).receiveTime, UINT32_MAX);
    EXPECT_EQ(restate(measuredRecord(UINT32_MAX), 1).receiveTime, 17179879u);
}

TEST(Restatement, MeasuredIndexIsUnchanged) {
    const ElementStats r = measuredRecord(5000);
    const ElementStats s = restate(r, 0);
    EXPECT_EQ(s.connectTime, 12u);
    EXPECT_EQ(s.totalTime, 80u);
}

}  // namespace
