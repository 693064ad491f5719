#include "cli/TableReport.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

#include "cli/HintText.h"
#include "engine/base/LoadPhase.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/items/ErrorText.h"
#include "engine/schedule/PageState.h"
#include "export/PageFacts.h"
#include "query/DisplayFormats.h"
#include "query/TextTable.h"
#include "report/ElementColumns.h"
#include "report/ImportSourceText.h"
#include "report/SiteColumns.h"

namespace cli {
namespace {

using query::ColumnAlignment;
using query::TextTable;

std::string indented(int level, std::string text) {
    return std::string(static_cast<std::size_t>(std::max(level, 0)) * 2, ' ') + text;
}

constexpr std::string_view kTimeHeader = "Time (download / browse)";

// A page the scan found a link to but that was never loaded.
bool linkedNotLoaded(const engine::PageEntry& page) {
    return page.parent() != nullptr && !page.rootItem();
}

std::string connectionLine(int connectionIndex) {
    const int index =
        engine::isConnectionIndex(connectionIndex) ? connectionIndex : engine::kActualSpeed;
    return std::string("Times and speeds for the connection \"") +
           std::string(engine::kConnectionSpeeds[static_cast<std::size_t>(index)].name) + "\"" +
           (index == engine::kActualSpeed ? " (measured)" : " (restated from the measurement)") +
           "\n\n";
}

std::string itemStatus(const engine::WebItem& item) {
    const std::int32_t result = item.result();
    const std::int32_t status = item.statusCode();
    // An imported answer from the browser's cache: no transfer, so no time.
    if (status != 0 && item.fromCache()) return std::to_string(status) + " (cache)";
    if (status != 0) return std::to_string(status);
    if (result != 0) return item.errorText();
    return std::string(engine::phaseText(item.phase()));
}

}  // namespace

std::string siteTable(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                      int connectionIndex) {
    static constexpr std::uint32_t kColumns[] = {
        report::kColumnUrl,      report::kColumnTitle, report::kColumnStatus, report::kColumnSize,
        report::kColumnElements, report::kColumnTime,  report::kColumnSpeed,  report::kColumnClass};
    std::vector<std::string> titles;
    std::vector<ColumnAlignment> alignments;
    for (std::uint32_t column : kColumns) {
        const bool numeric = column == report::kColumnSize || column == report::kColumnElements ||
                             column == report::kColumnSpeed;
        // A page's time is two: until the last byte, and until a browser could show it.
        titles.push_back(column == report::kColumnTime ? std::string(kTimeHeader)
                                                       : report::columnHeader(column));
        alignments.push_back(numeric ? ColumnAlignment::Right : ColumnAlignment::Left);
    }
    TextTable table(titles, std::move(alignments));
    for (const auto& page : pages) {
        if (!page || linkedNotLoaded(*page)) continue;
        std::vector<std::string> row;
        for (std::uint32_t column : kColumns) {
            std::string cell = report::cellText(*page, column, connectionIndex);
            if (column == report::kColumnUrl)
                cell = indented(exporting::pageDepth(*page), std::move(cell));
            row.push_back(std::move(cell));
        }
        table.add(row);
    }
    return table.text();
}

std::string elementTable(engine::PageEntry& page, int connectionIndex) {
    constexpr auto L = ColumnAlignment::Left;
    constexpr auto R = ColumnAlignment::Right;
    TextTable table(
        {"Element", "Status", "Type", "Size", "Connect", "Send", "Wait", "Receive", "Total"},
        {L, L, L, R, R, R, R, R, R});
    const engine::PageFigures figures = page.figures(
        engine::isConnectionIndex(connectionIndex) ? connectionIndex : engine::kActualSpeed);
    // Size and the phase times are the element list's texts; the table's own columns are the
    // indented address, the response's status and the type the response named (kept also when
    // the transfer failed after the headers, where the measured record has none).
    constexpr std::uint32_t kShared[] = {report::kElementSize,        report::kElementConnectTime,
                                         report::kElementSendTime,    report::kElementWaitTime,
                                         report::kElementReceiveTime, report::kElementTime};
    for (const auto& entry : figures.items) {
        if (!entry.item) continue;
        const engine::WebItem& item = *entry.item;
        std::vector<std::string> row{indented(entry.level, item.address().urlText),
                                     itemStatus(item), item.contentType()};
        for (std::uint32_t column : kShared)
            row.push_back(report::elementCell(entry, column, false).text);
        table.add(row);
    }
    return table.text();
}

std::string tableReport(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                        int connectionIndex, bool crawl) {
    std::string out = connectionLine(connectionIndex) + siteTable(pages, connectionIndex);
    std::size_t notLoaded = 0;
    for (const auto& page : pages) {
        if (!page) continue;
        if (linkedNotLoaded(*page)) {
            ++notLoaded;
            continue;
        }
        out += '\n';
        std::string state(engine::pageStateText(static_cast<std::uint32_t>(page->state())));
        if (const std::string source = page->importSource(); !source.empty())
            state += "; " + report::importedFromText(source);
        out += query::printableText(page->address().urlText + " (" + state + ")");
        out += '\n';
        if (!page->rootItem()) {
            out += "not loaded\n";
            continue;
        }
        out += elementTable(*page, connectionIndex);
        // The analysis's verdict and hints, as text.
        if (const std::string hints = plainText(page->hintText()); !hints.empty()) {
            out += hints;
            if (hints.back() != '\n') out += '\n';
        }
    }
    if (notLoaded > 0) {
        out += '\n' + std::to_string(notLoaded) +
               (notLoaded == 1 ? " linked page not loaded" : " linked pages not loaded") +
               (crawl ? "; the crawl's level or page limit stopped there\n"
                      : "; --crawl follows them\n");
    }
    return out;
}

}  // namespace cli
