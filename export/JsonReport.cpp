#include "export/JsonReport.h"

#include <stdexcept>
#include <string>

#include "engine/base/ContentKind.h"
#include "engine/base/LoadPhase.h"
#include "engine/crawl/CrawlController.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/schedule/PageState.h"
#include "export/PageFacts.h"

namespace exporting {
namespace {

using nlohmann::json;

std::string_view displayKindName(engine::DisplayKind kind) {
    switch (kind) {
        case engine::DisplayKind::Document:
            return "Document";
        case engine::DisplayKind::Script:
            return "Script";
        case engine::DisplayKind::Image:
            return "Image";
        case engine::DisplayKind::Flash:
            return "Flash";
    }
    return "Unknown";
}

json itemJson(const engine::PageFigures& figures, std::size_t position) {
    const engine::ItemFigures& entry = figures.items[position];
    const engine::WebItem& item = *entry.item;
    const engine::ElementStats& s = entry.stats;
    const std::int32_t result = item.result();
    const std::string contentType = item.contentType();
    json parent = nullptr;
    if (entry.parent >= 0)
        parent = figures.items[static_cast<std::size_t>(entry.parent)].item->address().urlText;
    json value = {
        {"id", item.id()},
        {"url", item.address().urlText},
        {"parent", std::move(parent)},
        {"depth", entry.level},
        {"position", position},
        // Where the referring tag starts in the parent's body: what a source view marks.
        {"offset", entry.parent >= 0 ? entry.position : 0u},
        {"phase", engine::phaseText(item.phase())},
        {"phaseValue", static_cast<std::int32_t>(item.phase())},
        {"status", item.statusCode()},
        {"result", result},
        {"error", result != 0 ? item.errorText() : std::string()},
        {"contentType", contentType},
        {"kind", displayKindName(engine::displayKind(item.contentKind(), contentType))},
        {"contentKind", static_cast<std::int32_t>(item.contentKind())},
        {"size", s.size},
        {"connect", s.connectTime},
        {"send", s.sendTime},
        {"wait", s.waitTime},
        {"receive", s.receiveTime},
        {"total", s.totalTime},
    };
    if (item.fromCache()) value["cached"] = true;
    return value;
}

json pageJson(engine::PageEntry& page, int connection) {
    const auto state = static_cast<std::uint32_t>(page.state());
    const auto parent = page.parent();
    json times = json::array();
    for (int k = 0; k < engine::kConnectionCount; ++k) {
        const engine::PageFigures figures = page.figures(k);
        times.push_back({{"index", k},
                         {"name", engine::kConnectionSpeeds[static_cast<std::size_t>(k)].name},
                         {"page", figures.pageTime},
                         {"download", figures.downloadTime},
                         {"browse", figures.browseTime}});
    }
    const engine::PageFigures figures = page.figures(connection);
    json items = json::array();
    for (std::size_t i = 0; i < figures.items.size(); ++i) items.push_back(itemJson(figures, i));
    json value = {
        {"address", page.address().urlText},
        {"depth", pageDepth(page)},
        {"parent", parent ? json(parent->address().urlText) : json(nullptr)},
        {"state", engine::pageStateText(state)},
        {"stateValue", state},
        {"title", engine::pageTitle(page)},
        {"size", page.pageSize()},
        {"elements", page.finishedCount()},
        {"times", std::move(times)},
        {"items", std::move(items)},
    };
    if (const std::string source = page.importSource(); !source.empty())
        value["importedFrom"] = source;
    return value;
}

}  // namespace

nlohmann::json jsonReport(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                          int connection) {
    if (!engine::isConnectionIndex(connection))
        throw std::out_of_range("connection index " + std::to_string(connection));
    json list = json::array();
    for (const auto& page : pages)
        if (page) list.push_back(pageJson(*page, connection));
    return {
        {"connection",
         {{"index", connection},
          {"name", engine::kConnectionSpeeds[static_cast<std::size_t>(connection)].name}}},
        {"pages", std::move(list)},
    };
}

std::string jsonText(const nlohmann::json& document, int indent) {
    return document.dump(indent, ' ', false, json::error_handler_t::replace);
}

}  // namespace exporting
