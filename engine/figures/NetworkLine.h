#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace engine {

// A line as today's browsers meet it: downstream and upstream bandwidth in bits per second and
// the round trip in milliseconds. The classic connection table (ConnectionSpeed.h) is a
// different thing with its own model and stays as it is.
struct NetworkLine {
    std::string name;
    std::uint64_t downBitsPerSecond = 0;
    std::uint64_t upBitsPerSecond = 0;
    std::uint32_t roundTripMs = 0;

    bool operator==(const NetworkLine&) const = default;
};

// The named lines, fastest first. Their figures and where each comes from are beside them in
// NetworkLine.cpp.
std::span<const NetworkLine> namedLines();

// The most a user's line may state: 100 Gbit/s each way, a round trip of one minute.
inline constexpr std::uint64_t kMostBitsPerSecond = 100'000'000'000;
inline constexpr std::uint32_t kMostRoundTripMs = 60'000;

// A named line (any case, blanks around ignored), or a user's "DOWN/UP/RTT": DOWN and UP in
// bits per second, a decimal number with an optional suffix K (×1000), M (×10^6) or G (×10^9),
// any case, from 1 bit/s to kMostBitsPerSecond; RTT a whole number of milliseconds, 0 to
// kMostRoundTripMs, optionally followed by "ms". "1.6M/750K/150" is 1 600 000 and 750 000 bit/s
// and 150 ms. A user's line is named by its text as given (blanks around removed). On failure
// returns none and sets `error` to one line saying what is wrong.
std::optional<NetworkLine> parseNetworkLine(std::string_view text, std::string& error);

}  // namespace engine
