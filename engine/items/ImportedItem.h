#pragma once

#include <memory>

#include "engine/base/Clock.h"
#include "engine/items/RecordedTransfer.h"
#include "engine/items/WebItem.h"

namespace engine {

namespace detail {
// Constructed before the WebItem base, which keeps a reference to the clock.
struct ReplayClock {
    ManualClock clock{0};
};
}  // namespace detail

// An item read from a recording instead of downloaded. Its transfer is replayed through the
// phase machine and stopwatches a download drives, on a clock of its own that moves by the
// recorded times only, so its record, phases, start tick and address are what a download with
// those times leaves (redirections included: the item takes the address a redirection led to).
//
// It is never downloaded: the page import puts it in a page's tree but not among the registry's
// addresses, so no page load takes it for its own; Analyze gives the page new items, and Reload
// Selected reloads only the loader's items (PageItem), not this one.
class ImportedItem final : private detail::ReplayClock, public WebItem {
public:
    // The item of `transfer`, replayed. `transfer.requests` must not be empty.
    static std::shared_ptr<ImportedItem> replay(const RecordedTransfer& transfer);

private:
    explicit ImportedItem(const ParsedUrl& address);
    void run(const RecordedTransfer& transfer);
};

}  // namespace engine
