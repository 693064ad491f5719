#pragma once

#include <string>
#include <vector>

#include "engine/crawl/SiteNode.h"
#include "engine/crawl/SiteTree.h"
#include "export/HarImportPlan.h"

// Pages a browser loaded, read from its HAR file into the site tree, where every view,
// statistic, condition, report and export works on them as on measured pages.
namespace exporting {

struct HarImport {
    std::vector<engine::SiteNode*> nodes;  // the pages added, in the order they were loaded
    HarImportSummary summary;
    std::string error;  // set: nothing was added
};

// Reads the HAR file at `path` (readHarFile, planPages) and adds one root page to `tree` for
// each page it holds, marked and kept as a typed address is, and loads each from the file
// (engine::importPage): settled, analysed and graded, and marked as imported from the file's
// name. A file that cannot be read, or holds no page, adds nothing. Runs on the tree's thread.
HarImport importHar(engine::SiteTree& tree, const std::string& path);

// One line for the user: "Imported 2 pages with 37 elements (5 from the browser's cache) from
// capture.har; left out: 3 entries that are not HTTP or HTTPS."
std::string importSummaryText(const HarImportSummary& summary, const std::string& source);

}  // namespace exporting
