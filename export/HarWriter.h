#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/schedule/PageEntry.h"

// The pages of the site tree as an HTTP Archive (HAR 1.2), for tools that read page loads.
//
// One HAR page per site-tree page and one entry per transfer, with the measured ("Actual
// Speed") figures:
// - An item appears once, under the first page (in the order given) whose tree holds it. A page
//   that found an element already fetched for an earlier page reused it without a transfer, so
//   it lists no entry for it, as a browser lists no request for a cached element.
// - An item that never started a transfer (the page was stopped first, or its address was not
//   valid) has no entry.
// - A transfer that failed without a response has status 0, httpVersion "" and the error's text
//   as the entry's comment; an HTTP failure keeps its status (404 ...) and gets the comment too.
// - Timings: connect (name resolution, connection and TLS set-up together, -1 on a reused
//   connection), send, wait (to the first response byte) and receive are the stopwatches;
//   blocked, dns and ssl are not measured apart and are -1. `time` is the sum of the timings
//   that are not negative.
// - Start times: the tick at which a transfer began, turned into wall time by a HarClock; a page
//   starts with its root item's request. Entries are in the order their transfers began.
// - httpVersion: the response's own ("HTTP/1.0", "HTTP/1.1", "HTTP/2"); the request's is the same
//   ("HTTP/1.1" when no response came).
// - pageTimings: the four-connection browser's browse time (onContentLoad) and download time
//   (onLoad) of a loaded page; -1 while the page is not loaded or when its document got no
//   response.
// - Headers and cookies are not kept by the engine, so their lists are empty and their sizes -1.
// - Every item but a page's document names the item that referred to it as browsers name an
//   entry's cause, `_initiator` {"type": "parser", "url": ...}, and `_offset`, the byte position
//   of the reference in that item's body; an answer a browser's cache gave (an imported item)
//   has `_fromCache`. An import of the file rebuilds the pages from them (HarImport.h).
namespace exporting {

// One moment seen on both clocks: the wall clock and the engine's tick counter, so that ticks
// of stopwatches become dates.
struct HarClock {
    std::chrono::system_clock::time_point wall;
    std::uint32_t tick = 0;

    // Now on the system clock and on engine::Clock::steady().
    static HarClock now();
    // The wall time of `tick` (at most 49 days before `tick`'s moment, as the counter wraps).
    std::chrono::system_clock::time_point wallTime(std::uint32_t tickAt) const;
};

// "2024-05-01T09:30:12.345Z": UTC with milliseconds.
std::string isoTime(std::chrono::system_clock::time_point time);

// The HAR document ({"log": {...}}) of `pages`.
nlohmann::json harDocument(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                           const HarClock& clock = HarClock::now());

// Writes the HAR document of `pages` to `path` (see saveText: a failed write keeps any earlier
// file). False with `error` set on failure.
bool writeHar(const std::string& path, const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
              std::string& error, const HarClock& clock = HarClock::now());

}  // namespace exporting
