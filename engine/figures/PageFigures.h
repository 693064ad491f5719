#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/figures/BrowserSimulation.h"
#include "engine/items/ItemRegistry.h"
#include "engine/items/WebItem.h"
#include "engine/timing/ElementStats.h"

namespace engine {

// One item as a page sees it for one connection index: its restated record with the values of
// its subtree in this page and its shares of the page totals.
struct ItemFigures {
    std::shared_ptr<WebItem> item;
    int parent = -1;  // index of the parent item in PageFigures::items; -1 for the root item
    int level = 0;    // depth below the page's root item
    ElementStats stats;
    // Byte offset, in the parent's document, of the tag that refers to the item (0 for the root).
    std::uint32_t position = 0;
    // Where the four-lane browser put the item: the run that gave the page its download and
    // browse time, so that a drawing of the lanes always agrees with those figures.
    BrowserSimulation::Placement placement;
};

// A page's figures for one connection index.
struct PageFigures {
    int connectionIndex = 0;
    std::uint32_t pageTime = 0;      // the items' total times, summed over the page
    std::uint32_t pageSize = 0;      // the items' sizes, summed over the page
    std::uint32_t downloadTime = 0;  // four-lane browser: until the last byte
    std::uint32_t browseTime = 0;    // four-lane browser: until the last document or style sheet
    std::vector<ItemFigures> items;  // depth first from the root item
};

// The item's record for a connection index: the measured one for 0, restated for 1 to 10 (an
// answer from a cache keeps its record, without time, for every index).
ElementStats statsFor(const WebItem& item, int connectionIndex);

// Sums, subtree values, shares and the four-lane simulation over the page whose root item stands
// at `root` (none: empty figures). Takes the registry's lock only to read the tree. Shares are
// 0 when the page's total is 0; sums saturate at the 32-bit maximum instead of wrapping.
PageFigures computePage(const ItemRegistry& registry, const ItemRegistry::Node* root,
                        int connectionIndex);

// The page's speed in bytes per second: its size over its page time, taken as 1 ms when the
// page time is 0 (as for a single measured item).
double pageSpeed(const PageFigures& figures);

// The one process-wide lock under which pages compute and cache their figures.
std::mutex& figuresLock();

}  // namespace engine
