#pragma once

#include <cstdint>

namespace engine {

// What a scan of a document collects; the bits combine.
using ScanFlags = std::uint32_t;
inline constexpr ScanFlags kScanElements = 1;  // what the document makes a browser fetch
inline constexpr ScanFlags kScanAnchors = 2;   // hyperlinks, for the crawl
inline constexpr ScanFlags kScanTitle = 4;     // the TITLE text
inline constexpr ScanFlags kScanAll = kScanElements | kScanAnchors | kScanTitle;

}  // namespace engine
