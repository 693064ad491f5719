#pragma once

#include <string_view>

namespace engine {

// The accept patterns a referring tag gives its element.
inline constexpr std::string_view kAcceptAny = "*/*";
inline constexpr std::string_view kAcceptImage = "image/*";
inline constexpr std::string_view kAcceptApplication = "application/*";

// Whether a (normalised) content type satisfies an accept pattern: a case-insensitive wildcard
// match in which "*" stands for any run of characters. A script answered with "text/javascript"
// is accepted by "application/*" as well, since that is the standard type of scripts today.
// Runs in O(pattern × type) time at worst, whatever the network sent.
bool acceptsContentType(std::string_view pattern, std::string_view contentType);

}  // namespace engine
