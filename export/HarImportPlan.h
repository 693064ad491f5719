#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/schedule/PageImport.h"
#include "export/HarLog.h"

// Which pages a HAR file makes and what stands in each, worked out completely before the site
// tree is touched, so that a file that cannot be imported changes nothing.
namespace exporting {

// What an import brought and what it left out.
struct HarImportSummary {
    std::size_t pages = 0;        // pages made
    std::size_t items = 0;        // their items; a request and its redirections are one
    std::size_t cached = 0;       // of those, answers from the browser's cache
    std::size_t notWeb = 0;       // entries left out: not HTTP or HTTPS (data:, blob:, ws: ...)
    std::size_t withoutPage = 0;  // entries left out: no page, and no document before them
    std::size_t emptyPages = 0;   // HAR pages left out: no entry of theirs remains
};

struct PlannedPage {
    std::string address;  // the document's first address: the page's own
    engine::RecordedPage page;
};

struct HarPlan {
    std::vector<PlannedPage> pages;  // in the order their documents began
    HarImportSummary summary;
    std::string error;  // set: there is nothing to make
};

// The pages of `log`:
// - each HAR page with entries becomes a page; entries without a page are grouped by document:
//   a document entry ("_resourceType" document, or a text/html answer when the entry names no
//   resource type) that no entry of the current group caused starts a new page;
// - a page's document is its first request to begin; a request and the redirections it was
//   sent on (redirectURL, the next request of that address) are one item with the last answer,
//   as the download engine follows them itself (10 at most);
// - an item stands under the item its `_initiator` names (the referring document, or the
//   innermost script of the call stack that the page holds), else under its Referer, else under
//   the document; its position in that parent is Pagelyst's `_offset`, or, from a browser, the
//   share of the parent's receive time that had passed when the browser asked for it;
// - transfers start on the engine's tick counter as the file has them, the latest at
//   `latestTick`.
// Refused: a page reference to none of the file's pages (references in a file without pages are
// passed over); an HTTP address that cannot be split; a start more than 30 days after the
// file's first; no page at all.
HarPlan planPages(const HarLog& log, std::uint32_t latestTick);

}  // namespace exporting
