#include "engine/figures/Waterfall.h"

#include <algorithm>
#include <utility>

namespace engine {
namespace {

// The bar's four parts: the record's connect, send and wait, cut where the simulation's pre
// time ends (its sum saturates), then what the lane holds of the receive.
WaterfallParts partsOf(const ElementStats& stats, const BrowserSimulation::Placement& placement) {
    WaterfallParts parts;
    std::uint32_t pre = placement.start - placement.begin;
    parts.connect = std::min(stats.connectTime, pre);
    pre -= parts.connect;
    parts.send = std::min(stats.sendTime, pre);
    parts.wait = pre - parts.send;
    parts.receive = placement.end - placement.start;
    return parts;
}

bool failed(const WebItem& item) {
    return item.phase() == LoadPhase::Error || item.result() != 0;
}

bool redirected(const WebItem& item) {
    const std::int32_t status = item.statusCode();
    return item.wasRedirected() || (status >= 300 && status < 400);
}

std::optional<std::int64_t> measuredStart(const WebItem& item,
                                          const std::optional<TransferStart>& pageStart) {
    const std::optional<TransferStart> began = item.transferStart();
    if (!began || !pageStart) return std::nullopt;
    // Ticks wrap; the signed difference is right within 24 days either way.
    return static_cast<std::int32_t>(began->tick - pageStart->tick);
}

WaterfallRow rowOf(const PageFigures& figures, std::size_t index,
                   const std::optional<TransferStart>& pageStart) {
    const ItemFigures& f = figures.items[index];
    const WebItem& item = *f.item;
    WaterfallRow row;
    row.item = static_cast<int>(index);
    row.level = f.level;
    row.lane = f.placement.lane;
    row.start = f.placement.begin;
    row.end = f.placement.end;
    row.parts = partsOf(f.stats, f.placement);
    row.receiveTime = f.stats.receiveTime;
    row.blocking = f.placement.blocking;
    row.failed = failed(item);
    row.redirected = redirected(item);
    ParsedUrl address = item.address();
    row.address = std::move(address.urlText);
    row.host = std::move(address.host);
    row.path = std::move(address.objectPath);
    row.status = item.statusCode();
    row.size = f.stats.size;
    if (row.failed) row.error = item.errorText();
    row.measuredStart = measuredStart(item, pageStart);
    return row;
}

}  // namespace

Waterfall waterfallOf(const PageFigures& figures) {
    Waterfall waterfall;
    waterfall.connectionIndex = figures.connectionIndex;
    waterfall.downloadTime = figures.downloadTime;
    waterfall.browseTime = figures.browseTime;
    if (figures.items.empty()) return waterfall;
    const std::optional<TransferStart> pageStart = figures.items.front().item->transferStart();
    waterfall.rows.reserve(figures.items.size());
    for (std::size_t i = 0; i < figures.items.size(); ++i)
        waterfall.rows.push_back(rowOf(figures, i, pageStart));
    std::stable_sort(waterfall.rows.begin(), waterfall.rows.end(),
                     [&](const WaterfallRow& a, const WaterfallRow& b) {
                         return figures.items[static_cast<std::size_t>(a.item)].placement.turn <
                                figures.items[static_cast<std::size_t>(b.item)].placement.turn;
                     });
    return waterfall;
}

Waterfall computeWaterfall(const ItemRegistry& registry, const ItemRegistry::Node* root,
                           int connectionIndex) {
    return waterfallOf(computePage(registry, root, connectionIndex));
}

}  // namespace engine
