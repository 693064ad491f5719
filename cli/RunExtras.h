#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/ConditionCheck.h"
#include "cli/Pages.h"
#include "cli/ReportJob.h"
#include "cli/StatisticsJob.h"

namespace cli {

// What a run does besides measuring: statistics over each page's element table, reports, the
// analysis files and the time conditions, each a job of its own, prepared before the run.
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
    // Writes --csv (every page's rows when `crawl`), --analysis, --analysis-site and --html;
    // the first failure's message.
    std::optional<std::string> writeFiles(const Pages& pages, int connection, bool crawl);
    // Writes the demo's two reports of its home page into `folder`; the paths written, with
    // `error` set on a failure.
    std::vector<std::string> writeDemoReports(const Pages& pages, const std::string& folder,
                                              std::string& error);

    // The message of the first statistics or report query that failed over a page.
    std::optional<std::string> queryFailure() const;
    // Whether an enabled condition matched a page.
    bool anyConditionMatched(const Pages& pages) const { return conditions_.anyMatched(pages); }

    bool wantsReport() const { return reports_.wanted(); }

private:
    CliOptions options_;
    StatisticsJob statistics_;
    ReportJob reports_;
    ConditionCheck conditions_;
};

}  // namespace cli
