#pragma once

#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "engine/schedule/PageEntry.h"
#include "query/StatisticsCatalog.h"
#include "query/StatisticsDefinition.h"
#include "report/FilterConditionList.h"
#include "report/ReportManager.h"

namespace cli {

using Pages = std::vector<std::shared_ptr<engine::PageEntry>>;

// What a run does besides measuring: statistics over each page's element table, reports, the
// analysis files and the time conditions. The definitions are read (never written) before the
// run, so a wrong id, title or statement costs no measurement.
class RunExtras {
public:
    // Reads the definition files and resolves the options; the message to print when one of
    // them cannot be used.
    std::optional<std::string> prepare(const CliOptions& options);

    // The statistics' results for each loaded page, as text tables under a heading.
    std::string statisticsText(const Pages& pages, int connection);
    // The report rendered over each loaded page (the consolidated report once), as HTML.
    std::string reportText(const Pages& pages, int connection);
    // Adds "class", "classValue", "analysis", "conditions" and, with statistics, "statistics"
    // to each page of the JSON document (pages in the same order).
    void annotate(nlohmann::json& document, const Pages& pages, int connection);
    // Writes --csv, --analysis, --analysis-site and --html; the first failure's message.
    std::optional<std::string> writeFiles(const Pages& pages, int connection);
    // Writes the demo's two reports of its home page into `folder`; the paths written, or the
    // failure's message.
    std::vector<std::string> writeDemoReports(const Pages& pages, const std::string& folder,
                                              std::string& error);

    // The message of the first statistics or report query that failed over a page.
    const std::optional<std::string>& queryFailure() const { return queryFailure_; }
    // Whether an enabled condition matched a page.
    bool anyConditionMatched(const Pages& pages);

    bool wantsStatistics() const { return !statistics_.empty(); }
    bool wantsReport() const { return reportId_.has_value(); }

private:
    std::vector<std::string> matchedConditions(engine::PageEntry& page) const;

    CliOptions options_;
    query::StatisticsCatalog catalog_;
    std::vector<query::StatisticsDefinition> statistics_;
    report::ReportManager reports_;
    std::optional<std::int32_t> reportId_;
    report::FilterConditionList conditions_;
    std::optional<std::string> queryFailure_;
};

// The `stats` and `reports` listings.
std::string statisticsListing();
std::string reportsListing();

}  // namespace cli
