#include "query/ElementTableCache.h"

#include "query/ElementTable.h"

namespace query {

QueryTablePtr ElementTableCache::table(const std::shared_ptr<engine::PageEntry>& page,
                                       int connectionIndex) {
    if (!page) {
        release();
        return nullptr;
    }
    if (!table_ || connectionIndex != connectionIndex_ || page_.lock() != page) {
        table_ = buildElementTable(*page, connectionIndex);
        page_ = page;
        connectionIndex_ = connectionIndex;
    }
    return table_;
}

void ElementTableCache::release() {
    page_.reset();
    connectionIndex_ = -1;
    table_.reset();
}

}  // namespace query
