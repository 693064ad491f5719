#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/schedule/PageEntry.h"
#include "report/FilterConditionList.h"
#include "report/ReportSource.h"

namespace report {

// The report source over pages of the site tree: the current page's element table for the
// selected connection and the two analysis reports over snapshots of the pages. The pages are
// read when a report asks, so the source follows them while they live.
class PageReportSource : public ReportSource {
public:
    // `current` may be null (no page current); `pages` in the site tree's order. `busy`: work
    // is running, so the analysis reports are not available. `conditions` (may be null) name
    // the conditions each page matches in the reports; it must outlive the source.
    PageReportSource(std::shared_ptr<engine::PageEntry> current,
                     std::vector<std::shared_ptr<engine::PageEntry>> pages, int connectionIndex,
                     bool busy = false, const FilterConditionList* conditions = nullptr);

    bool hasCurrentPage() const override { return current_ != nullptr; }
    query::QueryTablePtr elementTable() const override;
    std::string analysisReport(AnalysisReport which) const override;

private:
    std::shared_ptr<engine::PageEntry> current_;
    std::vector<std::shared_ptr<engine::PageEntry>> pages_;
    int connectionIndex_;
    bool busy_;
    const FilterConditionList* conditions_;
};

}  // namespace report
