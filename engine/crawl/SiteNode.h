#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/schedule/PageEntry.h"

namespace engine {

// One row of the site tree: a page, where it stands in the tree and how the user marked it.
struct SiteNode {
    // Bits of the node state word.
    static constexpr std::uint32_t kChecked = 1;  // marked for loading
    static constexpr std::uint32_t kKept = 2;     // typed by the user: saved even when unmarked

    std::shared_ptr<PageEntry> page;
    SiteNode* parent = nullptr;
    std::vector<std::unique_ptr<SiteNode>> children;
    int depth = 0;  // 0 for a root page
    std::uint32_t stateWord = 0;
    bool expanded = false;

    bool checked() const { return (stateWord & kChecked) != 0; }
    void setChecked(bool value) {
        stateWord = value ? (stateWord | kChecked) : (stateWord & ~kChecked);
    }
};

}  // namespace engine
