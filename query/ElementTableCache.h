#pragma once

#include <memory>

#include "query/QueryTable.h"

namespace engine {
class PageEntry;
}

namespace query {

// The element table of the current page, kept with the connection index it was built for and
// rebuilt on the next request when it was invalidated, when the connection index differs or when
// another page is asked for. User-interface thread only.
class ElementTableCache {
public:
    // The table of `page` for `connectionIndex`; none without a page.
    QueryTablePtr table(const std::shared_ptr<engine::PageEntry>& page, int connectionIndex);
    // The page's items changed (it was loaded again): build anew at the next request.
    void invalidate() { table_.reset(); }
    // No page is current any more.
    void release();

private:
    std::weak_ptr<engine::PageEntry> page_;
    int connectionIndex_ = -1;
    QueryTablePtr table_;
};

}  // namespace query
