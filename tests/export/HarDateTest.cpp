#include "export/HarDate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

struct DateCase {
    std::string text;
    std::optional<std::int64_t> micros;
};

void PrintTo(const DateCase& date, std::ostream* out) {
    *out << '"' << date.text << '"';
}

class HarDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(HarDate, ReadsTheMomentOrRefusesTheText) {
    EXPECT_EQ(exporting::parseHarDate(GetParam().text), GetParam().micros);
}

constexpr std::int64_t kMay1 = 1714555812345000;  // 2024-05-01T09:30:12.345Z

INSTANTIATE_TEST_SUITE_P(
    Texts, HarDate,
    ::testing::Values(
        // The shapes browsers write: UTC with milliseconds, or the local time and its offset.
        DateCase{"2024-05-01T09:30:12.345Z", kMay1},
        DateCase{"2024-05-01T11:30:12.345+02:00", kMay1},
        DateCase{"2024-05-01T04:00:12.345-05:30", kMay1},
        DateCase{"2024-05-01T11:30:12.345+0200", kMay1},
        DateCase{"2024-05-01t09:30:12.345z", kMay1},
        // Fractions of any length to nine digits, kept to the microsecond.
        DateCase{"2024-05-01T09:30:12.345678Z", kMay1 + 678},
        DateCase{"2024-05-01T09:30:12.345678999Z", kMay1 + 678},
        DateCase{"2024-05-01T09:30:12.3Z", kMay1 - 45000},
        DateCase{"2024-05-01T09:30:12Z", kMay1 - 345000},
        DateCase{"2024-02-29T00:00:00Z", 1709164800000000}, DateCase{"1970-01-01T00:00:00Z", 0},
        DateCase{"9999-12-31T23:59:59Z", 253402300799000000},
        // Anything else.
        DateCase{"2023-02-29T00:00:00Z", std::nullopt},
        DateCase{"1969-12-31T23:59:59Z", std::nullopt},
        DateCase{"2024-13-01T00:00:00Z", std::nullopt},
        DateCase{"2024-05-01T24:00:00Z", std::nullopt},
        DateCase{"2024-05-01T09:60:00Z", std::nullopt},
        DateCase{"2024-05-01T09:30:12.345", std::nullopt},
        DateCase{"2024-05-01T09:30:12.Z", std::nullopt},
        DateCase{"2024-05-01T09:30:12.1234567890Z", std::nullopt},
        DateCase{"2024-05-01T09:30:12+25:00", std::nullopt},
        DateCase{"2024-05-01 09:30:12Z", std::nullopt},
        DateCase{"2024-05-01T09:30:12ZZ", std::nullopt}, DateCase{"yesterday", std::nullopt},
        DateCase{"", std::nullopt}));

}  // namespace
