#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

// Where an item's transfer stands. The values are stored and shown as numbers elsewhere.
enum class LoadPhase : std::int32_t {
    Ready = 0,        // not started
    Connecting = 1,   // name resolution and connection set-up
    Redirecting = 2,  // the server answered with a redirection
    Sending = 3,      // the request is being sent
    Receiving = 4,    // the request has been sent; the response is awaited or arriving
    Completed = 5,    // finished with a good result
    Error = 6,        // finished with a failure
    Skipped = 7,      // finished without reading the body, or stopped by the user
};

// "Ready", "Connecting...", ... ; an out-of-range value gives an empty text.
std::string_view phaseText(LoadPhase phase);

}  // namespace engine
