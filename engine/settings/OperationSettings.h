#pragma once

#include <cstdint>

namespace engine {

// The crawl scope: which anchors may become pages of the site tree.
struct OperationSettings {
    // Values of `autoCheck`.
    static constexpr std::int32_t kOriginalHost = 0;    // the starting page's host only
    static constexpr std::int32_t kOriginalDomain = 1;  // hosts ending with it, without "www."
    static constexpr std::int32_t kAllPages = 2;

    std::int32_t autoCheck = kOriginalDomain;
    bool showOrig = false;  // add only pages inside the scope to the site tree

    bool operator==(const OperationSettings&) const = default;
};

}  // namespace engine
