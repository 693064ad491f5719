#include "engine/timing/ElementStats.h"

#include <limits>
#include <utility>

namespace engine {
namespace {

std::uint32_t saturatingSum(std::initializer_list<std::uint32_t> values) {
    std::uint64_t sum = 0;
    for (std::uint32_t v : values) sum += v;
    const std::uint64_t max = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(sum > max ? max : sum);
}

}  // namespace

ElementStats ElementStats::measured(const PhaseTimers::Snapshot& times, std::uint32_t size,
                                    const ParsedUrl& target, ContentKind kind,
                                    std::string contentType) {
    auto reading = [&](Stopwatch w) { return times[static_cast<std::size_t>(w)]; };
    ElementStats s;
    s.connectTime = reading(Stopwatch::Connect).elapsed;
    s.connectStart = reading(Stopwatch::Connect).start;
    s.sendTime = reading(Stopwatch::Send).elapsed;
    s.sendStart = reading(Stopwatch::Send).start;
    s.waitTime = reading(Stopwatch::Wait).elapsed;
    s.waitStart = reading(Stopwatch::Wait).start;
    s.receiveTime = reading(Stopwatch::Receive).elapsed;
    s.receiveStart = reading(Stopwatch::Receive).start;
    s.totalTime = saturatingSum({s.connectTime, s.sendTime, s.waitTime, s.receiveTime});
    s.size = size;
    s.timeWithChildren = s.totalTime;
    s.sizeWithChildren = s.size;
    s.speed = s.receiveTime != 0 ? s.size / (s.receiveTime * 0.001) : s.size * 1000.0;
    s.urlText = target.urlText;
    s.host = target.host;
    s.objectPath = target.objectPath.empty() ? "/" : target.objectPath;
    s.port = target.port;
    s.contentKind = kind;
    s.contentType = std::move(contentType);
    return s;
}

}  // namespace engine
