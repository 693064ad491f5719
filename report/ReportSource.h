#pragma once

#include <string>

#include "query/QueryTable.h"

namespace report {

// Which analysis report analysisReport() is asked for.
enum class AnalysisReport {
    Consolidated,  // the site tree's pages by class (report id 1)
    CurrentPage,   // the current page's general analysis (report id 2 and any other id below 100)
};

// What the report view and the export read from the rest of the program: the current page,
// its element table and the two analysis reports. The front ends implement it over the site
// tree and the page analyser. Called on the user-interface thread only.
class ReportSource {
public:
    virtual ~ReportSource() = default;

    // Whether a page is current.
    virtual bool hasCurrentPage() const = 0;
    // The current page's element table for the selected connection; null when there is none.
    virtual query::QueryTablePtr elementTable() const = 0;
    // The HTML of an analysis report, as the page analyser makes it (already escaped).
    virtual std::string analysisReport(AnalysisReport which) const = 0;
};

}  // namespace report
