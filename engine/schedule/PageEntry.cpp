#include "engine/schedule/PageEntry.h"

#include <utility>

#include "engine/base/Clock.h"
#include "engine/schedule/SiteManager.h"

namespace engine {

std::shared_ptr<PageEntry> PageEntry::create(SiteManager& manager, std::string_view address,
                                             std::shared_ptr<PageEntry> parent) {
    return std::shared_ptr<PageEntry>(
        new PageEntry(manager, ParsedUrl::parse(address), std::move(parent)));
}

PageEntry::PageEntry(SiteManager& manager, ParsedUrl address, std::shared_ptr<PageEntry> parent)
    : manager_(manager), parent_(parent), address_(std::move(address)) {}

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
    return observer_ ? observer_ : manager_.sink();
}

bool PageEntry::abort() {
    auto loading = static_cast<std::uint32_t>(PageState::InProcess);
    return state_.compare_exchange_strong(loading, static_cast<std::uint32_t>(PageState::Aborting));
}

std::shared_ptr<WebItem> PageEntry::rootItem() const {
    std::lock_guard guard(mutex_);
    return rootItem_;
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

PageFigures PageEntry::figures(int index) {
    if (!isConnectionIndex(index)) return PageFigures{};
    const auto slot = static_cast<std::size_t>(index);
    std::lock_guard guard(figuresLock());
    // Stamped with the count of changes seen before the walk: a change made during the walk
    // leaves the cache out of date, never the other way round.
    const std::uint64_t stamp = changes_.load() + 1;
    if (computedAt_[slot] != stamp) {
        figures_[slot] = computePage(manager_.registry(), rootNode_, index);
        computedAt_[slot] = stamp;
    }
    return figures_[slot];
}

bool PageEntry::figuresUpToDate(int index) const {
    if (!isConnectionIndex(index)) return false;
    std::lock_guard guard(figuresLock());
    return computedAt_[static_cast<std::size_t>(index)] == changes_.load() + 1;
}

void PageEntry::setConnectionIndex(int index) {
    if (isConnectionIndex(index)) connectionIndex_.store(index);
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
    std::lock_guard guard(figuresLock());
    ItemRegistry::Node* node = std::exchange(rootNode_, nullptr);
    changes_.fetch_add(1);
    if (node != nullptr) manager_.registry().remove(node);
}

void PageEntry::reset(bool notify) {
    releaseItems();
    {
        std::lock_guard guard(mutex_);
        rootItem_.reset();
        load_.reset();
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

}  // namespace engine
