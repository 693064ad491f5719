#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/crawl/CrawlController.h"
#include "engine/crawl/SiteNode.h"
#include "engine/crawl/SiteTreeObserver.h"
#include "engine/crawl/SiteTreeQuestions.h"
#include "engine/html/ScanFlags.h"
#include "engine/schedule/MessageSink.h"
#include "engine/schedule/PageEntry.h"
#include "engine/schedule/SiteManager.h"

namespace engine {

// The pages the user works with: every typed address is a root page, and anchors of loaded
// pages become child pages below them. Holds the nodes, runs the crawl controller over them
// and keeps the manager's visited set in step with the tree.
//
// The tree is used on one thread (the user-interface thread), which must also hand it every
// message of the manager's sink (handle()): child pages found on worker threads are announced
// by message 1468 with 0 and joined to the tree there, and a crawl goes on at message 1047
// with 1. Installs the manager's page-finished hook and page remover; the manager must outlive
// the tree.
class SiteTree : private CrawlSite {
public:
    // Runs on the worker that completed a page, before its anchors are looked at.
    using PageAnalysis = std::function<void(PageEntry&)>;

    explicit SiteTree(SiteManager& manager);
    SiteTree(const SiteTree&) = delete;
    SiteTree& operator=(const SiteTree&) = delete;
    ~SiteTree();

    SiteManager& manager() const { return manager_; }
    CrawlController& crawlController() { return crawl_; }
    const CrawlController& crawlController() const { return crawl_; }
    void setPageAnalysis(PageAnalysis analysis);
    // Told of every change of the tree's shape, in the order added (every window's list follows
    // the one tree). Not owned: an observer removes itself before it goes.
    void addObserver(SiteTreeObserver* observer);
    void removeObserver(SiteTreeObserver* observer);

    const std::vector<std::unique_ptr<SiteNode>>& roots() const { return roots_; }
    bool empty() const { return roots_.empty(); }
    std::size_t pageCount() const { return nodes_.size(); }
    // Every node, each before its children, children in order: the list's row order.
    std::vector<SiteNode*> displayOrder() const override;
    SiteNode* find(const PageEntry* page) const;
    // The node whose page has exactly this address text.
    SiteNode* findAddress(std::string_view address) const;

    // Whether the crawl scope admits the node's address: a root page always; below it, as the
    // scope setting compares the address with its root page's host.
    bool inScope(const SiteNode& node) const override;

    // The address bar's command: loads the page of the completed address again when the tree
    // holds it, else adds it as a marked root page; queued with every scan flag. Returns the
    // node (to select), or none when the address is not valid.
    SiteNode* analyseAddress(std::string_view text);
    void reanalysePage(SiteNode& node, ScanFlags flags);
    // The anchor download: every marked page without a downloaded root item, anchors and title.
    void loadMarked();
    // Starts a level-by-level run when the controller is enabled.
    void crawl();

    // "Analyze All": crawls when enabled, else queues every marked page not fully loaded; an
    // empty tree analyses the address bar's text instead.
    void analyzeAll(std::string_view barText);
    // "Analyze Selected": queues the selected pages; an empty tree analyses the bar's text.
    void analyzeSelected(const std::vector<SiteNode*>& selected, std::string_view barText);
    // Whether "Analyze All" would start a page now: with the crawl on, a page the next crawl
    // would start; otherwise a marked page that is not fully loaded and not running. False for
    // an empty tree (which analyses the address bar's text instead).
    bool hasPageToLoad() const;
    // "Stop": ends the crawl run and stops the manager's work.
    void stop();

    // The removals. Each asks first and changes nothing unless the answer is Yes; true when
    // pages were removed. Running jobs of removed pages are not stopped.
    bool deleteSelected(const std::vector<SiteNode*>& selected, SiteTreeQuestions& questions);
    bool deleteAll(SiteTreeQuestions& questions);
    // Removes every page that is not fully loaded and has no child pages, while nothing runs.
    // Returns the number removed.
    std::size_t removeNotLoaded();

    // Appends a marked page under `parent` (none: a root page) and records its address in the
    // visited set; the scenario loader builds the tree with it. Nothing is queued.
    SiteNode* addPage(std::string_view address, SiteNode* parent);
    // Removes every node, the visited set and the pages' items.
    void clear();

    // The handler of the manager's messages (see above).
    void handle(const EngineMessage& message);

    // A page is fully loaded when it settled as loaded and its last job collected elements.
    static bool fullyLoaded(const PageEntry& page) { return engine::fullyLoaded(page); }

private:
    struct ChildPages;

    SiteNode* append(std::shared_ptr<PageEntry> page, SiteNode* parent);
    void queue(SiteNode& node, ScanFlags flags) override;
    void removeSubtree(SiteNode& node);
    void joinChildPage(const std::shared_ptr<PageEntry>& page);

    SiteManager& manager_;
    std::shared_ptr<ChildPages> childPages_;  // shared with the hook the workers run
    CrawlController crawl_;
    std::vector<std::unique_ptr<SiteNode>> roots_;
    std::unordered_map<const PageEntry*, SiteNode*> nodes_;
    std::vector<SiteTreeObserver*> observers_;
};

}  // namespace engine
