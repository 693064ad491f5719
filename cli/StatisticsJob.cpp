#include "cli/StatisticsJob.h"

#include <utility>

#include "cli/CliOptions.h"
#include "export/OutputFile.h"
#include "persist/DocumentFolders.h"
#include "query/DelimitedText.h"
#include "query/ElementTable.h"
#include "query/NumericValue.h"
#include "query/QueryTable.h"
#include "query/StatisticsView.h"
#include "query/StringValue.h"
#include "query/TextCase.h"

namespace cli {

namespace {

template <typename Traits>
nlohmann::json number(const query::QueryValue& value) {
    return static_cast<const query::NumericValue<Traits>&>(value).number();
}

// A cell as a script wants it: the number the display text was made from, or the text.
nlohmann::json rawValue(const query::QueryValue* value) {
    if (value == nullptr) return nullptr;
    switch (value->kind()) {
        case query::ValueKind::Integer:
            return number<query::IntegerTraits>(*value);
        case query::ValueKind::Time:
            return number<query::TimeTraits>(*value);
        case query::ValueKind::Size:
            return number<query::SizeTraits>(*value);
        case query::ValueKind::Speed:
            return number<query::SpeedTraits>(*value);
        case query::ValueKind::Percent:
            return number<query::PercentTraits>(*value);
        case query::ValueKind::String:
            break;
    }
    return value->toText();
}

nlohmann::json rawValues(const query::QueryTablePtr& table) {
    nlohmann::json rows = nlohmann::json::array();
    if (!table) return rows;
    for (const query::QueryRow& row : *table) {
        nlohmann::json cells = nlohmann::json::array();
        for (std::size_t c = 0; c < table->columnCount(); ++c)
            cells.push_back(rawValue(row.cell(c)));
        rows.push_back(std::move(cells));
    }
    return rows;
}

// The rows of `result` appended to `table`, each led by `address`.
void appendRows(query::QueryTable& table, const query::QueryTable& result,
                const std::string& address) {
    for (const query::QueryRow& row : result) {
        query::QueryRow& copy = table.appendRow();
        copy.setCell(0, std::make_unique<query::StringValue>(address));
        for (std::size_t c = 0; c < result.columnCount(); ++c) {
            if (const query::QueryValue* cell = row.cell(c))
                copy.setCell(c + 1, cell->startAccumulator());
        }
    }
}

}  // namespace

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
                               {"rows", result.rows},
                               {"values", rawValues(result.table)}};
        if (result.state == query::StatisticsResult::State::QueryFailed) {
            if (!queryFailure_) queryFailure_ = result.message;
            item["error"] = result.message;
        }
        results.push_back(std::move(item));
    }
    return results;
}

std::optional<std::string> StatisticsJob::writeCsv(const std::string& path, const Pages& pages,
                                                   int connection, bool everyPage) {
    std::string text;
    if (!everyPage) {
        const auto result =
            query::statisticsResult(statistics_.front(), currentPage(pages).get(), connection);
        if (result.state == query::StatisticsResult::State::QueryFailed) return result.message;
        if (result.table) text = query::writeDelimitedText(*result.table, ",", "\"");
    } else {
        std::optional<query::QueryTable> all;
        for (const auto& page : pages) {
            if (!query::pageDownloaded(page.get())) continue;
            const auto result =
                query::statisticsResult(statistics_.front(), page.get(), connection);
            if (result.state == query::StatisticsResult::State::QueryFailed) return result.message;
            if (!result.table) continue;
            if (!all) {
                std::vector<std::string> names{"Page"};
                for (const std::string& name : result.table->columnNames()) names.push_back(name);
                all.emplace(std::move(names));
            }
            appendRows(*all, *result.table, page->address().urlText);
        }
        if (all) text = query::writeDelimitedText(*all, ",", "\"");
    }
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
