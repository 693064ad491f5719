#include "query/DisplayFormats.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace query;

TEST(DisplayFormats, Durations) {
    EXPECT_EQ(formatTime(0), "0:00.000");
    EXPECT_EQ(formatTime(999), "0:00.999");
    EXPECT_EQ(formatTime(60000), "1:00.000");
    EXPECT_EQ(formatTime(3222), "0:03.222");
    EXPECT_EQ(formatTime(3600000), "60:00.000");
    EXPECT_EQ(formatTime(61001), "1:01.001");
    // Negative values follow the same truncating arithmetic.
    EXPECT_EQ(formatTime(-1500), "0:-1.-500");
    EXPECT_EQ(formatTime(std::numeric_limits<std::int32_t>::max()), "35791:23.647");
}

TEST(DisplayFormats, LongDurationsRoundWholeSeconds) {
    EXPECT_EQ(formatTimeLong(3222), "0:03.222 (3 sec)");
    EXPECT_EQ(formatTimeLong(3500), "0:03.500 (4 sec)");
    EXPECT_EQ(formatTimeLong(499), "0:00.499 (0 sec)");
    EXPECT_EQ(formatTimeLong(std::numeric_limits<std::int32_t>::max()),
              "35791:23.647 (2147484 sec)");
}

TEST(DisplayFormats, Sizes) {
    EXPECT_EQ(formatSize(0), "0 b");
    EXPECT_EQ(formatSize(1023), "1023 b");
    EXPECT_EQ(formatSize(1024), "1.00 kb");
    EXPECT_EQ(formatSize(5932), "5.79 kb");
    EXPECT_EQ(formatSize(-5000), "-5000 b");
    EXPECT_EQ(formatSize(1048576), "1024.00 kb");
}

TEST(DisplayFormats, SpeedsSwitchOnTheUnroundedValue) {
    EXPECT_EQ(formatSpeed(12.12), "12.12 b/s");
    EXPECT_EQ(formatSpeed(1023.999), "1024.00 b/s");
    EXPECT_EQ(formatSpeed(1024), "1.00 kb/s");
    EXPECT_EQ(formatSpeed(3420.16), "3.34 kb/s");
    EXPECT_EQ(formatSpeed(0), "0.00 b/s");
    // Huge values are printed whole, never cut.
    const std::string huge = formatSpeed(1e300);
    EXPECT_GT(huge.size(), 290u);
    EXPECT_EQ(huge.substr(huge.size() - 8), ".00 kb/s");
}

TEST(DisplayFormats, Percentages) {
    EXPECT_EQ(formatPercent(0.0254), "2.54%");
    EXPECT_EQ(formatPercent(0.122), "12.20%");
    EXPECT_EQ(formatPercent(1), "100.00%");
    EXPECT_EQ(formatPercent(1.12), "112.00%");
    EXPECT_EQ(formatPercent(0), "0.00%");
}

TEST(DisplayFormats, Integers) {
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(-42), "-42");
    EXPECT_EQ(formatInteger(std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

}  // namespace
