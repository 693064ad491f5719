#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/Pages.h"
#include "report/FilterConditionList.h"
#include "report/ReportManager.h"

namespace cli {

// The reports of a run: the --report rendered over each page (printed, or exported with
// --html), the two analysis reports (--analysis, --analysis-site) and the demo's reports. The
// report definitions are read, never written.
class ReportJob {
public:
    // Reads the definitions and resolves --report by id or name; the message when it names no
    // report.
    std::optional<std::string> prepare(const std::string& wanted);

    bool wanted() const { return reportId_.has_value(); }
    // The report rendered over each loaded page (the consolidated report once), as HTML.
    std::string text(const Pages& pages, int connection, const report::FilterConditionList& list);
    // Writes the files named (an empty path is skipped): the analysis report of the current
    // page, the consolidated report, and the --report's export; the first failure's message.
    std::optional<std::string> writeFiles(const std::string& analysisPath,
                                          const std::string& sitePath, const std::string& htmlPath,
                                          const Pages& pages, int connection,
                                          const report::FilterConditionList& list);
    // Writes the demo's two reports of its home page into `folder`; the paths written, with
    // `error` set on a failure.
    std::vector<std::string> writeDemoReports(const Pages& pages, const std::string& folder,
                                              const report::FilterConditionList& list,
                                              std::string& error);

    // The message of the first report query that failed over a page.
    const std::optional<std::string>& queryFailure() const { return queryFailure_; }

private:
    report::ReportManager reports_;
    std::optional<std::int32_t> reportId_;
    std::optional<std::string> queryFailure_;
};

// The `reports` listing: id and name of every report, the two built-in ones first.
std::string reportsListing();

}  // namespace cli
