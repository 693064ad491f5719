#include "query/StatisticsView.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "engine/PageEntry.h"
#include "engine/PageState.h"
#include "query/ElementTable.h"
#include "query/QueryEngine.h"
#include "query/QueryError.h"

namespace query {
namespace {

ColumnAlignment alignmentOf(const QueryValue* cell) {
    // 2 is the numbers' right alignment; text and absent cells stay left.
    return cell != nullptr && cell->alignment() == 2 ? ColumnAlignment::Right
                                                     : ColumnAlignment::Left;
}

StatisticsResult failed(std::string message) {
    StatisticsResult result;
    result.state = StatisticsResult::State::QueryFailed;
    result.message = std::move(message);
    return result;
}

// Control characters (C0, DEL, and C1 written as UTF-8) become one space each, so a cell can
// neither break a line nor start a terminal escape sequence.
std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            out += ' ';
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            out += ' ';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Characters, not bytes: continuation bytes of UTF-8 take no column.
std::size_t displayWidth(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

bool pageDownloaded(const engine::PageEntry* page) {
    return page != nullptr && engine::isLoaded(page->state()) && page->rootItem() != nullptr;
}

StatisticsResult statisticsResult(const StatisticsDefinition& definition, engine::PageEntry* page,
                                  int connectionIndex) {
    StatisticsResult result;
    if (page == nullptr) return result;
    if (!pageDownloaded(page)) {
        result.state = StatisticsResult::State::NotDownloaded;
        return result;
    }
    const QueryTablePtr elements = buildElementTable(*page, connectionIndex);
    return runStatistics(definition.query, *elements);
}

StatisticsResult runStatistics(std::string_view statement, const QueryTable& elementTable) {
    QueryTablePtr table;
    try {
        table = runQuery(statement, elementTable);
    } catch (const QueryError& error) {
        return failed(error.message());
    }
    return resultFromTable(std::move(table));
}

StatisticsResult resultFromTable(QueryTablePtr table) {
    StatisticsResult result;
    result.state = StatisticsResult::State::Shown;
    if (!table) return result;
    const std::size_t columns = table->columnCount();
    result.titles = table->columnNames();
    result.alignments.assign(columns, ColumnAlignment::Left);
    if (table->rowCount() > 0) {
        for (std::size_t c = 0; c < columns; ++c)
            result.alignments[c] = alignmentOf(table->row(0).cell(c));
    }
    result.rows.reserve(table->rowCount());
    for (const QueryRow& row : *table) {
        std::vector<std::string> texts(columns);
        for (std::size_t c = 0; c < columns; ++c) {
            if (const QueryValue* cell = row.cell(c)) texts[c] = cell->toText();
        }
        result.rows.push_back(std::move(texts));
    }
    result.table = std::move(table);
    return result;
}

std::vector<int> columnWidths(const StatisticsResult& result,
                              const std::function<int(std::string_view)>& textWidth) {
    const auto candidate = [&](std::string_view text, int padding) {
        return std::min(textWidth(text) + padding, kMaxColumnWidth);
    };
    std::vector<int> widths;
    widths.reserve(result.titles.size());
    for (const std::string& title : result.titles)
        widths.push_back(candidate(title, kTitleWidthPadding));
    for (const auto& row : result.rows) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], candidate(row[c], kCellWidthPadding));
    }
    return widths;
}

std::string textTable(const StatisticsResult& result) {
    if (result.state != StatisticsResult::State::Shown || result.titles.empty()) return {};
    const std::size_t columns = result.titles.size();
    std::vector<std::vector<std::string>> lines;
    lines.reserve(result.rows.size() + 1);
    const auto add = [&](const std::vector<std::string>& cells) {
        std::vector<std::string> line(columns);
        for (std::size_t c = 0; c < columns && c < cells.size(); ++c) line[c] = printable(cells[c]);
        lines.push_back(std::move(line));
    };
    add(result.titles);
    for (const auto& row : result.rows) add(row);

    std::vector<std::size_t> widths(columns, 0);
    for (const auto& line : lines)
        for (std::size_t c = 0; c < columns; ++c)
            widths[c] = std::max(widths[c], displayWidth(line[c]));

    std::string out;
    for (const auto& line : lines) {
        std::string text;
        for (std::size_t c = 0; c < columns; ++c) {
            if (c > 0) text += "  ";
            const std::string padding(widths[c] - displayWidth(line[c]), ' ');
            const bool right =
                c < result.alignments.size() && result.alignments[c] == ColumnAlignment::Right;
            if (right) text += padding;
            text += line[c];
            if (!right) text += padding;
        }
        text.erase(text.find_last_not_of(' ') + 1);
        out += text;
        out += '\n';
    }
    return out;
}

}  // namespace query
