#include "report/TimeAxis.h"

#include <algorithm>
#include <array>

namespace report {
namespace {

constexpr std::uint64_t kSecond = 1000;
constexpr std::uint64_t kMinute = 60 * kSecond;
constexpr std::uint64_t kHour = 60 * kMinute;
constexpr std::uint64_t kDay = 24 * kHour;

// Decimal steps below a second, then steps that keep to the clock's own units.
constexpr std::array<std::uint64_t, 31> kSteps{
    1,       2,           5,           10,           20,           50,
    100,     200,         500,                                                    // milliseconds
    kSecond, 2 * kSecond, 5 * kSecond, 10 * kSecond, 15 * kSecond, 30 * kSecond,  //
    kMinute, 2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute,  //
    kHour,   2 * kHour,   6 * kHour,   12 * kHour,                                //
    kDay,    2 * kDay,    5 * kDay,    10 * kDay,    20 * kDay,    50 * kDay};

std::uint64_t intervalsFor(std::uint64_t span, std::uint64_t step) {
    return std::max<std::uint64_t>(1, (span + step - 1) / step);
}

// "1.25" for 1250 thousandths: the decimals there are, without trailing zeros.
std::string decimal(std::uint64_t thousandths) {
    std::string fraction = std::to_string(1000 + thousandths % 1000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    const std::string whole = std::to_string(thousandths / 1000);
    return fraction.empty() ? whole : whole + "." + fraction;
}

}  // namespace

std::vector<std::uint64_t> TimeAxis::ticks() const {
    std::vector<std::uint64_t> values;
    for (std::uint64_t t = 0; t <= end; t += step) values.push_back(t);
    return values;
}

TimeAxis niceAxis(std::uint64_t span, int maxIntervals) {
    const auto most = static_cast<std::uint64_t>(std::max(1, maxIntervals));
    std::uint64_t step = kSteps.back();
    for (std::uint64_t candidate : kSteps) {
        if (intervalsFor(span, candidate) <= most) {
            step = candidate;
            break;
        }
    }
    // Beyond the table (a span of years): whole multiples of its last step.
    while (intervalsFor(span, step) > most) step *= 2;
    return {step, intervalsFor(span, step) * step};
}

std::string tickLabel(std::uint64_t milliseconds, std::uint64_t step) {
    if (milliseconds == 0) return "0";
    if (step >= kDay && step % kDay == 0) return std::to_string(milliseconds / kDay) + " d";
    if (step >= kHour && step % kHour == 0) return std::to_string(milliseconds / kHour) + " h";
    if (step >= kMinute && step % kMinute == 0)
        return std::to_string(milliseconds / kMinute) + " min";
    if (step < kSecond && milliseconds < kSecond) return std::to_string(milliseconds) + " ms";
    return decimal(milliseconds) + " s";
}

}  // namespace report
