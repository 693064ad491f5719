#pragma once

#include <string>
#include <utility>

#include "engine/figures/Waterfall.h"

// Hand-made waterfalls for the drawing and its writers: every row's place is given, so the
// suites know where each bar must stand.
namespace report::testing {

struct SampleRow {
    std::string path;
    int lane;
    std::uint32_t start;
    engine::WaterfallParts parts;
    bool blocking = false, failed = false, redirected = false;
    int level = 1;
};

inline engine::WaterfallRow sampleRow(int item, SampleRow s) {
    engine::WaterfallRow row;
    row.item = item;
    row.level = s.level;
    row.lane = s.lane;
    row.start = s.start;
    row.parts = s.parts;
    row.end = s.start + s.parts.connect + s.parts.send + s.parts.wait + s.parts.receive;
    row.receiveTime = s.parts.receive;
    row.blocking = s.blocking;
    row.failed = s.failed;
    row.redirected = s.redirected;
    row.host = "site.test";
    row.path = std::move(s.path);
    row.address = "http://site.test/" + row.path;
    row.status = s.failed ? 404 : 200;
    row.size = 2048;
    if (s.failed) row.error = "Not Found";
    row.measuredStart = static_cast<std::int64_t>(s.start) + 5;
    return row;
}

// A page of seven rows on all four lanes, its download time 1250 ms (the large image), its
// browse time 400 ms (the style sheet); one element failed, one redirected, one took no time.
inline engine::Waterfall sampleWaterfall(int connection = 2) {
    engine::Waterfall w;
    w.connectionIndex = connection;
    w.rows = {
        sampleRow(0, {"", 0, 0, {100, 10, 50, 140}, true, false, false, 0}),
        sampleRow(1, {"style.css", 1, 200, {50, 0, 100, 50}, true}),
        sampleRow(2, {"images/logo.gif", 2, 200, {40, 5, 60, 95}}),
        sampleRow(3, {"images/large.jpg?size=big", 3, 200, {20, 0, 30, 1000}}),
        sampleRow(4, {"missing.gif", 0, 300, {10, 0, 20, 0}, false, true}),
        sampleRow(5, {"moved.gif", 0, 330, {10, 0, 10, 30}, false, false, true}),
        sampleRow(6, {"empty.gif", 2, 400, {0, 0, 0, 0}, false, true}),
    };
    w.downloadTime = 1250;
    w.browseTime = 400;
    return w;
}

}  // namespace report::testing
