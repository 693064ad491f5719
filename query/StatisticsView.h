#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "query/QueryTable.h"
#include "query/StatisticsDefinition.h"
#include "query/TextTable.h"

namespace engine {
class PageEntry;
}

// What the statistics view shows for the selected definition, without any drawing: both front
// ends fill their result list (or print their table) from a StatisticsResult.
namespace query {

// The result list's content for one definition over the current page.
struct StatisticsResult {
    enum class State {
        NoPage,         // no page is current: the list is emptied
        NotDownloaded,  // the page has not finished downloading: the list is emptied, no query runs
        Shown,          // the query ran: titles, alignments and rows hold its result
        QueryFailed,    // the query raised: `message` holds its text, the list keeps what it had
    };

    State state = State::NoPage;
    std::vector<std::string> titles;
    // One per title: as the first row's cell in that column says, left without rows.
    std::vector<ColumnAlignment> alignments;
    // Display texts of every cell (the same texts as everywhere else), row by row; an absent
    // cell shows as an empty text.
    std::vector<std::vector<std::string>> rows;
    std::string message;
    // The query's result behind the rows (export writes it); none unless Shown.
    QueryTablePtr table;
};

// Caption of the message box that shows a failed query's message.
inline constexpr const char* kQueryErrorCaption = "Query Error";

// Column widths in pixels: the largest of the title's width plus 30 and every cell's width plus
// 20, each candidate first capped at 300.
inline constexpr int kTitleWidthPadding = 30;
inline constexpr int kCellWidthPadding = 20;
inline constexpr int kMaxColumnWidth = 300;

// Finished, Error or Child Error, with a root item: the statistics view runs queries over it.
bool pageDownloaded(const engine::PageEntry* page);

// The result of the definition's query over the element table of `page` for the connection
// index: NoPage without a page, NotDownloaded before it finished downloading, otherwise Shown or
// QueryFailed.
StatisticsResult statisticsResult(const StatisticsDefinition& definition, engine::PageEntry* page,
                                  int connectionIndex);

// Runs `statement` over an element table the caller already holds (the view's cached one):
// Shown, or QueryFailed with the error's message.
StatisticsResult runStatistics(std::string_view statement, const QueryTable& elementTable);

// The list's content for a query result: its column titles, alignments and cell texts. An empty
// pointer gives a Shown result without columns.
StatisticsResult resultFromTable(QueryTablePtr table);

// Pixel widths of the result's columns, `textWidth` measuring a text in the list's font.
std::vector<int> columnWidths(const StatisticsResult& result,
                              const std::function<int(std::string_view)>& textWidth);

// The result as plain text for a terminal: the titles line, then one line per row; columns are
// as wide as their widest text (counted in UTF-8 characters) and two spaces apart, right-aligned
// columns padded on the left; control characters show as spaces and no line ends in spaces.
// Every line ends in "\n". Empty unless the result is Shown.
std::string textTable(const StatisticsResult& result);

}  // namespace query
