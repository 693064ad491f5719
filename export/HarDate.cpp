#include "export/HarDate.h"

namespace exporting {
namespace {

// Reads exactly `count` digits at `at`, moving past them.
std::optional<int> digits(std::string_view text, std::size_t& at, std::size_t count) {
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    at += count;
    return value;
}

bool expect(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

bool leapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the date (proleptic Gregorian calendar).
std::int64_t daysFromEpoch(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;  // years from 1969 on: never negative
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t{era} * 146097 + dayOfEra - 719468;
}

// The fraction after the seconds, in microseconds; `at` moves past its digits.
std::optional<std::int64_t> fraction(std::string_view text, std::size_t& at) {
    if (at >= text.size() || text[at] != '.') return 0;
    ++at;
    std::int64_t micros = 0;
    std::size_t count = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        if (count < 6) micros = micros * 10 + (text[at] - '0');
        ++count;
        ++at;
    }
    if (count == 0 || count > 9) return std::nullopt;
    for (std::size_t i = count; i < 6; ++i) micros *= 10;
    return micros;
}

// The zone's offset from UTC in minutes; the text must end with it.
std::optional<int> zone(std::string_view text, std::size_t at) {
    if (at + 1 == text.size() && (text[at] == 'Z' || text[at] == 'z')) return 0;
    if (at >= text.size() || (text[at] != '+' && text[at] != '-')) return std::nullopt;
    const int sign = text[at] == '-' ? -1 : 1;
    ++at;
    const auto hours = digits(text, at, 2);
    if (at < text.size() && text[at] == ':') ++at;
    const auto minutes = digits(text, at, 2);
    if (!hours || !minutes || at != text.size() || *hours > 23 || *minutes > 59)
        return std::nullopt;
    return sign * (*hours * 60 + *minutes);
}

}  // namespace

std::optional<std::int64_t> parseHarDate(std::string_view text) {
    std::size_t at = 0;
    const auto year = digits(text, at, 4);
    if (!year || !expect(text, at, '-')) return std::nullopt;
    const auto month = digits(text, at, 2);
    if (!month || !expect(text, at, '-')) return std::nullopt;
    const auto day = digits(text, at, 2);
    if (!day || (!expect(text, at, 'T') && !expect(text, at, 't'))) return std::nullopt;
    const auto hour = digits(text, at, 2);
    if (!hour || !expect(text, at, ':')) return std::nullopt;
    const auto minute = digits(text, at, 2);
    if (!minute || !expect(text, at, ':')) return std::nullopt;
    const auto second = digits(text, at, 2);
    if (!second) return std::nullopt;
    const auto micros = fraction(text, at);
    const auto offset = micros ? zone(text, at) : std::nullopt;
    if (!offset) return std::nullopt;
    if (*year < 1970 || *month < 1 || *month > 12 || *day < 1 ||
        *day > daysInMonth(*year, *month) || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    const std::int64_t seconds = daysFromEpoch(*year, *month, *day) * 86400 + *hour * 3600 +
                                 *minute * 60 + *second - std::int64_t{*offset} * 60;
    return seconds * 1000000 + *micros;
}

}  // namespace exporting
