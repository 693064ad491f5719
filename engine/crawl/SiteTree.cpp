#include "engine/crawl/SiteTree.h"

#include <algorithm>
#include <mutex>
#include <set>
#include <utility>

#include "engine/crawl/CrawlScope.h"
#include "engine/items/ScanResult.h"
#include "engine/settings/AddressMru.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

namespace {

constexpr ScanFlags kAnchorDownload = kScanAnchors | kScanTitle;

// The host of the page the crawl of `page` started from.
std::string rootHost(std::shared_ptr<PageEntry> page) {
    while (auto parent = page->parent()) page = std::move(parent);
    return page->address().host;
}

}  // namespace

// The page-finished hook: analyses the page, then turns its new anchors into child pages and
// announces them. It runs on worker threads and may outlive the tree for as long as a worker is
// inside it, so it holds nothing of the tree.
struct SiteTree::ChildPages {
    explicit ChildPages(SiteManager& owner) : manager(owner) {}

    void run(const std::shared_ptr<PageEntry>& page) const {
        PageAnalysis analyse;
        {
            std::lock_guard guard(mutex);
            analyse = analysis;
        }
        if (analyse) analyse(*page);

        const std::shared_ptr<WebItem> root = page->rootItem();
        const std::shared_ptr<const ScanResult> scan = root ? root->scanResult() : nullptr;
        if (!scan || scan->anchors.empty()) return;
        const OperationSettings scope = manager.settings().operation;
        const std::string host = rootHost(page);
        const std::shared_ptr<MessageSink> sink = manager.sink();
        for (const LinkRef& anchor : scan->anchors) {
            if (!anchor.url.valid) continue;
            if (scope.showOrig && !inCrawlScope(host, anchor.url, scope.autoCheck)) continue;
            auto child = PageEntry::create(manager, anchor.url.urlText, page);
            if (!manager.visited().add(child->address().urlText)) continue;
            if (sink) {
                sink->post(EngineMessage::pageAdded(child));
                sink->post(
                    EngineMessage::pageState(static_cast<std::uint32_t>(PageState::Ready), child));
            }
        }
    }

    SiteManager& manager;
    mutable std::mutex mutex;  // guards `analysis`
    PageAnalysis analysis;
};

SiteTree::SiteTree(SiteManager& manager)
    : manager_(manager), childPages_(std::make_shared<ChildPages>(manager)) {
    const CrawlLimits limits = manager.settings().limits;
    crawl_.enabled = limits.enabled;
    crawl_.levelLimit = limits.levelLimit;
    crawl_.pageLimit = limits.pageLimit;
    manager_.setPageFinishedHook(
        [pages = childPages_](const std::shared_ptr<PageEntry>& page) { pages->run(page); });
    // A duplicate page leaves the tree when message 1049 with 1 is handled here, on the tree's
    // own thread; the worker only waits for that.
    manager_.setPageRemover([](const std::shared_ptr<PageEntry>&) {});
}

SiteTree::~SiteTree() {
    manager_.setPageFinishedHook(nullptr);
    manager_.setPageRemover(nullptr);
}

void SiteTree::setPageAnalysis(PageAnalysis analysis) {
    std::lock_guard guard(childPages_->mutex);
    childPages_->analysis = std::move(analysis);
}

std::vector<SiteNode*> SiteTree::displayOrder() const {
    std::vector<SiteNode*> order;
    order.reserve(nodes_.size());
    std::vector<SiteNode*> pending;
    for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) pending.push_back(it->get());
    while (!pending.empty()) {
        SiteNode* node = pending.back();
        pending.pop_back();
        order.push_back(node);
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
            pending.push_back(it->get());
        }
    }
    return order;
}

SiteNode* SiteTree::find(const PageEntry* page) const {
    const auto it = nodes_.find(page);
    return it == nodes_.end() ? nullptr : it->second;
}

SiteNode* SiteTree::findAddress(std::string_view address) const {
    for (SiteNode* node : displayOrder()) {
        if (node->page->address().urlText == address) return node;
    }
    return nullptr;
}

bool SiteTree::inScope(const SiteNode& node) const {
    if (node.parent == nullptr) return true;
    const SiteNode* root = &node;
    while (root->parent != nullptr) root = root->parent;
    return inCrawlScope(root->page->address().host, node.page->address(),
                        manager_.settings().operation.autoCheck);
}

void SiteTree::addObserver(SiteTreeObserver* observer) {
    observers_.push_back(observer);
}

void SiteTree::removeObserver(SiteTreeObserver* observer) {
    std::erase(observers_, observer);
}

SiteNode* SiteTree::append(std::shared_ptr<PageEntry> page, SiteNode* parent) {
    auto node = std::make_unique<SiteNode>();
    node->page = std::move(page);
    node->parent = parent;
    node->depth = parent != nullptr ? parent->depth + 1 : 0;
    SiteNode* added = node.get();
    auto& siblings = parent != nullptr ? parent->children : roots_;
    for (auto* observer : observers_) observer->nodeAboutToBeAdded(parent, siblings.size());
    nodes_[added->page.get()] = added;
    siblings.push_back(std::move(node));
    for (auto* observer : observers_) observer->nodeAdded(added);
    return added;
}

SiteNode* SiteTree::addPage(std::string_view address, SiteNode* parent) {
    auto page = PageEntry::create(manager_, address, parent != nullptr ? parent->page : nullptr);
    manager_.visited().add(page->address().urlText);
    SiteNode* node = append(std::move(page), parent);
    node->setChecked(true);
    return node;
}

void SiteTree::queue(SiteNode& node, ScanFlags flags) {
    PageEntry& page = *node.page;
    if (page.rootItem() != nullptr || page.state() != PageState::Ready) page.reset();
    manager_.enqueuePage(node.page, flags);
}

SiteNode* SiteTree::analyseAddress(std::string_view text) {
    const std::string completed = completeTyped(text);
    const ParsedUrl address = ParsedUrl::parse(completed);
    if (!address.valid) return nullptr;
    SiteNode* node = findAddress(address.urlText);
    if (node == nullptr) {
        node = addPage(completed, nullptr);
        node->stateWord |= SiteNode::kKept;
    }
    queue(*node, kScanAll);
    return node;
}

void SiteTree::reanalysePage(SiteNode& node, ScanFlags flags) {
    queue(node, flags);
}

void SiteTree::loadMarked() {
    for (SiteNode* node : displayOrder()) {
        if (node->checked() && node->page->rootItem() == nullptr && !isRunning(*node->page)) {
            manager_.enqueuePage(node->page, kAnchorDownload);
        }
    }
}

void SiteTree::crawl() {
    crawl_.start(*this);
}

void SiteTree::analyzeAll(std::string_view barText) {
    if (roots_.empty()) {
        analyseAddress(barText);
    } else if (crawl_.enabled) {
        crawl();
    } else {
        for (SiteNode* node : displayOrder()) {
            if (node->checked() && !fullyLoaded(*node->page) && !isRunning(*node->page)) {
                queue(*node, fullScanFlags(*node->page));
            }
        }
    }
}

bool SiteTree::hasPageToLoad() const {
    for (const SiteNode* node : displayOrder()) {
        const PageEntry& page = *node->page;
        if (fullyLoaded(page) || isRunning(page)) continue;
        if (!crawl_.enabled) {
            if (node->checked()) return true;
        } else if (node->depth < crawl_.levelLimit && page.state() != PageState::Canceled &&
                   inScope(*node)) {
            return true;
        }
    }
    return false;
}

void SiteTree::analyzeSelected(const std::vector<SiteNode*>& selected, std::string_view barText) {
    if (roots_.empty()) {
        analyseAddress(barText);
        return;
    }
    for (SiteNode* node : selected) queue(*node, kScanAll);
}

void SiteTree::stop() {
    crawl_.reset();
    manager_.stop();
}

void SiteTree::removeSubtree(SiteNode& node) {
    auto& siblings = node.parent != nullptr ? node.parent->children : roots_;
    const auto place =
        std::find_if(siblings.begin(), siblings.end(),
                     [&](const std::unique_ptr<SiteNode>& n) { return n.get() == &node; });
    if (place == siblings.end()) return;
    const auto row = static_cast<std::size_t>(place - siblings.begin());
    for (auto* observer : observers_) observer->nodeAboutToBeRemoved(&node, row);
    std::vector<SiteNode*> pending{&node};
    while (!pending.empty()) {
        SiteNode* current = pending.back();
        pending.pop_back();
        for (const auto& child : current->children) pending.push_back(child.get());
        manager_.visited().remove(current->page->address().urlText);
        current->page->releaseItems();
        nodes_.erase(current->page.get());
    }
    siblings.erase(place);
    for (auto* observer : observers_) observer->nodeRemoved();
}

bool SiteTree::deleteSelected(const std::vector<SiteNode*>& selected,
                              SiteTreeQuestions& questions) {
    if (selected.empty()) return false;
    if (questions.ask(std::string(SiteTreeQuestions::kDeleteSelected)) !=
        SiteTreeQuestions::Answer::Yes) {
        return false;
    }
    // A page inside another selected page's subtree goes with that subtree.
    const std::set<const SiteNode*> chosen(selected.begin(), selected.end());
    std::vector<SiteNode*> tops;
    for (SiteNode* node : selected) {
        bool covered = false;
        for (const SiteNode* up = node->parent; up != nullptr && !covered; up = up->parent) {
            covered = chosen.count(up) != 0;
        }
        if (!covered && std::find(tops.begin(), tops.end(), node) == tops.end()) {
            tops.push_back(node);
        }
    }
    for (SiteNode* node : tops) removeSubtree(*node);
    return !tops.empty();
}

bool SiteTree::deleteAll(SiteTreeQuestions& questions) {
    if (questions.ask(std::string(SiteTreeQuestions::kDeleteAll)) !=
        SiteTreeQuestions::Answer::Yes) {
        return false;
    }
    clear();
    return true;
}

std::size_t SiteTree::removeNotLoaded() {
    if (manager_.isBusy()) return 0;
    std::vector<SiteNode*> doomed;
    for (SiteNode* node : displayOrder()) {
        if (node->children.empty() && !fullyLoaded(*node->page)) doomed.push_back(node);
    }
    for (SiteNode* node : doomed) removeSubtree(*node);
    return doomed.size();
}

void SiteTree::clear() {
    for (auto* observer : observers_) observer->treeAboutToBeCleared();
    for (const auto& [page, node] : nodes_) node->page->releaseItems();
    roots_.clear();
    nodes_.clear();
    manager_.visited().clear();
    crawl_.reset();
    for (auto* observer : observers_) observer->treeCleared();
}

void SiteTree::joinChildPage(const std::shared_ptr<PageEntry>& page) {
    const std::shared_ptr<PageEntry> parent = page->parent();
    SiteNode* parentNode = parent ? find(parent.get()) : nullptr;
    if (parentNode == nullptr || find(page.get()) != nullptr) {
        // Its parent left the tree while the page was on its way: so does its address.
        if (parentNode == nullptr) manager_.visited().remove(page->address().urlText);
        return;
    }
    SiteNode* node = append(page, parentNode);
    node->setChecked(inScope(*node));
}

void SiteTree::handle(const EngineMessage& message) {
    switch (message.id) {
        case MessageId::PageState:
            if (message.pageAddedByCrawl() && message.page) joinChildPage(message.page);
            break;
        case MessageId::DuplicatePage:
            if (message.value == message::kAfterRemoval && message.page) {
                if (SiteNode* node = find(message.page.get())) removeSubtree(*node);
            }
            break;
        case MessageId::WorkState:
            // An end posted while the level was still being queued (a quick first page can
            // end the run before the next is queued) arrives after work started again: the
            // next level waits for the run's real end, or it would queue waiting pages twice.
            if (message.workEnded() && crawl_.running && !manager_.isBusy()) crawl_.advance(*this);
            break;
        default:
            break;
    }
}

}  // namespace engine
