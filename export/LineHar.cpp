#include "export/LineHar.h"

#include <algorithm>
#include <chrono>
#include <map>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/LineModel.h"
#include "export/HarDate.h"
#include "export/JsonReport.h"
#include "export/OutputFile.h"

namespace exporting {
namespace {

using nlohmann::json;

std::int64_t part(std::uint32_t from, std::uint32_t to, bool applies) {
    return applies ? static_cast<std::int64_t>(to - from) : -1;
}

json timingsOf(const engine::LineTiming& t, bool https) {
    const bool opened = t.newConnection;
    return {{"blocked", static_cast<std::int64_t>(t.taken - t.ready)},
            {"dns", part(t.taken, t.lookedUp, opened)},
            {"connect", part(t.lookedUp, t.secured, opened)},
            {"send", static_cast<std::int64_t>(t.sent - t.secured)},
            {"wait", static_cast<std::int64_t>(t.firstByte - t.sent)},
            {"receive", static_cast<std::int64_t>(t.end - t.firstByte)},
            {"ssl", part(t.connected, t.secured, opened && https)}};
}

}  // namespace

nlohmann::json lineHarDocument(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                               const engine::NetworkLine& line, const HarClock& clock,
                               const engine::BrowserCost& cost) {
    json document = harDocument(pages, clock);
    json& log = document["log"];
    std::map<std::string, std::chrono::system_clock::time_point> starts;
    // Per page id and address: the item's modelled timing (its first place in the page).
    std::map<std::pair<std::string, std::string>, std::pair<engine::LineTiming, bool>> timings;
    std::size_t index = 0;
    for (const auto& page : pages) {
        if (!page) continue;
        json& harPage = log["pages"][index++];
        const std::string id = harPage["id"].get<std::string>();
        const engine::PageFigures measured = page->figures(engine::kActualSpeed);
        const engine::LineFigures figures = engine::modelLine(measured, line, cost);
        harPage["pageTimings"]["onContentLoad"] = figures.renderTime;
        harPage["pageTimings"]["onLoad"] = figures.loadTime;
        harPage["pageTimings"]["comment"] =
            "Modelled browser with six connections per host on the line " + line.name;
        const auto micros = parseHarDate(harPage["startedDateTime"].get<std::string>());
        starts[id] = micros ? std::chrono::system_clock::time_point(
                                  std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                      std::chrono::microseconds(*micros)))
                            : clock.wall;
        for (const engine::LineTiming& t : figures.timings) {
            const engine::WebItem& item = *measured.items[static_cast<std::size_t>(t.item)].item;
            const bool https = item.address().schemeKind == engine::ParsedUrl::kHttps;
            timings.emplace(std::make_pair(id, item.address().urlText), std::make_pair(t, https));
        }
    }
    std::vector<std::pair<std::chrono::system_clock::time_point, json>> entries;
    for (json& entry : log["entries"]) {
        const std::string id = entry["pageref"].get<std::string>();
        const auto found = timings.find({id, entry["request"]["url"].get<std::string>()});
        auto started = starts[id];
        if (found != timings.end()) {
            const auto& [t, https] = found->second;
            started += std::chrono::milliseconds(t.ready);
            entry["timings"] = timingsOf(t, https);
            entry["time"] = t.end - t.ready;
        }
        entry["startedDateTime"] = isoTime(started);
        entries.emplace_back(started, std::move(entry));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    json list = json::array();
    for (auto& entry : entries) list.push_back(std::move(entry.second));
    log["entries"] = std::move(list);
    return document;
}

bool writeLineHar(const std::string& path,
                  const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                  const engine::NetworkLine& line, std::string& error, const HarClock& clock,
                  const engine::BrowserCost& cost) {
    return saveText(path, jsonText(lineHarDocument(pages, line, clock, cost), 2) + "\n", error);
}

}  // namespace exporting
