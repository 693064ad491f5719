#include "query/StatisticsView.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "engine/schedule/PageEntry.h"
#include "engine/schedule/PageState.h"
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
    TextTable table(result.titles, result.alignments);
    for (const auto& row : result.rows) table.add(row);
    return table.text();
}

}  // namespace query
