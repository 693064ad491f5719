#include "engine/base/LoadPhase.h"

#include <array>

namespace engine {

std::string_view phaseText(LoadPhase phase) {
    static constexpr std::array<std::string_view, 8> kTexts{
        "Ready",        "Connecting...", "Redirecting...", "Sending...",
        "Receiving...", "Completed",     "Error",          "Skipped"};
    const auto index = static_cast<std::int32_t>(phase);
    if (index < 0 || index >= static_cast<std::int32_t>(kTexts.size())) return {};
    return kTexts[static_cast<std::size_t>(index)];
}

}  // namespace engine
