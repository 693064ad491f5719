#pragma once

#include <cstdint>
#include <string>

#include "engine/base/LoadPhase.h"

namespace engine {

// What a server connection tells the item it is downloading, on the thread running the transfer.
class TransferListener {
public:
    // The client reported an event that maps to `phase`; for Redirecting, `redirectUrl` is the
    // address the transfer is being redirected to. The phase may equal the current one.
    virtual void phaseNotification(LoadPhase phase, const std::string& redirectUrl) = 0;
    // The first byte of a response arrived (the end of the wait for the answer).
    virtual void firstResponseByte() = 0;
    // The body of the current response has reached `received` bytes.
    virtual void bodyProgress(std::uint64_t received) = 0;

protected:
    ~TransferListener() = default;
};

}  // namespace engine
