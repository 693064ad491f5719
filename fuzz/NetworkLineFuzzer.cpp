// A line comes from the command line as DOWN/UP/RTT; whatever the text, parsing either fails with
// a message or gives a line within the stated limits.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/figures/NetworkLine.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto line = engine::parseNetworkLine(input, error);
    if (!line) {
        check(!error.empty());
        return 0;
    }
    check(line->downBitsPerSecond >= 1 && line->downBitsPerSecond <= engine::kMostBitsPerSecond);
    check(line->upBitsPerSecond >= 1 && line->upBitsPerSecond <= engine::kMostBitsPerSecond);
    check(line->roundTripMs <= engine::kMostRoundTripMs);
    check(!line->name.empty());
    return 0;
}
