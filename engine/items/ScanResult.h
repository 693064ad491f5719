#pragma once

#include <string>
#include <vector>

#include "engine/html/ScanFlags.h"
#include "engine/items/LinkRef.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

// What the last scan of an item found. Before any scan, and after a scan of an item that is not
// a document, the lists are empty and `flags` is 0.
struct ScanResult {
    std::vector<LinkRef> elements;  // in document order, without repeated addresses
    std::vector<LinkRef> anchors;   // likewise
    ScanFlags flags = 0;            // the flags of the scan that found them
    std::string title;              // kept from earlier scans until a scan takes a new one
    ParsedUrl base;                 // the document's own address, or its BASE address

    bool operator==(const ScanResult&) const = default;
};

}  // namespace engine
