#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/figures/PageFigures.h"
#include "engine/items/ItemRegistry.h"

namespace engine {

// The phases of one bar in milliseconds, laid end to end from the bar's start.
struct WaterfallParts {
    std::uint32_t connect = 0, send = 0, wait = 0, receive = 0;
};

// One item of a page as the four-lane browser loads it at one connection index.
struct WaterfallRow {
    int item = 0;             // index in PageFigures::items (depth-first order)
    int level = 0;            // depth below the page's root item
    int lane = 0;             // 0 to BrowserSimulation::kLanes - 1
    std::uint32_t start = 0;  // the lane takes the item (its connect begins), ms from the start
    std::uint32_t end = 0;    // the lane is free again: start + the four parts
    // Connect, send and wait of the item's record at the connection; receive as the lane holds
    // it, which for a document is half its receive time (a browser shows a document while it
    // still arrives).
    WaterfallParts parts;
    std::uint32_t receiveTime = 0;  // the record's whole receive time
    bool blocking = false;          // a completed document or style sheet: ends the browse time
    bool failed = false;            // phase Error, or a result other than 0
    bool redirected = false;        // the last transfer was redirected, or ended at a 3xx
    std::string address;            // the URL text the item was fetched for
    std::string host;               // of that address
    std::string path;               // of that address: path and query, without the leading "/"
    std::int32_t status = 0;        // HTTP status; 0 when none came
    std::uint32_t size = 0;         // body bytes
    std::string error;              // the error text of a failed item
    // When the measurement itself began the item's last transfer, in milliseconds after the
    // page's root item's transfer began: negative for an element fetched earlier for another
    // page; none for an item never fetched. Pagelyst's own workers are no browser (a document
    // is read and scanned before any of its elements is requested), so this is a fact about
    // the measurement, not a place on the lanes.
    std::optional<std::int64_t> measuredStart;
};

// A page's waterfall at one connection index: the placements of the very simulation that gave
// the page's download and browse time (PageFigures), so the largest end of any row is the
// download time and the largest end of a blocking row the browse time, for every connection.
//
// "Actual Speed" (index 0) is a row of the connection table like the others: its download and
// browse time are the four-lane browser's over the measured phase times, as every view, report,
// condition and the HAR show them. Its bars therefore have the measured phases, placed on the
// lanes; the measured start of each transfer is kept beside them in measuredStart.
struct Waterfall {
    int connectionIndex = 0;
    // The line drawn when it is none of the classic connections (a line of today); empty for
    // those, which connectionIndex names.
    std::string name;
    std::uint32_t downloadTime = 0;
    std::uint32_t browseTime = 0;
    std::vector<WaterfallRow> rows;  // in the order the simulation scheduled the items
};

// The waterfall of figures computed by computePage (PageEntry::figures caches them). Reads the
// items' outcomes (flags, status, error) as they stand now.
Waterfall waterfallOf(const PageFigures& figures);

// computePage, then waterfallOf; the same locking as computePage.
Waterfall computeWaterfall(const ItemRegistry& registry, const ItemRegistry::Node* root,
                           int connectionIndex);

}  // namespace engine
