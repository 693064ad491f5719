#pragma once

#include <cstdint>

namespace engine {

// The state of a level-by-level crawl of the site tree: the limits it runs within and how far
// the current run has come.
struct CrawlController {
    bool enabled = true;  // the "Auto" toggle: Analyze All crawls
    std::int32_t levelLimit = 5;
    std::int32_t pageLimit = 150;
    std::int32_t pagesStarted = 0;  // in the current run
    std::int32_t currentLevel = 0;
    bool running = false;

    // Ends the run (or makes sure none is recorded).
    void reset() {
        running = false;
        currentLevel = 0;
        pagesStarted = 0;
    }
};

}  // namespace engine
