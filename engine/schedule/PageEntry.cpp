#include "engine/schedule/PageEntry.h"

#include <optional>
#include <utility>

#include "engine/base/Clock.h"

namespace engine {

std::shared_ptr<PageEntry> PageEntry::create(PageHost& host, std::string_view address,
                                             std::shared_ptr<PageEntry> parent) {
    return std::shared_ptr<PageEntry>(
        new PageEntry(host, ParsedUrl::parse(address), std::move(parent)));
}

PageEntry::PageEntry(PageHost& host, ParsedUrl address, std::shared_ptr<PageEntry> parent)
    : host_(host), parent_(parent), address_(std::move(address)) {}

ParsedUrl PageEntry::address() const {
    std::lock_guard guard(mutex_);
    return address_;
}

void PageEntry::setAddress(ParsedUrl address) {
    std::lock_guard guard(mutex_);
    address_ = std::move(address);
}

void PageEntry::setObserver(std::shared_ptr<MessageSink> observer) {
    std::lock_guard guard(mutex_);
    observer_ = std::move(observer);
}

std::shared_ptr<MessageSink> PageEntry::sink() const {
    std::lock_guard guard(mutex_);
    return observer_ ? observer_ : host_.sink();
}

bool PageEntry::abort() {
    auto loading = static_cast<std::uint32_t>(PageState::InProcess);
    return state_.compare_exchange_strong(loading, static_cast<std::uint32_t>(PageState::Aborting));
}

std::shared_ptr<WebItem> PageEntry::rootItem() const {
    std::lock_guard guard(mutex_);
    return rootItem_;
}

std::string PageEntry::importSource() const {
    std::lock_guard guard(mutex_);
    return importSource_;
}

std::shared_ptr<PageLoad> PageEntry::load() const {
    std::lock_guard guard(mutex_);
    return load_;
}

std::uint32_t PageEntry::expectedCount() const {
    const auto current = load();
    return current ? current->expected() : 0;
}

std::uint32_t PageEntry::finishedCount() const {
    const auto current = load();
    return current ? current->accounted() : 0;
}

std::uint32_t PageEntry::pageSize() const {
    const auto current = load();
    return current ? current->size() : 0;
}

PageFigures PageEntry::figures(int connectionIndex) {
    if (!isConnectionIndex(connectionIndex)) return PageFigures{};
    const auto slot = static_cast<std::size_t>(connectionIndex);
    std::lock_guard guard(figuresLock());
    // Stamped with the count of changes seen before the walk: a change made during the walk
    // leaves the cache out of date, never the other way round.
    const std::uint64_t stamp = changes_.load() + 1;
    if (computedAt_[slot] != stamp) computeLocked(slot, stamp);
    return figures_[slot];
}

void PageEntry::computeLocked(std::size_t slot, std::uint64_t stamp) {
    figures_[slot] = computePage(host_.registry(), rootNode_, static_cast<int>(slot));
    computedAt_[slot] = stamp;
}

bool PageEntry::figuresUpToDate(int connectionIndex) const {
    if (!isConnectionIndex(connectionIndex)) return false;
    std::lock_guard guard(figuresLock());
    return computedAt_[static_cast<std::size_t>(connectionIndex)] == changes_.load() + 1;
}

bool PageEntry::waitUntilComplete(std::chrono::milliseconds limit) const {
    return completion_.waitFor(limit);
}

std::uint32_t PageEntry::jobElapsedMs() const {
    const std::uint32_t start = startTick_.load();
    return start == 0 ? 0 : Clock::steady().now() - start;
}

void PageEntry::setAnalysis(int pageClass, std::string hint) {
    std::lock_guard guard(mutex_);
    pageClass_ = pageClass;
    hint_ = std::move(hint);
}

int PageEntry::pageClass() const {
    std::lock_guard guard(mutex_);
    return pageClass_;
}

std::string PageEntry::hintText() const {
    std::lock_guard guard(mutex_);
    return hint_;
}

void PageEntry::releaseItems() {
    if (const auto current = load(); current && current->abandon()) {
        // Nothing else will complete this load now: settle it here so its job ends.
        const std::uint32_t before =
            state_.exchange(static_cast<std::uint32_t>(PageState::Canceled));
        postState(before);
        completion_.set();
    }
    removeTree();
}

void PageEntry::removeTree() {
    std::lock_guard guard(figuresLock());
    ItemRegistry::Node* node = std::exchange(rootNode_, nullptr);
    changes_.fetch_add(1);
    if (node != nullptr) host_.registry().remove(node);
}

void PageEntry::reset(bool notify) {
    releaseItems();
    {
        std::lock_guard guard(mutex_);
        rootItem_.reset();
        load_.reset();
        importSource_.clear();
        pageClass_ = 0;
        hint_.clear();
    }
    {
        std::lock_guard guard(figuresLock());
        changes_.fetch_add(1);
    }
    const std::uint32_t before = state_.exchange(static_cast<std::uint32_t>(PageState::Ready));
    if (notify) postState(before);
}

void PageEntry::postState(std::uint32_t previousState) {
    if (const auto target = sink()) {
        target->post(EngineMessage::pageState(state_.load(), shared_from_this(), previousState));
    }
}

void PageEntry::postItemProgress(std::shared_ptr<WebItem> item) {
    if (const auto target = sink()) {
        target->post(EngineMessage::itemProgress(shared_from_this(), std::move(item)));
    }
}

void PageEntry::beginJob(ScanFlags flags) {
    completion_.reset();
    jobFlags_.store(flags);
    startTick_.store(Clock::steady().now());
}

void PageEntry::endJob() {
    completion_.wait();
}

bool PageEntry::beginLoad(std::uint32_t& previous) {
    previous = state_.load();
    const auto loading = static_cast<std::uint32_t>(PageState::InProcess);
    do {
        if (previous == loading) return false;
    } while (!state_.compare_exchange_weak(previous, loading));
    return true;
}

std::shared_ptr<PageLoad> PageEntry::startTree(std::shared_ptr<WebItem> root) {
    return beginTree(std::move(root), PageLoad::Listing::Listed, {});
}

std::shared_ptr<PageLoad> PageEntry::startImportedTree(std::shared_ptr<WebItem> root,
                                                       std::string source) {
    return beginTree(std::move(root), PageLoad::Listing::Unlisted, std::move(source));
}

std::shared_ptr<PageLoad> PageEntry::beginTree(std::shared_ptr<WebItem> root,
                                               PageLoad::Listing listing, std::string source) {
    if (const auto previous = load()) previous->abandon();
    removeTree();
    ItemRegistry& registry = host_.registry();
    ItemRegistry::Node* node = listing == PageLoad::Listing::Listed
                                   ? registry.add(root, nullptr, 0)
                                   : registry.addUnlisted(root, nullptr, 0);
    auto started = std::make_shared<PageLoad>(registry, node, 0, listing);
    {
        std::lock_guard guard(mutex_);
        rootItem_ = std::move(root);
        load_ = started;
        importSource_ = std::move(source);
    }
    std::lock_guard guard(figuresLock());
    rootNode_ = node;
    changes_.fetch_add(1);
    return started;
}

std::shared_ptr<PageLoad> PageEntry::beginReload(const WebItem& item, ItemRegistry::Node*& node,
                                                 std::uint32_t& previous) {
    // In process first, so that no page job can start a new tree while this one is read.
    previous = state_.load();
    const auto loading = static_cast<std::uint32_t>(PageState::InProcess);
    do {
        if (!isLoaded(static_cast<PageState>(previous))) return nullptr;
    } while (!state_.compare_exchange_weak(previous, loading));

    const ItemRegistry::Node* found = nullptr;
    std::uint32_t nodes = 0;
    ItemRegistry::Node* root = nullptr;
    {
        std::lock_guard guard(figuresLock());
        root = rootNode_;
        if (root != nullptr)
            host_.registry().walk(root, [&](const ItemRegistry::Node& n) {
                ++nodes;
                if (found == nullptr && n.item.get() == &item) found = &n;
            });
        // The measurements about to be reset are part of the cached figures.
        if (found != nullptr) changes_.fetch_add(1);
    }
    if (found == nullptr) {
        state_.store(previous);
        return nullptr;
    }
    // The registry hands out const nodes to walkers; this page owns the tree the node is in.
    node = const_cast<ItemRegistry::Node*>(found);
    auto started = std::make_shared<PageLoad>(host_.registry(), root, nodes - 1);
    std::lock_guard guard(mutex_);
    if (load_) load_->abandon();
    load_ = started;
    return started;
}

void PageEntry::treeChanged() {
    changes_.fetch_add(1);
}

void PageEntry::cancel() {
    state_.store(static_cast<std::uint32_t>(PageState::Canceled));
}

std::uint32_t PageEntry::settle(PageLoad& load) {
    {
        std::lock_guard guard(figuresLock());
        const std::uint64_t stamp = changes_.load() + 1;
        for (std::size_t slot = 0; slot < figures_.size(); ++slot) computeLocked(slot, stamp);
        load.setSize(figures_[kActualSpeed].pageSize);
    }
    return state_.exchange(static_cast<std::uint32_t>(settledState()));
}

PageState PageEntry::settledState() const {
    const auto current = state();
    if (current == PageState::Aborting) return PageState::Canceled;
    std::optional<PageState> found;
    {
        std::lock_guard guard(figuresLock());
        const ItemRegistry::Node* root = rootNode_;
        host_.registry().walk(root, [&](const ItemRegistry::Node& node) {
            if (found) return;
            const LoadPhase phase = node.item->phase();
            if (phase == LoadPhase::Error) {
                found = &node == root ? PageState::Error : PageState::ChildError;
            } else if (&node == root && phase == LoadPhase::Skipped) {
                found = PageState::Canceled;
            }
        });
    }
    if (found) return *found;
    return current == PageState::InProcess ? PageState::Finished : PageState::Canceled;
}

}  // namespace engine
