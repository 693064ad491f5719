#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/base/LoadPhase.h"
#include "engine/http/TransferListener.h"

namespace engine {

// Turns the client's status numbers (StatusEvent.h) into phases for the item being downloaded:
// the one owner of a connection's reported phase and of the address of its last redirection.
// Used by one transfer at a time, on its thread.
class StatusReporter {
public:
    // The item downloaded, or none. Not owned.
    void setListener(TransferListener* listener) { listener_ = listener; }
    // The last address the client reported in a redirection.
    const std::string& redirectUrl() const { return redirectUrl_; }

    // A new transfer starts: the phase is Connecting again.
    void restart() { reported_ = LoadPhase::Connecting; }

    // Translates a status number into a phase, stores it (and, for a redirection, `info` as the
    // redirect URL) and tells the listener. Numbers that map to no phase repeat the stored one.
    // The first response byte is also reported as such.
    void report(std::int32_t number, std::string_view info = {});
    // The current response's body has reached `total` bytes.
    void bodyProgress(std::uint64_t total) {
        if (listener_ != nullptr) listener_->bodyProgress(total);
    }

private:
    TransferListener* listener_ = nullptr;
    std::string redirectUrl_;
    LoadPhase reported_ = LoadPhase::Connecting;
};

}  // namespace engine
