#include "cli/Pages.h"

namespace cli {

std::shared_ptr<engine::PageEntry> currentPage(const Pages& pages) {
    for (const auto& page : pages) {
        if (page->rootItem()) return page;
    }
    return pages.empty() ? nullptr : pages.front();
}

}  // namespace cli
