#pragma once

#include <memory>
#include <vector>

#include "engine/schedule/PageEntry.h"

namespace cli {

// The pages of a run in the site tree's display order.
using Pages = std::vector<std::shared_ptr<engine::PageEntry>>;

// The page the single-page outputs are about: the first one loaded, else the first one (none
// without pages).
std::shared_ptr<engine::PageEntry> currentPage(const Pages& pages);

}  // namespace cli
