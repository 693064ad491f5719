#include "query/DisplayFormats.h"

#include <cstdio>

namespace query {
namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

struct Clock {
    std::int64_t minutes, seconds, millis;
};

// 64-bit arithmetic so that the extremes of int32 cannot overflow.
Clock split(std::int32_t ms) {
    const std::int64_t total = ms;
    const std::int64_t minutes = total / 60000;
    const std::int64_t seconds = (total - minutes * 60000) / 1000;
    return {minutes, seconds, total - (minutes * 60 + seconds) * 1000};
}

}  // namespace

std::string formatTime(std::int32_t milliseconds) {
    const Clock c = split(milliseconds);
    return format("%lld:%02lld.%03lld", static_cast<long long>(c.minutes),
                  static_cast<long long>(c.seconds), static_cast<long long>(c.millis));
}

std::string formatTimeLong(std::int32_t milliseconds) {
    const Clock c = split(milliseconds);
    const std::int64_t whole = (static_cast<std::int64_t>(milliseconds) + 500) / 1000;
    return format("%lld:%02lld.%03lld (%lld sec)", static_cast<long long>(c.minutes),
                  static_cast<long long>(c.seconds), static_cast<long long>(c.millis),
                  static_cast<long long>(whole));
}

std::string formatSize(std::int32_t bytes) {
    if (bytes > 1023) return format("%2.2f kb", bytes / 1024.0);
    return format("%d b", bytes);
}

std::string formatSpeed(double bytesPerSecond) {
    // Doubles print at most ~310 digits before the point; the buffer of format() would cut them,
    // so print through a wider one.
    char text[400];
    if (bytesPerSecond < 1024)
        std::snprintf(text, sizeof text, "%2.2f b/s", bytesPerSecond);
    else
        std::snprintf(text, sizeof text, "%2.2f kb/s", bytesPerSecond / 1024);
    return text;
}

std::string formatPercent(double share) {
    char text[400];
    std::snprintf(text, sizeof text, "%2.2f%%", share * 100);
    return text;
}

std::string formatInteger(std::int32_t value) {
    return format("%d", value);
}

}  // namespace query
