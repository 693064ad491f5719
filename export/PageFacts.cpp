#include "export/PageFacts.h"

#include <memory>

namespace exporting {

int pageDepth(const engine::PageEntry& page) {
    int depth = 0;
    for (auto parent = page.parent(); parent; parent = parent->parent()) ++depth;
    return depth;
}

std::string parentAddress(const engine::PageEntry& page) {
    const auto parent = page.parent();
    return parent ? parent->address().urlText : std::string();
}

}  // namespace exporting
