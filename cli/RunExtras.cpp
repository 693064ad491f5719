#include "cli/RunExtras.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "cli/OutputFile.h"
#include "engine/figures/ConnectionSpeed.h"
#include "persist/DocumentFolders.h"
#include "query/DelimitedText.h"
#include "query/ElementTable.h"
#include "query/QueryError.h"
#include "query/StatisticsView.h"
#include "query/TextCase.h"
#include "report/PageClass.h"
#include "report/PageReportSource.h"
#include "report/ReportOutput.h"

namespace cli {

namespace {

constexpr const char* kConsolidatedName = "Consolidated Site Tree Report";
constexpr const char* kAnalysisName = "Web Page Analysis Report";
constexpr const char* kDemoGeneralReport = "General";

std::string words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string word, joined;
    while (in >> word) joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

// "download|browse CONNECTION SECONDS", the connection by name (which may hold blanks) or index.
std::optional<report::FilterCondition> parseCondition(const std::string& text) {
    const std::string given = words(text);
    const auto first = given.find(' ');
    const auto last = given.rfind(' ');
    if (first == std::string::npos || last == first) return std::nullopt;
    const std::string kind = given.substr(0, first);
    const auto seconds = decimalNumber(given.substr(last + 1));
    const auto connection = connectionIndex(given.substr(first + 1, last - first - 1));
    if (!connection || !seconds ||
        (!query::equalIgnoringCase(kind, "download") &&
         !query::equalIgnoringCase(kind, "browse"))) {
        return std::nullopt;
    }
    report::FilterCondition condition;
    condition.timeType = query::equalIgnoringCase(kind, "download") ? 1 : 0;
    condition.connectionType = *connection;
    condition.threshold = *seconds;
    condition.name = report::generatedName(condition);
    return condition;
}

// The page the single-page outputs are about: the first one loaded, else the first one.
std::shared_ptr<engine::PageEntry> currentPage(const Pages& pages) {
    for (const auto& page : pages) {
        if (page->rootItem()) return page;
    }
    return pages.empty() ? nullptr : pages.front();
}

}  // namespace

std::optional<std::string> RunExtras::prepare(const CliOptions& options) {
    options_ = options;
    const std::string data = persist::DocumentFolders::data();
    catalog_.load(data + query::StatisticsCatalog::kFileName);
    for (const std::string& wanted : options.statistics) {
        const auto number = decimalNumber(wanted);
        std::optional<query::StatisticsDefinition> found =
            number ? catalog_.find(*number) : catalog_.findByTitle(wanted);
        for (const auto& definition : catalog_.definitions()) {
            if (!found && query::equalIgnoringCase(definition.title, wanted)) found = definition;
        }
        if (!found) return "unknown statistics \"" + wanted + "\" (see `pagelyst-cli stats`)";
        statistics_.push_back(*found);
    }
    if (!options.query.empty()) {
        if (auto problem = query::validateQuery(options.query)) return *problem;
        statistics_.push_back({0, "Query", options.query});
    }

    reports_.load(data + report::ReportManager::kFileName);
    if (!options.report.empty()) {
        const std::string& wanted = options.report;
        if (const auto number = decimalNumber(wanted)) {
            const int id = *number;
            if (id == 1 || id == 2 || reports_.findReport(id) != nullptr) reportId_ = id;
        } else if (query::equalIgnoringCase(wanted, kConsolidatedName)) {
            reportId_ = 1;
        } else if (query::equalIgnoringCase(wanted, kAnalysisName)) {
            reportId_ = 2;
        } else {
            for (const auto& [id, stored] : reports_.reports()) {
                if (!reportId_ && query::equalIgnoringCase(stored.name(), wanted)) reportId_ = id;
            }
        }
        if (!reportId_) return "unknown report \"" + wanted + "\" (see `pagelyst-cli reports`)";
    }

    if (options.conditions.empty()) {
        conditions_ = report::FilterConditionList::load();
    } else {
        for (const std::string& text : options.conditions) {
            const auto condition = parseCondition(text);
            if (!condition) {
                return "invalid condition \"" + text +
                       "\"; use \"download|browse CONNECTION SECONDS\"";
            }
            conditions_.add(*condition);
        }
    }
    return std::nullopt;
}

std::string RunExtras::statisticsText(const Pages& pages, int connection) {
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

std::string RunExtras::reportText(const Pages& pages, int connection) {
    std::string out;
    if (!reportId_) return out;
    for (const auto& page : pages) {
        if (*reportId_ != 1 && !page->rootItem()) continue;
        const report::PageReportSource source(page, pages, connection, false, &conditions_);
        try {
            out += report::contentForView(reports_, *reportId_, source) + "\n";
        } catch (const query::QueryError& error) {
            if (!queryFailure_) queryFailure_ = error.what();
        }
        if (*reportId_ == 1) break;  // the consolidated report covers every page
    }
    return out;
}

std::vector<std::string> RunExtras::matchedConditions(engine::PageEntry& page) const {
    const auto times = [&page](int index) {
        const engine::PageFigures figures = page.figures(index);
        return report::PageTimes{figures.downloadTime, figures.browseTime};
    };
    std::vector<std::string> names;
    for (const auto& condition :
         conditions_.evaluate(page.state() == engine::PageState::Finished, times)) {
        names.push_back(condition.name);
    }
    return names;
}

bool RunExtras::anyConditionMatched(const Pages& pages) {
    return std::any_of(pages.begin(), pages.end(),
                       [this](const auto& page) { return !matchedConditions(*page).empty(); });
}

void RunExtras::annotate(nlohmann::json& document, const Pages& pages, int connection) {
    nlohmann::json& entries = document["pages"];
    for (std::size_t i = 0; i < pages.size() && i < entries.size(); ++i) {
        engine::PageEntry& page = *pages[i];
        nlohmann::json& entry = entries[i];
        entry["class"] = report::plainName(page.pageClass());
        entry["classValue"] = page.pageClass();
        entry["analysis"] = page.hintText();
        entry["conditions"] = matchedConditions(page);
        if (statistics_.empty()) continue;
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
        entry["statistics"] = std::move(results);
    }
}

std::optional<std::string> RunExtras::writeFiles(const Pages& pages, int connection) {
    const auto current = currentPage(pages);
    const report::PageReportSource source(current, pages, connection, false, &conditions_);
    std::string error;
    const auto write = [&](const std::string& path, const std::string& text) {
        return path.empty() || saveText(path, text, error);
    };
    if (!options_.csvPath.empty()) {
        const auto result = query::statisticsResult(statistics_.front(), current.get(), connection);
        if (result.state == query::StatisticsResult::State::QueryFailed) return result.message;
        const std::string text =
            result.table ? query::writeDelimitedText(*result.table, ",", "\"") : std::string();
        if (!write(options_.csvPath, text)) return error;
    }
    try {
        if (!write(options_.analysisPath, report::exportText(reports_, 2, source)) ||
            !write(options_.analysisSitePath, report::exportText(reports_, 1, source)) ||
            (reportId_ &&
             !write(options_.htmlPath, report::exportText(reports_, *reportId_, source)))) {
            return error;
        }
    } catch (const query::QueryError& failure) {
        return std::string(failure.what());
    }
    return std::nullopt;
}

std::vector<std::string> RunExtras::writeDemoReports(const Pages& pages, const std::string& folder,
                                                     std::string& error) {
    const auto home = currentPage(pages);
    const report::PageReportSource source(home, pages, 0, false, &conditions_);
    std::vector<std::string> written;
    std::optional<std::int32_t> general;
    for (const auto& [id, stored] : reports_.reports()) {
        if (!general && stored.name() == kDemoGeneralReport) general = id;
    }
    try {
        const std::string analysis = folder + "/pagelyst-demo-analysis.html";
        if (!saveText(analysis, report::exportText(reports_, 2, source), error)) return written;
        written.push_back(analysis);
        if (general) {
            const std::string path = folder + "/pagelyst-demo-general-report.html";
            if (!saveText(path, report::exportText(reports_, *general, source), error))
                return written;
            written.push_back(path);
        }
    } catch (const query::QueryError& failure) {
        error = failure.what();
    }
    return written;
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

std::string reportsListing() {
    report::ReportManager manager;
    manager.load(persist::DocumentFolders::data() + report::ReportManager::kFileName);
    std::string out = std::string("1\t") + kConsolidatedName + "\n2\t" + kAnalysisName + "\n";
    for (const auto& [id, stored] : manager.reports()) {
        out += std::to_string(id) + "\t" + stored.name() + "\n";
    }
    return out;
}

}  // namespace cli
