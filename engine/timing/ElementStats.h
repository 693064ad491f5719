#pragma once

#include <cstdint>
#include <string>

#include "engine/base/ContentKind.h"
#include "engine/timing/PhaseTimers.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

// One item's figures for one connection index. Index 0 holds the measured times; the others
// are restated from it by the connection speed model.
struct ElementStats {
    std::uint32_t connectTime = 0, connectStart = 0;
    std::uint32_t sendTime = 0, sendStart = 0;
    std::uint32_t waitTime = 0, waitStart = 0;
    std::uint32_t receiveTime = 0, receiveStart = 0;
    std::uint32_t totalTime = 0;  // connect + send + wait + receive
    std::uint32_t size = 0;       // body bytes
    std::uint32_t timeWithChildren = 0;
    std::uint32_t sizeWithChildren = 0;
    double speed = 0;  // bytes per second
    // Fractions of the page totals (0.25 is 25 %), filled by the page loader.
    double percentSize = 0, percentTime = 0;
    double percentSizeWithChildren = 0, percentTimeWithChildren = 0;
    std::string urlText, host;
    std::string objectPath;  // "/" when the address has none
    std::uint16_t port = 0;
    ContentKind contentKind = ContentKind::Unknown;
    std::string contentType;

    // The record of a finished transfer for the measured connection: times from the stopwatches,
    // size from the body, speed = size / receive seconds (size × 1000 when nothing was timed),
    // and the item's own values as the "with children" ones until the page adds its subtree.
    // Sums saturate at the 32-bit maximum instead of wrapping.
    static ElementStats measured(const PhaseTimers::Snapshot& times, std::uint32_t size,
                                 const ParsedUrl& target, ContentKind kind,
                                 std::string contentType);
};

}  // namespace engine
