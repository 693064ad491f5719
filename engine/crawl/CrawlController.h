#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/crawl/SiteNode.h"
#include "engine/html/ScanFlags.h"

namespace engine {

// What a crawl needs of the tree it runs over (SiteTree is the one implementation).
class CrawlSite {
public:
    // Every node, each before its children, children in order.
    virtual std::vector<SiteNode*> displayOrder() const = 0;
    // Whether the crawl scope admits the node's address.
    virtual bool inScope(const SiteNode& node) const = 0;
    // Loads the node's page again (reset first when it was loaded) with the scan flags.
    virtual void queue(SiteNode& node, ScanFlags flags) = 0;

protected:
    ~CrawlSite() = default;
};

// A page is fully loaded when it settled as loaded and its last job collected elements.
bool fullyLoaded(const PageEntry& page);
// In process or aborting.
bool isRunning(const PageEntry& page);
// The address of the page's downloaded item when it has one (where a redirection ended),
// otherwise the address the page was created with: what the status texts name.
std::string loadedAddress(const PageEntry& page);
// The page's downloaded item has a body to save.
bool hasContent(const PageEntry& page);
// The title its document gave, empty before a load or without one.
std::string pageTitle(const PageEntry& page);
// The flags a crawl (and Analyze All) loads a page with: everything, or without anchors when the
// page is marked as not to be followed.
ScanFlags fullScanFlags(const PageEntry& page);

// The level-by-level crawl of the site tree: the limits it runs within, how far the current run
// has come, and its steps. Each level queues every page of the tree above the level limit's
// depth that is not fully loaded, running, canceled or out of scope, within the run's page
// limit; the anchors of those pages become the pages of the next level, which starts when all
// work has ended (message 1047 with 1). A level that starts nothing passes to the next; past
// the level limit the run ends. Used on the tree's thread.
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

    // Starts a run when enabled.
    void start(CrawlSite& site);
    // One step of a run: the next level that starts anything, else the end of the run.
    void advance(CrawlSite& site);

private:
    bool startLevel(CrawlSite& site);
};

}  // namespace engine
