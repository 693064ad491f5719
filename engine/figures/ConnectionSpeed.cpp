#include "engine/figures/ConnectionSpeed.h"

#include <algorithm>

namespace engine {
namespace {

std::uint32_t saturate(std::uint64_t value) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(value, UINT32_MAX));
}

}  // namespace

ElementStats restate(const ElementStats& measured, int connectionIndex) {
    if (connectionIndex <= kActualSpeed || connectionIndex >= kConnectionCount) return measured;
    const ConnectionSpeed& row = kConnectionSpeeds[static_cast<std::size_t>(connectionIndex)];
    const auto latency = static_cast<std::uint64_t>(row.latencyMs);
    const auto bytesPerSecond = static_cast<std::uint64_t>(row.bytesPerSecond);

    ElementStats s = measured;
    s.connectStart = s.sendStart = s.waitStart = s.receiveStart = 0;
    s.connectTime = saturate(latency);
    s.sendTime = 0;
    s.waitTime = 0;
    // size × 4 × 10000 / (v × 8) milliseconds, that is size × 5000 / v: five times the plain
    // transfer time of the body at v bytes per second (size × 1000 / v), the factor the model
    // has always used. In 64 bits, so no size overflows.
    const std::uint64_t transfer = std::uint64_t{measured.size} * 4 * 10000 / (bytesPerSecond * 8);
    s.receiveTime = saturate(latency + transfer);
    s.totalTime = saturate(std::uint64_t{s.connectTime} + s.receiveTime);
    s.speed = s.receiveTime != 0 ? measured.size / (s.receiveTime * 0.001) : measured.size;
    s.timeWithChildren = s.totalTime;
    s.sizeWithChildren = s.size;
    return s;
}

}  // namespace engine
