#include "engine/figures/BrowserSimulation.h"

#include <gtest/gtest.h>

#include "engine/figures/ConnectionSpeed.h"

namespace {

using engine::BrowserSimulation;
using Node = BrowserSimulation::Node;

TEST(ConnectionTable, RowsInDisplayOrder) {
    ASSERT_EQ(engine::kConnectionSpeeds.size(), 11u);
    EXPECT_EQ(engine::kConnectionSpeeds[0].name, "Actual Speed");
    EXPECT_EQ(engine::kConnectionSpeeds[0].bytesPerSecond, -1);
    EXPECT_EQ(engine::kConnectionSpeeds[7].name, "56K");
    EXPECT_EQ(engine::kConnectionSpeeds[7].bytesPerSecond, 7000);
    EXPECT_EQ(engine::kConnectionSpeeds[10].name, "14.4K");
    EXPECT_EQ(engine::kConnectionSpeeds[10].latencyMs, 300);
    EXPECT_FALSE(engine::isConnectionIndex(11));
    EXPECT_FALSE(engine::isConnectionIndex(-1));
}

TEST(BrowserSimulation, SingleDocument) {
    BrowserSimulation done;
    done.add({.level = 0, .pre = 100, .recv = 400 >> 1, .blocking = true});
    EXPECT_EQ(done.run().downloadTime, 300u);
    EXPECT_EQ(done.run().browseTime, 300u);

    BrowserSimulation failed;
    failed.add({.level = 0, .pre = 100, .recv = 200, .blocking = false});
    EXPECT_EQ(failed.run().downloadTime, 300u);
    EXPECT_EQ(failed.run().browseTime, 0u);
}

TEST(BrowserSimulation, FourLanesThenTheFirstToFree) {
    BrowserSimulation sim;
    const int root = sim.add({.level = 0, .pre = 10, .recv = 100, .blocking = true});
    // Five images referred from the same position, 100 into the document, the last one long.
    const std::uint32_t recv[] = {40, 10, 30, 20, 1000};
    for (std::uint32_t r : recv)
        sim.add({.level = 1, .pre = 5, .recv = r, .offset = 100, .parent = root});
    // Root: lane 0 ends at 110, when the images may start (10 + 100). Images 1-4 start there on
    // lanes 1, 2, 3 (raised from 0) and 0, ending at 155, 125, 145 and 135. The fifth takes
    // lane 2, free first, and ends at 125 + 1005; on any other lane it would end at 1140, 1160
    // or 1150, and without the wait for the document's bytes at 1040.
    const auto result = sim.run();
    EXPECT_EQ(result.downloadTime, 1130u);
    EXPECT_EQ(result.browseTime, 110u);
}

TEST(BrowserSimulation, ChildrenWaitForTheirParentsBytes) {
    BrowserSimulation sim;
    const int doc = sim.add({.level = 0, .pre = 20, .recv = 1000, .blocking = true});
    const int frame = sim.add(
        {.level = 1, .pre = 10, .recv = 200, .offset = 900, .parent = doc, .blocking = true});
    sim.add({.level = 2, .pre = 0, .recv = 500, .offset = 100, .parent = frame});
    // The frame waits until 20 + 900 and starts receiving at 930 (done at 1130); its image, not
    // blocking, waits for 930 + 100 and ends at 1530.
    const auto result = sim.run();
    EXPECT_EQ(result.downloadTime, 1530u);
    EXPECT_EQ(result.browseTime, 1130u);
}

TEST(BrowserSimulation, ReportsWhereEachNodeRan) {
    BrowserSimulation sim;
    const int root = sim.add({.level = 0, .pre = 10, .recv = 100, .blocking = true});
    const std::uint32_t recv[] = {40, 10, 30, 20, 1000};
    for (std::uint32_t r : recv)
        sim.add({.level = 1, .pre = 5, .recv = r, .offset = 100, .parent = root});
    const auto result = sim.run();
    ASSERT_EQ(result.placements.size(), 6u);
    struct Expected {
        int lane;
        std::uint32_t begin, start, end;
    };
    // As in FourLanesThenTheFirstToFree: the fifth image waits for lane 2, free at 125.
    const Expected expected[] = {{0, 0, 10, 110},    {1, 110, 115, 155}, {2, 110, 115, 125},
                                 {3, 110, 115, 145}, {0, 110, 115, 135}, {2, 125, 130, 1130}};
    for (std::size_t i = 0; i < 6; ++i) {
        const BrowserSimulation::Placement& p = result.placements[i];
        EXPECT_EQ(p.lane, expected[i].lane) << i;
        EXPECT_EQ(p.begin, expected[i].begin) << i;
        EXPECT_EQ(p.start, expected[i].start) << i;
        EXPECT_EQ(p.end, expected[i].end) << i;
        EXPECT_EQ(p.turn, static_cast<int>(i)) << i;
        EXPECT_EQ(p.blocking, i == 0) << i;
    }
}

TEST(BrowserSimulation, TurnsFollowTheLevelsNotTheWalk) {
    BrowserSimulation sim;
    const int root = sim.add({.level = 0, .pre = 1, .recv = 10});
    const int frame = sim.add({.level = 1, .pre = 1, .recv = 10, .parent = root});
    sim.add({.level = 2, .pre = 1, .recv = 10, .parent = frame});
    sim.add({.level = 1, .pre = 1, .recv = 10, .parent = root});
    const auto result = sim.run();
    EXPECT_EQ(result.placements[0].turn, 0);
    EXPECT_EQ(result.placements[1].turn, 1);
    EXPECT_EQ(result.placements[2].turn, 3);  // the frame's image after the root's last element
    EXPECT_EQ(result.placements[3].turn, 2);
}

TEST(BrowserSimulation, PlacementsSaturateLikeThePageTimes) {
    BrowserSimulation sim;
    sim.add({.level = 0, .pre = UINT32_MAX, .recv = UINT32_MAX});
    const auto result = sim.run();
    EXPECT_EQ(result.placements[0].start, UINT32_MAX);
    EXPECT_EQ(result.placements[0].end, UINT32_MAX);
    EXPECT_EQ(result.downloadTime, UINT32_MAX);
}

TEST(BrowserSimulation, OffsetsUseWideArithmetic) {
    EXPECT_EQ(BrowserSimulation::offsetFor(100000, 3000000, 4000000), 75000u);
    EXPECT_EQ(BrowserSimulation::offsetFor(500, 10, 0), 0u);
    EXPECT_EQ(BrowserSimulation::offsetFor(UINT32_MAX, UINT32_MAX, 1), UINT32_MAX);
}

TEST(BrowserSimulation, EmptyPage) {
    BrowserSimulation sim;
    EXPECT_EQ(sim.run().downloadTime, 0u);
    EXPECT_EQ(sim.run().browseTime, 0u);
}

}  // namespace
