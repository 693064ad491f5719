#pragma once

#include <memory>

#include "query/QueryTable.h"

namespace engine {
class PageEntry;
}

namespace query {

// The element table of the current page, kept with the connection index it was built for and
// rebuilt on the next request when it was invalidated, when the index differs or when another
// page is asked for. User-interface thread only.
class ElementTableCache {
public:
    // The table of `page` for `index`; none without a page.
    QueryTablePtr table(const std::shared_ptr<engine::PageEntry>& page, int index);
    // The page's items changed (it was loaded again): build anew at the next request.
    void invalidate() { table_.reset(); }
    // No page is current any more.
    void release();

private:
    std::weak_ptr<engine::PageEntry> page_;
    int index_ = -1;
    QueryTablePtr table_;
};

}  // namespace query
