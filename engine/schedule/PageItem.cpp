#include "engine/schedule/PageItem.h"

#include <utility>

#include "engine/schedule/PageEntry.h"

namespace engine {

PageItem::PageItem(ParsedUrl address, ItemRegistry& registry, std::weak_ptr<PageEntry> observer,
                   const Clock& clock)
    : WebItem(std::move(address), clock), registry_(registry), observer_(std::move(observer)) {}

void PageItem::redirectHook(const std::string& url) {
    const ParsedUrl next = ParsedUrl::parse(url);
    if (next.urlText.empty()) return redirected(url);  // nothing to register or to take
    // registerAs tests and takes the address in one step under the registry's lock.
    if (!registry_.registerAs(next.urlText, shared_from_this())) setDuplicate(true);
    setAddress(next);
    retarget(next);
    redirected(url);
}

void PageItem::report() {
    if (auto page = observer()) page->postItemProgress(shared_from_this());
}

}  // namespace engine
