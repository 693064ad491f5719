#pragma once

#include <string>
#include <vector>

#include "report/AnalysisPage.h"
#include "report/PageClass.h"

namespace report {

struct AnalysisResult {
    PageClass pageClass = kClassUnknown;
    std::string text;  // HTML: the heading and the texts of the hints that decided the class
};

// Grades pages with the six hints and renders the two analysis reports. Stateless; works on
// snapshots of pages (AnalysisPage), so it can run on any thread.
class PageAnalyzer {
public:
    static constexpr const char* kNotLoaded = "Web page is not loaded.";

    // Whether the page finished (also with errors) and was loaded with its elements.
    static bool isAnalysable(const AnalysisPage& page);

    // The worst class any hint gave and the texts of the hints that gave it, joined by "<HR>"
    // behind the "Page Class" heading; advice follows each text from Medium on.
    static AnalysisResult analyzePage(const AnalysisPage& page);

    // The "General Web Page Analysis Report" of one page.
    static std::string generalReport(const AnalysisPage& page);
    // The "Consolidated Site Analysis Report": the pages by their stored class, worst first.
    static std::string consolidatedReport(const std::vector<AnalysisPage>& pages);

    // which = 0: the consolidated report, 1: the general report of `current` (null when no page
    // is current). While downloads run neither is available.
    static std::string analysisReport(int which, bool downloadsRunning, const AnalysisPage* current,
                                      const std::vector<AnalysisPage>& pages);
};

}  // namespace report
