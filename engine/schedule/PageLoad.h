#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "engine/items/ItemRegistry.h"

namespace engine {

// The accounting of one load of a page: the nodes registered in the page's item tree (expected)
// against the nodes accounted for (finished). docs/scheduler.md explains why it is airtight:
// a node is registered, under this object's lock, before the load of the document that found
// it is accounted for, so the counts can only meet once nothing is left that could register
// more. Every load of a page has its own PageLoad, so the work of an earlier load that is still
// running can never count for a later one.
class PageLoad {
public:
    // Whether the items added are registered under their addresses (a download: later pages
    // find and share them) or only put in the tree (an import: no download takes them).
    enum class Listing { Listed, Unlisted };

    // The root item's node counts as the first expected node. `settled` more nodes are expected
    // and accounted for already: a load that fetches one node of a loaded tree again.
    PageLoad(ItemRegistry& registry, ItemRegistry::Node* root, std::uint32_t settled = 0,
             Listing listing = Listing::Listed);
    PageLoad(const PageLoad&) = delete;
    PageLoad& operator=(const PageLoad&) = delete;

    ItemRegistry::Node* root() const { return root_; }

    // Puts `item` under `parent` (a node of this page) and expects it; none once the load has
    // finished, so a late job never grows a page that has settled (or was dropped).
    ItemRegistry::Node* addChild(const std::shared_ptr<WebItem>& item, ItemRegistry::Node* parent,
                                 std::uint32_t position);

    // One expected node, of `size` bytes, is accounted for. True for exactly one call over the
    // load's life: the one at which the counts meet, or the first made with `regardless` (an
    // aborted page ends at once). Calls after that change nothing and return false.
    bool account(bool regardless, std::uint32_t size);
    // Ends the load without completing it (its page is being removed): later adds and accounts
    // change nothing. True when the load was still running.
    bool abandon();

    bool finished() const { return finished_.load(); }
    std::uint32_t expected() const { return expected_.load(); }
    std::uint32_t accounted() const { return accounted_.load(); }
    // The sizes of the accounted items, summed while the page loads (saturating); the page
    // puts its computed size here when it completes.
    std::uint32_t size() const { return size_.load(); }
    void setSize(std::uint32_t size) { size_.store(size); }

private:
    ItemRegistry& registry_;
    ItemRegistry::Node* const root_;
    const Listing listing_;
    std::mutex mutex_;
    // Changed under mutex_; atomics so that views can read them at any time.
    std::atomic<std::uint32_t> expected_{1};
    std::atomic<std::uint32_t> accounted_{0};
    std::atomic<bool> finished_{false};
    std::atomic<std::uint32_t> size_{0};
};

}  // namespace engine
