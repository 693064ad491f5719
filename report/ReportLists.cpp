#include "report/ReportLists.h"

namespace report {

namespace {

std::vector<ReportRow> analysisRows() {
    return {{kConsolidatedReportId, kConsolidatedReportName,
             "Shows consolidated analysis report for all analyzed pages."},
            {kPageAnalysisReportId, kPageAnalysisReportName,
             "Shows general analysis report for current web page."}};
}

}  // namespace

std::vector<ReportRow> reportRows(const ReportManager& manager, ReportListMode mode) {
    std::vector<ReportRow> rows;
    if (mode != ReportListMode::AnalysisOnly)
        rows.push_back({0, kNewReportRow, kNewReportDescription});
    for (ReportRow& row : analysisRows()) rows.push_back(std::move(row));
    if (mode == ReportListMode::All) {
        for (const auto& [id, report] : manager.reports())
            rows.push_back({id, report.name(), report.description()});
    }
    return rows;
}

std::vector<ReportMenuEntry> reportMenu(const ReportManager& manager, std::int32_t selectedId) {
    using Kind = ReportMenuEntry::Kind;
    std::vector<ReportMenuEntry> menu{{Kind::NewReport, "&New...", 0, 0, false},
                                      {Kind::EditStyles, "Edit &Styles...", 0, 0, false},
                                      {Kind::Separator, {}, 0, 0, false}};
    int command = kFirstReportCommand;
    for (const ReportRow& row : reportRows(manager, ReportListMode::AnalysisOnly))
        menu.push_back({Kind::Report, row.name, command++, row.id, row.id == selectedId});
    for (const auto& [id, report] : manager.reports())
        menu.push_back({Kind::Report, report.name(), command++, id, id == selectedId});
    return menu;
}

std::optional<std::int32_t> reportForCommand(const std::vector<ReportMenuEntry>& menu,
                                             int command) {
    for (const ReportMenuEntry& entry : menu) {
        if (entry.kind == ReportMenuEntry::Kind::Report && entry.command == command)
            return entry.reportId;
    }
    return std::nullopt;
}

bool ReportWatch::needsRefill(const ReportManager& manager) {
    if (shown_ == manager.changeStamp()) return false;
    shown_ = manager.changeStamp();
    return true;
}

}  // namespace report
