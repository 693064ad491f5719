#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "query/QueryTable.h"
#include "query/StringValue.h"
#include "report/ReportSource.h"

// Helpers shared by the report suites.
namespace report::testing {

// A one-column table of text cells, for values that must be escaped.
inline query::QueryTablePtr textTable(const std::string& column,
                                      const std::vector<std::string>& values) {
    auto table = std::make_shared<query::QueryTable>(std::vector<std::string>{column});
    for (const std::string& value : values)
        table->appendRow().setCell(0, std::make_unique<query::StringValue>(value));
    return table;
}

// Stands in for the site tree and the page analyser.
struct StubSource : ReportSource {
    bool page = true;
    query::QueryTablePtr elements;
    std::string consolidated = "<BODY>site</BODY>";
    std::string currentPage = "<BODY>page</BODY>";

    bool hasCurrentPage() const override { return page; }
    query::QueryTablePtr elementTable() const override { return elements; }
    std::string analysisReport(AnalysisReport which) const override {
        return which == AnalysisReport::Consolidated ? consolidated : currentPage;
    }
};

// How often `needle` occurs in `text`.
inline std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1))
        ++count;
    return count;
}

}  // namespace report::testing
