#include "cli/StatisticsJob.h"

#include <utility>

#include "cli/CliOptions.h"
#include "export/OutputFile.h"
#include "persist/DocumentFolders.h"
#include "query/DelimitedText.h"
#include "query/ElementTable.h"
#include "query/StatisticsView.h"
#include "query/TextCase.h"

namespace cli {

std::optional<std::string> StatisticsJob::prepare(const std::vector<std::string>& wanted,
                                                  const std::string& statement) {
    catalog_.load(persist::DocumentFolders::data() + query::StatisticsCatalog::kFileName);
    for (const std::string& name : wanted) {
        const auto number = decimalNumber(name);
        std::optional<query::StatisticsDefinition> found =
            number ? catalog_.find(*number) : catalog_.findByTitle(name);
        for (const auto& definition : catalog_.definitions()) {
            if (!found && query::equalIgnoringCase(definition.title, name)) found = definition;
        }
        if (!found) return "unknown statistics \"" + name + "\" (see `pagelyst-cli stats`)";
        statistics_.push_back(*found);
    }
    if (!statement.empty()) {
        if (auto problem = query::validateQuery(statement)) return *problem;
        statistics_.push_back({0, "Query", statement});
    }
    return std::nullopt;
}

std::string StatisticsJob::text(const Pages& pages, int connection) {
    std::string out;
    for (const auto& definition : statistics_) {
        for (const auto& page : pages) {
            if (!query::pageDownloaded(page.get())) continue;
            const query::StatisticsResult result =
                query::statisticsResult(definition, page.get(), connection);
            out += "\nStatistics \"" + definition.title + "\" of " + page->address().urlText + "\n";
            if (result.state == query::StatisticsResult::State::QueryFailed) {
                if (!queryFailure_) queryFailure_ = result.message;
                out += "Query Error: " + result.message + "\n";
            } else {
                out += query::textTable(result);
            }
        }
    }
    return out;
}

nlohmann::json StatisticsJob::json(engine::PageEntry& page, int connection) {
    nlohmann::json results = nlohmann::json::array();
    for (const auto& definition : statistics_) {
        const auto result = query::statisticsResult(definition, &page, connection);
        nlohmann::json item = {{"id", definition.id},
                               {"title", definition.title},
                               {"columns", result.titles},
                               {"rows", result.rows}};
        if (result.state == query::StatisticsResult::State::QueryFailed) {
            if (!queryFailure_) queryFailure_ = result.message;
            item["error"] = result.message;
        }
        results.push_back(std::move(item));
    }
    return results;
}

std::optional<std::string> StatisticsJob::writeCsv(const std::string& path, const Pages& pages,
                                                   int connection) {
    const auto current = currentPage(pages);
    const auto result = query::statisticsResult(statistics_.front(), current.get(), connection);
    if (result.state == query::StatisticsResult::State::QueryFailed) return result.message;
    const std::string text =
        result.table ? query::writeDelimitedText(*result.table, ",", "\"") : std::string();
    std::string error;
    if (!exporting::saveText(path, text, error)) return error;
    return std::nullopt;
}

std::string statisticsListing() {
    query::StatisticsCatalog catalog;
    catalog.load(persist::DocumentFolders::data() + query::StatisticsCatalog::kFileName);
    std::string out;
    for (const auto& definition : catalog.definitions()) {
        out += std::to_string(definition.id) + "\t" + definition.title + "\t" + definition.query +
               "\n";
    }
    return out;
}

}  // namespace cli
