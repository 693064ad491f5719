#include "engine/crawl/CrawlController.h"

namespace engine {

bool fullyLoaded(const PageEntry& page) {
    return isLoaded(page.state()) && page.rootItem() != nullptr &&
           (page.jobFlags() & kScanElements) != 0;
}

bool isRunning(const PageEntry& page) {
    const PageState state = page.state();
    return state == PageState::InProcess || state == PageState::Aborting;
}

std::string loadedAddress(const PageEntry& page) {
    const std::shared_ptr<WebItem> root = page.rootItem();
    return root ? root->address().urlText : page.address().urlText;
}

bool hasContent(const PageEntry& page) {
    const std::shared_ptr<WebItem> root = page.rootItem();
    if (!root) return false;
    const auto body = root->body();
    return body && !body->empty();
}

std::string pageTitle(const PageEntry& page) {
    const std::shared_ptr<WebItem> root = page.rootItem();
    const auto scan = root ? root->scanResult() : nullptr;
    return scan ? scan->title : std::string();
}

ScanFlags fullScanFlags(const PageEntry& page) {
    return page.noFollow() ? kScanElements | kScanTitle : kScanAll;
}

void CrawlController::start(CrawlSite& site) {
    if (!enabled) return;
    running = true;
    currentLevel = 0;
    pagesStarted = 0;
    advance(site);
}

void CrawlController::advance(CrawlSite& site) {
    while (currentLevel < levelLimit) {
        ++currentLevel;
        if (startLevel(site)) return;
    }
    reset();
}

bool CrawlController::startLevel(CrawlSite& site) {
    // An empty tree starts nothing, so the run ends at once rather than wait for work that
    // never comes.
    if (pagesStarted >= pageLimit) return false;
    const std::vector<SiteNode*> order = site.displayOrder();
    if (order.empty()) return false;
    bool started = false;
    for (SiteNode* node : order) {
        if (pagesStarted >= pageLimit) break;
        const PageEntry& page = *node->page;
        if (node->depth >= levelLimit || fullyLoaded(page) || isRunning(page) ||
            page.state() == PageState::Canceled || !site.inScope(*node)) {
            continue;
        }
        site.queue(*node, fullScanFlags(page));
        ++pagesStarted;
        started = true;
    }
    return started;
}

}  // namespace engine
