#pragma once

#include <cstdint>
#include <string>

#include "engine/base/Clock.h"
#include "engine/http/BodyBuffer.h"

namespace engine {

// Limits and trust settings of the transfer that are not user settings. Tests lower the limits.
struct TransferOptions {
    // A transfer that makes no progress (no connect step, no byte) for this long ends with
    // 12002 "The request has timed out.".
    std::uint32_t noProgressTimeoutMs = 60000;
    // The clock that limit is read on; none is the process's steady clock. Not owned.
    const Clock* clock = nullptr;
    // Bodies larger than this are counted but not kept.
    std::uint64_t bodyCap = BodyBuffer::kDefaultCap;
    // Redirections followed per transfer; one more ends with 12156.
    long maxRedirects = 10;
    // PEM certificates that replace the system's certificate authorities when not empty.
    std::string trustedCertificatesPem;
    // The User-Agent sent with every request; InternetRoot::kUserAgent when empty.
    std::string userAgent;
};

}  // namespace engine
