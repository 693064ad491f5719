#pragma once

#include <cstdint>
#include <vector>

#include "engine/figures/NetworkLine.h"
#include "engine/figures/PageFigures.h"
#include "engine/figures/Waterfall.h"

namespace engine {

// When the modelled browser did what for one item, in whole milliseconds from the page's start,
// each moment no earlier than the one before it: the item is wanted (`ready`), a connection
// takes it (`taken`), the name lookup, the TCP handshake and the TLS handshake are done (each
// equal to the moment before when the connection was already open; the lookup may also wait
// for another connection's lookup of the host), the request goes out (after the browser's own
// time for it), the response's first byte arrives and its last.
struct LineTiming {
    int item = 0;         // index in PageFigures::items
    int connection = -1;  // numbered in the order the page opened them; -1 for a free item
    bool newConnection = false;
    std::uint32_t ready = 0, taken = 0, lookedUp = 0, connected = 0, secured = 0, sent = 0;
    std::uint32_t firstByte = 0, end = 0;
};

// The browser's own time, which no line shows and no measurement of the page holds: from a
// document's first byte to the first requests it makes (the browser commits the navigation and
// starts its parser), and for each request before it goes out on its connection (handing it to
// the network stack, and the response back). Both are 0 unless measured for a browser on the
// machine at hand; a fast machine's browser spends a few milliseconds, a small one's tens.
struct BrowserCost {
    double commitMs = 0;
    double requestMs = 0;
};

// A page restated for a line by LineModel.cpp's browser.
struct LineFigures {
    NetworkLine line;
    std::uint32_t loadTime = 0;       // the last byte of any item
    std::uint32_t renderTime = 0;     // the document and its style sheets and scripts have arrived
    std::vector<LineTiming> timings;  // one per item, in PageFigures::items order
    // The same run as waterfall rows: `lane` is LineTiming::connection (it may exceed
    // BrowserSimulation's lanes, so draw it by element), `start` the moment the connection takes
    // the item, its parts the lookup and handshakes (connect), the browser's own time for the
    // request (send), the wait for the first byte and the receive; `blocking` marks the items that
    // count for the render time. The waterfall's download and browse times are the load and render
    // time; its connection index is kActualSpeed, the measurement it restates.
    Waterfall waterfall;
};

// How a browser of today loads the measured page on `line`. `measured` are the page's figures
// at kActualSpeed (any index will do: only the tree, the positions and the items' measured
// records are read). The browser opens at most six HTTP/1.1 connections per scheme, host and
// port; a host's first connection looks its name up (one round trip), a new connection costs a
// round trip, one more on https; a request's first byte arrives a round trip plus the server's
// time after it was sent, the server's time being the measured wait less the measured round
// trip of its connection (its measured connect time, halved on https; the host's first measured
// connect when the connection was reused), never below 0. Each connection sends in rounds of its
// congestion window, 10 segments of 1460 bytes at first, grown by the bytes each round delivered
// up to the line's bandwidth-delay product, a round trip apart; the downstream bandwidth is
// shared equally among the connections delivering at any moment. An item is requested when its
// parent has arrived up to the byte offset of the referring tag (a frame's elements after the
// frame's own bytes), and never before `cost.commitMs` after that document's first byte; each
// request goes out `cost.requestMs` after its connection takes it. Items answered from a cache,
// never fetched, or met again in the page cost nothing. Pure: no locks, no clock.
LineFigures modelLine(const PageFigures& measured, const NetworkLine& line,
                      const BrowserCost& cost = {});

}  // namespace engine
