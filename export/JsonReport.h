#pragma once

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/schedule/PageEntry.h"

// The machine-readable output of the command-line program: the pages of the site tree with their
// figures for one connection, as one JSON document whose field names never change.
//
//   {"connection": {"index", "name"},
//    "pages": [{"address", "depth", "parent" (address or null), "state", "stateValue", "title",
//               "size", "elements",
//               "times": [{"index", "name", "page", "download", "browse"}, ... 11 connections],
//               "items": [{"id", "url", "parent" (url or null), "depth", "position", "offset",
//                          "phase", "phaseValue", "status", "result", "error", "contentType",
//                          "kind", "contentKind", "size", "connect", "send", "wait", "receive",
//                          "total"}, ...]}, ...]}
//
// Times are milliseconds and sizes bytes. "items" hold the figures for the chosen connection, in
// the page's depth-first order; "times" hold every connection's page time and four-lane download
// and browse times. "elements" counts the items accounted for. "position" is the item's place in
// that order; "offset" the byte position, in the parent item's body, of the tag that refers to
// the item (0 for the page's root); "contentKind" the content kind, 0 to 9. A page read from a
// HAR file also has "importedFrom" (the file's name), and an item its browser's cache answered
// "cached": true; measured pages have neither.
namespace exporting {

// The document for `pages` (site tree display order) at connection index `connection` (0 to
// 10; anything else throws std::out_of_range).
nlohmann::json jsonReport(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                          int connection);

// The document as text, indented by `indent` spaces (-1: one line). Bytes that are not UTF-8
// (addresses, titles and types come from servers) become U+FFFD instead of failing.
std::string jsonText(const nlohmann::json& document, int indent = 2);

}  // namespace exporting
