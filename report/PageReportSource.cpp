#include "report/PageReportSource.h"

#include <utility>

#include "query/ElementTable.h"
#include "report/PageAnalyzer.h"
#include "report/PageSnapshot.h"

namespace report {

PageReportSource::PageReportSource(std::shared_ptr<engine::PageEntry> current,
                                   std::vector<std::shared_ptr<engine::PageEntry>> pages,
                                   int connectionIndex, bool busy,
                                   const FilterConditionList* conditions)
    : current_(std::move(current)),
      pages_(std::move(pages)),
      connectionIndex_(connectionIndex),
      busy_(busy),
      conditions_(conditions) {}

query::QueryTablePtr PageReportSource::elementTable() const {
    if (!current_) return nullptr;
    return query::buildElementTable(*current_, connectionIndex_);
}

std::string PageReportSource::analysisReport(AnalysisReport which) const {
    std::vector<AnalysisPage> snapshots;
    if (which == AnalysisReport::Consolidated) {
        snapshots.reserve(pages_.size());
        for (const auto& page : pages_) snapshots.push_back(snapshotOf(*page, conditions_));
    }
    AnalysisPage current;
    if (current_) current = snapshotOf(*current_, conditions_);
    return PageAnalyzer::analysisReport(which == AnalysisReport::Consolidated ? 0 : 1, busy_,
                                        current_ ? &current : nullptr, snapshots);
}

}  // namespace report
