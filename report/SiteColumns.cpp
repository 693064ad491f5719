#include "report/SiteColumns.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include "engine/figures/PageFigures.h"
#include "engine/html/ScanFlags.h"
#include "engine/items/ScanResult.h"
#include "engine/items/WebItem.h"
#include "engine/schedule/PageState.h"
#include "query/DisplayFormats.h"
#include "report/PageClass.h"
#include "report/TextFormat.h"

namespace report {
namespace {

using engine::PageState;

constexpr int kConnectionWidth = 20;

struct FixedColumn {
    std::uint32_t id;
    const char* header;
    int width;
};

constexpr std::array<FixedColumn, 8> kFixedColumns{{
    {kColumnUrl, "URL", 40},
    {kColumnTitle, "Title", 10},
    {kColumnStatus, "Status", 13},
    {kColumnSize, "Size", 12},
    {kColumnElements, "Elements", 13},
    {kColumnTime, "Time", 22},
    {kColumnSpeed, "Speed", 10},
    {kColumnClass, "Class", 13},
}};

const FixedColumn* fixedColumn(std::uint32_t column) {
    const auto it = std::find_if(kFixedColumns.begin(), kFixedColumns.end(),
                                 [column](const FixedColumn& c) { return c.id == column; });
    return it == kFixedColumns.end() ? nullptr : &*it;
}

// The connection index of a connection column, or -1.
int connectionOf(std::uint32_t column) {
    if (!std::has_single_bit(column) || column < kColumnFirstConnection) return -1;
    const int index = std::countr_zero(column) - std::countr_zero(kColumnFirstConnection);
    return engine::isConnectionIndex(index) ? index : -1;
}

std::int32_t clamped(std::uint32_t value) {
    return static_cast<std::int32_t>(
        std::min<std::uint32_t>(value, std::numeric_limits<std::int32_t>::max()));
}

std::string titleOf(const engine::PageEntry& page) {
    const auto root = page.rootItem();
    if (!root) return {};
    const auto scan = root->scanResult();
    return scan ? scan->title : std::string();
}

std::string statusText(const engine::PageEntry& page, PageState state) {
    if (state != PageState::InProcess) {
        return std::string(engine::pageStateText(static_cast<std::uint32_t>(state)));
    }
    const std::uint64_t expected = page.expectedCount();
    const std::uint64_t share =
        expected != 0 ? page.finishedCount() * std::uint64_t{100} / expected : 0;
    if (share == 0) return "Starting...";
    return format("%d%% Completed", static_cast<int>(share));
}

std::string elementsText(const engine::PageEntry& page, PageState state) {
    if (engine::isLoaded(state)) return format("%u", page.finishedCount());
    if (state == PageState::InProcess || state == PageState::Aborting) {
        return format("%u (%u)", page.finishedCount(), page.expectedCount());
    }
    return {};
}

std::string timeText(engine::PageEntry& page, PageState state, int index) {
    if (engine::isLoaded(state) && (page.jobFlags() & engine::kScanElements) != 0) {
        const engine::PageFigures figures = page.figures(index);
        return query::formatTime(clamped(figures.downloadTime)) + " / " +
               query::formatTime(clamped(figures.browseTime));
    }
    if (state == PageState::InProcess) return query::formatTime(clamped(page.jobElapsedMs()));
    return {};
}

}  // namespace

const std::array<std::uint32_t, kSiteColumnCount>& siteColumns() {
    static const std::array<std::uint32_t, kSiteColumnCount> columns = [] {
        std::array<std::uint32_t, kSiteColumnCount> list{};
        std::size_t at = 0;
        for (std::uint32_t id = kColumnUrl; id <= kColumnSpeed; id <<= 1) list[at++] = id;
        for (int index = 0; index < engine::kConnectionCount; ++index) {
            list[at++] = connectionColumn(index);
        }
        list[at] = kColumnClass;
        return list;
    }();
    return columns;
}

std::uint32_t connectionColumn(int index) {
    return engine::isConnectionIndex(index) ? kColumnFirstConnection << index : 0;
}

std::string columnHeader(std::uint32_t column) {
    if (const FixedColumn* fixed = fixedColumn(column)) return fixed->header;
    if (const int index = connectionOf(column); index >= 0) {
        return std::string(engine::kConnectionSpeeds[static_cast<std::size_t>(index)].name);
    }
    return "Unknown";
}

int columnWidth(std::uint32_t column) {
    if (const FixedColumn* fixed = fixedColumn(column)) return fixed->width;
    return connectionOf(column) >= 0 ? kConnectionWidth : 0;
}

std::string cellText(engine::PageEntry& page, std::uint32_t column, int currentConnection) {
    const int current =
        engine::isConnectionIndex(currentConnection) ? currentConnection : engine::kActualSpeed;
    const PageState state = page.state();
    // Finished, Error or Child Error.
    const bool loaded = engine::isLoaded(state);
    switch (column) {
        case kColumnUrl:
            return page.address().urlText;
        case kColumnTitle:
            return loaded ? titleOf(page) : std::string();
        case kColumnStatus:
            return statusText(page, state);
        case kColumnSize:
            return loaded ? query::formatSize(clamped(page.pageSize())) : std::string();
        case kColumnElements:
            return elementsText(page, state);
        case kColumnTime:
            return timeText(page, state, current);
        case kColumnSpeed:
            return loaded ? query::formatSpeed(engine::pageSpeed(page.figures(current)))
                          : std::string();
        case kColumnClass:
            return loaded ? plainName(page.pageClass()) : std::string();
        default:
            break;
    }
    if (const int index = connectionOf(column); index >= 0) return timeText(page, state, index);
    return {};
}

std::string connectionSelectorText(int index) {
    if (!engine::isConnectionIndex(index)) {
        return "Web Page Download / Browse time for currently selected connection.";
    }
    return format(
        "Web Page Download / Browse time for %s connection.",
        std::string(engine::kConnectionSpeeds[static_cast<std::size_t>(index)].name).c_str());
}

}  // namespace report
