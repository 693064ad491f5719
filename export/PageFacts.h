#pragma once

#include <string>

#include "engine/schedule/PageEntry.h"

// Facts about a page of the site tree that every output of the command-line program shows the
// same way.
namespace exporting {

// The number of parent links above the page: 0 for a root page.
int pageDepth(const engine::PageEntry& page);

// The address of the parent page, or "" for a root page.
std::string parentAddress(const engine::PageEntry& page);

}  // namespace exporting
