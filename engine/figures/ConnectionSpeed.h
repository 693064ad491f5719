#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/timing/ElementStats.h"

namespace engine {

// One row of the connection table. Index 0 is the measured line ("Actual Speed") and carries -1
// in both numeric columns; it is never used for computing.
struct ConnectionSpeed {
    std::string_view name;
    std::int32_t bytesPerSecond;
    std::int32_t latencyMs;
};

inline constexpr int kConnectionCount = 11;
inline constexpr int kActualSpeed = 0;

// The connection indexes every view, statistic, condition and report takes, 0 to 10.
inline constexpr std::array<ConnectionSpeed, kConnectionCount> kConnectionSpeeds{{
    {"Actual Speed", -1, -1},
    {"LAN 10MB", 1250000, 10},
    {"T1", 125000, 16},
    {"512K Cable/DSL", 64000, 20},
    {"256K Cable/DSL", 32000, 50},
    {"ISDN 128K", 16000, 100},
    {"ISDN 64K", 8000, 150},
    {"56K", 7000, 200},
    {"33.6K", 4200, 300},
    {"28.8K", 3600, 300},
    {"14.4K", 1800, 300},
}};

inline bool isConnectionIndex(int connectionIndex) {
    return connectionIndex >= 0 && connectionIndex < kConnectionCount;
}

// An item's measured record restated for connection index 1 to 10: connect = latency, no send or
// wait, receive = latency + the transfer time of its bytes at the row's speed, total = connect +
// receive. Index 0 (or any index outside the table) returns the record unchanged.
ElementStats restate(const ElementStats& measured, int connectionIndex);

}  // namespace engine
