#include "engine/figures/NetworkLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LineCase {
    const char* text;
    const char* name;
    std::uint64_t down, up;
    std::uint32_t rtt;
};

class ParseLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseLine, GivesTheLine) {
    const LineCase c = GetParam();
    std::string error;
    const auto line = engine::parseNetworkLine(c.text, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(*line, (engine::NetworkLine{c.name, c.down, c.up, c.rtt}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseLine,
    ::testing::Values(LineCase{"Slow 4G", "Slow 4G", 1600000, 750000, 150},
                      LineCase{"  fibre ", "Fibre", 20000000, 5000000, 4},
                      LineCase{"SLOW 3G", "Slow 3G", 400000, 400000, 400},
                      LineCase{"1.6M/750K/150", "1.6M/750K/150", 1600000, 750000, 150},
                      LineCase{"2g/0.5m/0", "2g/0.5m/0", 2000000000, 500000, 0},
                      LineCase{"56000/33600/120ms", "56000/33600/120ms", 56000, 33600, 120},
                      LineCase{" 1 / 1 / 60000 ", "1 / 1 / 60000", 1, 1, 60000},
                      LineCase{"100G/100G/1", "100G/100G/1", 100000000000, 100000000000, 1}));

struct BadCase {
    const char* text;
    const char* message;  // the start of the error
};

class RefuseLine : public ::testing::TestWithParam<BadCase> {};

TEST_P(RefuseLine, SaysWhatIsWrong) {
    const BadCase c = GetParam();
    std::string error;
    EXPECT_FALSE(engine::parseNetworkLine(c.text, error));
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefuseLine,
    ::testing::Values(BadCase{"", "unknown line"}, BadCase{"Slow 5G", "unknown line"},
                      BadCase{"1M/1M", "unknown line"}, BadCase{"1M/1M/1/1", "unknown line"},
                      BadCase{"0/1M/10", "bad bandwidth"}, BadCase{"1M/-1M/10", "bad bandwidth"},
                      BadCase{"1T/1M/10", "bad bandwidth"}, BadCase{"101G/1M/10", "bad bandwidth"},
                      BadCase{"1.2.3M/1M/10", "bad bandwidth"},
                      BadCase{"1e6/1M/10", "bad bandwidth"}, BadCase{"M/1M/10", "bad bandwidth"},
                      BadCase{"1M/1M/60001", "bad round trip"},
                      BadCase{"1M/1M/1.5", "bad round trip"}, BadCase{"1M/1M/", "bad round trip"}));

// The named lines are the ones users know, each with a distinct name and a real line.
TEST(NamedLines, AreTheEightOfTodayFastestFirst) {
    ASSERT_EQ(engine::namedLines().size(), 8u);
    EXPECT_EQ(engine::namedLines().front().name, "Fibre");
    EXPECT_EQ(engine::namedLines().back().name, "Slow 3G");
    for (const engine::NetworkLine& line : engine::namedLines()) {
        std::string error;
        EXPECT_EQ(engine::parseNetworkLine(line.name, error), line);
        EXPECT_GT(line.downBitsPerSecond, 0u);
        EXPECT_GT(line.upBitsPerSecond, 0u);
    }
}

}  // namespace
