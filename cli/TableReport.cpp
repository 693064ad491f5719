#include "cli/TableReport.h"

#include "cli/HintText.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

#include "cli/HintText.h"
#include "cli/PageFacts.h"
#include "engine/ErrorText.h"
#include "engine/LoadPhase.h"
#include "engine/PageState.h"
#include "query/DisplayFormats.h"
#include "report/SiteColumns.h"

namespace cli {
namespace {

enum class Align { Left, Right };

std::string printable(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return text;
}

// Rows of cells under a header, laid out in aligned columns.
class TextTable {
public:
    explicit TextTable(std::vector<std::pair<std::string, Align>> columns)
        : columns_(std::move(columns)) {
        std::vector<std::string> header;
        for (const auto& column : columns_) header.push_back(column.first);
        rows_.push_back(std::move(header));
    }

    void add(std::vector<std::string> row) {
        for (auto& cell : row) cell = printable(cell);
        row.resize(columns_.size());
        rows_.push_back(std::move(row));
    }

    std::string text() const {
        std::vector<std::size_t> widths(columns_.size(), 0);
        for (const auto& row : rows_)
            for (std::size_t c = 0; c < row.size(); ++c)
                widths[c] = std::max(widths[c], displayWidth(row[c]));
        std::string out;
        for (const auto& row : rows_) {
            std::string line;
            for (std::size_t c = 0; c < row.size(); ++c) {
                if (c > 0) line += "  ";
                const std::string padding(widths[c] - displayWidth(row[c]), ' ');
                if (columns_[c].second == Align::Right) line += padding;
                line += row[c];
                if (columns_[c].second == Align::Left) line += padding;
            }
            line.erase(line.find_last_not_of(' ') + 1);
            out += line;
            out += '\n';
        }
        return out;
    }

private:
    // Characters, not bytes: continuation bytes of UTF-8 take no column.
    static std::size_t displayWidth(std::string_view text) {
        return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    }

    std::vector<std::pair<std::string, Align>> columns_;
    std::vector<std::vector<std::string>> rows_;
};

std::string indented(int level, std::string text) {
    return std::string(static_cast<std::size_t>(std::max(level, 0)) * 2, ' ') + text;
}

std::string timeText(std::uint32_t ms) {
    constexpr std::uint32_t kMax = std::numeric_limits<std::int32_t>::max();
    return query::formatTime(static_cast<std::int32_t>(std::min(ms, kMax)));
}

std::string sizeText(std::uint32_t bytes) {
    constexpr std::uint32_t kMax = std::numeric_limits<std::int32_t>::max();
    return query::formatSize(static_cast<std::int32_t>(std::min(bytes, kMax)));
}

std::string itemStatus(const engine::WebItem& item) {
    const std::int32_t result = item.result();
    const std::int32_t status = item.statusCode();
    if (status != 0) return std::to_string(status);
    if (result != 0) return item.errorText();
    return std::string(engine::phaseText(item.phase()));
}

}  // namespace

std::string siteTable(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                      int connection) {
    static constexpr std::uint32_t kColumns[] = {
        report::kColumnUrl,      report::kColumnTitle, report::kColumnStatus, report::kColumnSize,
        report::kColumnElements, report::kColumnTime,  report::kColumnSpeed,  report::kColumnClass};
    std::vector<std::pair<std::string, Align>> header;
    for (std::uint32_t column : kColumns) {
        const bool numeric = column == report::kColumnSize || column == report::kColumnElements ||
                             column == report::kColumnSpeed;
        header.emplace_back(report::columnHeader(column), numeric ? Align::Right : Align::Left);
    }
    TextTable table(std::move(header));
    for (const auto& page : pages) {
        if (!page) continue;
        std::vector<std::string> row;
        for (std::uint32_t column : kColumns) {
            std::string cell = report::cellText(*page, column, connection);
            if (column == report::kColumnUrl) cell = indented(pageDepth(*page), std::move(cell));
            row.push_back(std::move(cell));
        }
        table.add(std::move(row));
    }
    return table.text();
}

std::string elementTable(engine::PageEntry& page, int connection) {
    TextTable table({{"Element", Align::Left},
                     {"Status", Align::Left},
                     {"Type", Align::Left},
                     {"Size", Align::Right},
                     {"Connect", Align::Right},
                     {"Send", Align::Right},
                     {"Wait", Align::Right},
                     {"Receive", Align::Right},
                     {"Total", Align::Right}});
    const engine::PageFigures figures =
        page.figures(engine::isConnectionIndex(connection) ? connection : engine::kActualSpeed);
    for (const auto& entry : figures.items) {
        const engine::WebItem& item = *entry.item;
        const engine::ElementStats& s = entry.stats;
        table.add({indented(entry.level, item.address().urlText), itemStatus(item),
                   item.contentType(), sizeText(s.size), timeText(s.connectTime),
                   timeText(s.sendTime), timeText(s.waitTime), timeText(s.receiveTime),
                   timeText(s.totalTime)});
    }
    return table.text();
}

std::string tableReport(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                        int connection) {
    std::string out = siteTable(pages, connection);
    for (const auto& page : pages) {
        if (!page) continue;
        out += '\n';
        out += printable(
            page->address().urlText + " (" +
            std::string(engine::pageStateText(static_cast<std::uint32_t>(page->state()))) + ")");
        out += '\n';
        if (!page->rootItem()) {
            out += "not loaded\n";
            continue;
        }
        out += elementTable(*page, connection);
        // The analysis's verdict and hints, as text.
        if (const std::string hints = plainText(page->hintText()); !hints.empty()) {
            out += hints;
            if (hints.back() != '\n') out += '\n';
        }
    }
    return out;
}

}  // namespace cli
