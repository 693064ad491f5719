#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "engine/items/ItemRegistry.h"
#include "engine/items/WebItem.h"

namespace engine {

class PageEntry;

// An item of a page: it reports the edges of its transfer to the page that observes it (which
// posts them as item progress), re-registers itself when a redirection moves it, and can be
// claimed by exactly one load.
//
// Owned through std::shared_ptr (the registry and running jobs hold it). The observing page is
// held weakly: an item outlives pages that were deleted while it was shared.
class PageItem : public WebItem, public std::enable_shared_from_this<PageItem> {
public:
    // `registry` is the one the item is registered in; it must outlive every transfer of the item.
    PageItem(ParsedUrl address, ItemRegistry& registry, std::weak_ptr<PageEntry> observer,
             const Clock& clock = Clock::steady());

    // True for the first caller only: that caller downloads the item; everyone else finds it
    // already taken and counts it without a download. Thread-safe.
    bool claim() { return !claimed_.exchange(true); }
    // Gives a claim back when the download never started (the page stopped first), so that a
    // later page downloads the item.
    void unclaim() { claimed_.store(false); }
    bool claimed() const { return claimed_.load(); }

    std::shared_ptr<PageEntry> observer() const { return observer_.lock(); }

protected:
    void connected() override { report(); }
    void requestSent() override { report(); }
    void responseDone() override { report(); }
    void redirected(const std::string& /*url*/) override { report(); }
    // Another item holding the new address makes this one a duplicate; otherwise the item is
    // registered under the new address as well. Either way address and target follow it.
    void redirectHook(const std::string& url) override;

private:
    void report();

    ItemRegistry& registry_;
    std::weak_ptr<PageEntry> observer_;
    std::atomic<bool> claimed_{false};
};

}  // namespace engine
