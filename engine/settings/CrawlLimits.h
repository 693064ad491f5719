#pragma once

#include <cstdint>

namespace engine {

// How far the crawl goes: levels of anchors followed and pages in the tree.
struct CrawlLimits {
    bool enabled = true;  // saved as set, but loading always yields true
    std::int32_t levelLimit = 5;
    std::int32_t pageLimit = 150;

    bool operator==(const CrawlLimits&) const = default;
};

}  // namespace engine
