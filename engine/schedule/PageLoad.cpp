#include "engine/schedule/PageLoad.h"

#include <cstdint>

namespace engine {

PageLoad::PageLoad(ItemRegistry& registry, ItemRegistry::Node* root, std::uint32_t settled,
                   Listing listing)
    : registry_(registry),
      root_(root),
      listing_(listing),
      expected_(settled + 1),
      accounted_(settled) {}

ItemRegistry::Node* PageLoad::addChild(const std::shared_ptr<WebItem>& item,
                                       ItemRegistry::Node* parent, std::uint32_t position) {
    std::lock_guard guard(mutex_);
    if (finished_.load()) return nullptr;
    // Registered and expected in one step under the lock that account() takes: no count can be
    // compared against a tree that already holds the node but not yet its expectation.
    ItemRegistry::Node* node = listing_ == Listing::Listed
                                   ? registry_.addUnder(item, parent, position)
                                   : registry_.addUnlisted(item, parent, position);
    expected_.fetch_add(1);
    return node;
}

bool PageLoad::account(bool regardless, std::uint32_t size) {
    std::lock_guard guard(mutex_);
    if (finished_.load()) return false;
    const std::uint64_t sum = std::uint64_t{size_.load()} + size;
    size_.store(sum > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(sum));
    const std::uint32_t done = accounted_.fetch_add(1) + 1;
    if (done < expected_.load() && !regardless) return false;
    finished_.store(true);
    return true;
}

bool PageLoad::abandon() {
    std::lock_guard guard(mutex_);
    return !finished_.exchange(true);
}

}  // namespace engine
