#pragma once

#include <cstdint>
#include <string>

#include "engine/base/ContentKind.h"

namespace engine {

// An item's result when its request was done but the HTTP status is no success (or the type was
// refused with 406).
inline constexpr std::int32_t kResultHttpStatus = -1;

// Internal results of a transfer besides 0, kResultHttpStatus and the system error numbers.
inline constexpr std::int32_t kResultSkipped = 15000;      // an octet stream: body not read
inline constexpr std::int32_t kResultNotAccepted = 15001;  // outside the accept pattern

// What one request brought back.
struct TransferResult {
    std::int32_t result = 0;      // 0, a system error number, kResultSkipped or kResultNotAccepted
    std::int32_t statusCode = 0;  // of the last response; 0 when none arrived
    std::string contentType;      // normalised
    ContentKind contentKind = ContentKind::Unknown;
    bool connectionReused = false;  // no new connection had to be made
    std::string httpVersion;        // of the last response's status line ("HTTP/2"); or empty
};

}  // namespace engine
