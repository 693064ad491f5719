#include "query/ElementTableCache.h"

#include "query/ElementTable.h"

namespace query {

QueryTablePtr ElementTableCache::table(const std::shared_ptr<engine::PageEntry>& page, int index) {
    if (!page) {
        release();
        return nullptr;
    }
    if (!table_ || index != index_ || page_.lock() != page) {
        table_ = buildElementTable(*page, index);
        page_ = page;
        index_ = index;
    }
    return table_;
}

void ElementTableCache::release() {
    page_.reset();
    index_ = -1;
    table_.reset();
}

}  // namespace query
