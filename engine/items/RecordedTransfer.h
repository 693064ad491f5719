#pragma once

#include <cstdint>
#include <vector>

#include "engine/items/WebItem.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

// One request of a recorded transfer with its four phase times in milliseconds.
struct RecordedRequest {
    ParsedUrl url;
    std::uint32_t connect = 0, send = 0, wait = 0, receive = 0;
};

// A transfer another program measured (a browser's HAR): the request and each redirection it
// followed, in order, when the first request began on the engine's tick counter, and what the
// last response left. An answer from a cache has no times (outcome.fromCache).
struct RecordedTransfer {
    std::vector<RecordedRequest> requests;  // never empty; the first is the item's own address
    std::uint32_t startTick = 0;
    TransferOutcome outcome;  // phase Completed, Error or Skipped; no body
};

}  // namespace engine
