#include "report/TimeAxis.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct AxisCase {
    std::uint64_t span;
    int intervals;
    std::uint64_t step, end;
};

void PrintTo(const AxisCase& c, std::ostream* out) {
    *out << c.span << " ms in at most " << c.intervals;
}

class NiceAxis : public ::testing::TestWithParam<AxisCase> {};

INSTANTIATE_TEST_SUITE_P(
    TimeAxis, NiceAxis,
    ::testing::Values(AxisCase{0, 10, 1, 1},               // nothing timed: one millisecond
                      AxisCase{7, 10, 1, 7},               //
                      AxisCase{1250, 9, 200, 1400},        // the smallest step that fits
                      AxisCase{1250, 13, 100, 1300},       //
                      AxisCase{1000, 10, 100, 1000},       // a span on a tick ends there
                      AxisCase{894, 11, 100, 900},         //
                      AxisCase{141631, 6, 30000, 150000},  // seconds by halves of a minute
                      AxisCase{141631, 1, 300000, 300000},
                      AxisCase{7200000, 4, 1800000, 7200000},           // halves of an hour
                      AxisCase{7200000, 2, 3600000, 7200000},           // hours
                      AxisCase{UINT32_MAX, 5, 864000000, 4320000000u},  // 49.7 days
                      AxisCase{500, 0, 500, 500}));                     // at least one interval

TEST_P(NiceAxis, TakesTheSmallestRoundStepThatFits) {
    const report::TimeAxis axis = report::niceAxis(GetParam().span, GetParam().intervals);
    EXPECT_EQ(axis.step, GetParam().step);
    EXPECT_EQ(axis.end, GetParam().end);
    const auto ticks = axis.ticks();
    EXPECT_EQ(ticks.front(), 0u);
    EXPECT_EQ(ticks.back(), axis.end);
    EXPECT_EQ(ticks.size(), axis.end / axis.step + 1);
}

TEST(TimeAxis, ABeyondTheTableSpanDoublesTheLastStep) {
    const report::TimeAxis axis = report::niceAxis(std::uint64_t{1} << 40, 2);
    EXPECT_GE(axis.end, std::uint64_t{1} << 40);
    EXPECT_LE(axis.end / axis.step, 2u);
}

struct LabelCase {
    std::uint64_t ms, step;
    std::string text;
};

void PrintTo(const LabelCase& c, std::ostream* out) {
    *out << c.ms << " by " << c.step;
}

class TickLabel : public ::testing::TestWithParam<LabelCase> {};

INSTANTIATE_TEST_SUITE_P(
    TimeAxis, TickLabel,
    ::testing::Values(LabelCase{0, 200, "0"}, LabelCase{400, 200, "400 ms"},
                      LabelCase{1000, 200, "1 s"}, LabelCase{1200, 200, "1.2 s"},
                      LabelCase{1050, 50, "1.05 s"}, LabelCase{1005, 5, "1.005 s"},
                      LabelCase{2000, 1000, "2 s"}, LabelCase{90000, 30000, "90 s"},
                      LabelCase{300000, 60000, "5 min"}, LabelCase{7200000, 3600000, "2 h"},
                      LabelCase{864000000, 432000000, "10 d"}));

TEST_P(TickLabel, CountsInTheStepsUnit) {
    EXPECT_EQ(report::tickLabel(GetParam().ms, GetParam().step), GetParam().text);
}

}  // namespace
