#include "report/SiteColumns.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <utility>

#include "engine/base/AsciiText.h"
#include "engine/crawl/CrawlController.h"
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

SiteCell statusCell(const engine::PageEntry& page, PageState state) {
    const auto value = static_cast<std::int64_t>(state);
    if (state != PageState::InProcess) {
        return numberCell(std::string(engine::pageStateText(static_cast<std::uint32_t>(state))),
                          value);
    }
    const std::uint64_t expected = page.expectedCount();
    const std::uint64_t share =
        expected != 0 ? page.finishedCount() * std::uint64_t{100} / expected : 0;
    if (share == 0) return numberCell("Starting...", value);
    return numberCell(format("%d%% Completed", static_cast<int>(share)), value);
}

SiteCell elementsCell(const engine::PageEntry& page, PageState state) {
    const std::uint32_t finished = page.finishedCount();
    if (engine::isLoaded(state)) return numberCell(format("%u", finished), finished);
    if (state == PageState::InProcess || state == PageState::Aborting) {
        return numberCell(format("%u (%u)", finished, page.expectedCount()), finished);
    }
    return {};
}

SiteCell timeCell(engine::PageEntry& page, PageState state, int connectionIndex) {
    if (engine::isLoaded(state) && (page.jobFlags() & engine::kScanElements) != 0) {
        const engine::PageFigures figures = page.figures(connectionIndex);
        return numberCell(query::formatTime(clampedToInt32(figures.downloadTime)) + " / " +
                              query::formatTime(clampedToInt32(figures.browseTime)),
                          figures.downloadTime);
    }
    if (state == PageState::InProcess) {
        const std::int32_t elapsed = clampedToInt32(page.jobElapsedMs());
        return numberCell(query::formatTime(elapsed), elapsed);
    }
    return {};
}

}  // namespace

std::int32_t clampedToInt32(std::uint32_t value) {
    return static_cast<std::int32_t>(
        std::min<std::uint32_t>(value, std::numeric_limits<std::int32_t>::max()));
}

SiteCell textCell(std::string text) {
    SiteCell cell{text, std::monostate{}};
    if (!cell.text.empty()) cell.sortValue = std::move(text);
    return cell;
}

SiteCell numberCell(std::string text, std::int64_t value) {
    return SiteCell{std::move(text), value};
}

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

std::uint32_t connectionColumn(int connectionIndex) {
    return engine::isConnectionIndex(connectionIndex) ? kColumnFirstConnection << connectionIndex
                                                      : 0;
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

SiteCell siteCell(engine::PageEntry& page, std::uint32_t column, int connectionIndex) {
    const int current =
        engine::isConnectionIndex(connectionIndex) ? connectionIndex : engine::kActualSpeed;
    const PageState state = page.state();
    // Finished, Error or Child Error.
    const bool loaded = engine::isLoaded(state);
    switch (column) {
        case kColumnUrl:
            return textCell(page.address().urlText);
        case kColumnTitle:
            return loaded ? textCell(engine::pageTitle(page)) : SiteCell{};
        case kColumnStatus:
            return statusCell(page, state);
        case kColumnSize: {
            if (!loaded) return {};
            const std::int32_t size = clampedToInt32(page.pageSize());
            return numberCell(query::formatSize(size), size);
        }
        case kColumnElements:
            return elementsCell(page, state);
        case kColumnTime:
            return timeCell(page, state, current);
        case kColumnSpeed: {
            if (!loaded) return {};
            const double speed = engine::pageSpeed(page.figures(current));
            return SiteCell{query::formatSpeed(speed), speed};
        }
        case kColumnClass:
            return loaded ? numberCell(plainName(page.pageClass()), page.pageClass()) : SiteCell{};
        default:
            break;
    }
    if (const int index = connectionOf(column); index >= 0) return timeCell(page, state, index);
    return {};
}

std::string cellText(engine::PageEntry& page, std::uint32_t column, int connectionIndex) {
    return siteCell(page, column, connectionIndex).text;
}

int compareSortValues(const SiteSortValue& a, const SiteSortValue& b) {
    // Empty cells first, then numbers, then texts; whole numbers and doubles never share a column.
    if (a.index() != b.index()) return a.index() < b.index() ? -1 : 1;
    if (const auto* x = std::get_if<std::int64_t>(&a)) {
        const std::int64_t y = std::get<std::int64_t>(b);
        return *x < y ? -1 : *x > y ? 1 : 0;
    }
    if (const auto* x = std::get_if<double>(&a)) {
        const double y = std::get<double>(b);
        return *x < y ? -1 : *x > y ? 1 : 0;
    }
    if (const auto* x = std::get_if<std::string>(&a)) {
        return engine::compareIgnoringCase(*x, std::get<std::string>(b));
    }
    return 0;
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
