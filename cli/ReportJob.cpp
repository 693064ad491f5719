#include "cli/ReportJob.h"

#include <string>

#include "cli/CliOptions.h"
#include "export/OutputFile.h"
#include "persist/DocumentFolders.h"
#include "query/QueryError.h"
#include "query/TextCase.h"
#include "report/PageReportSource.h"
#include "report/ReportOutput.h"

namespace cli {

namespace {

constexpr const char* kConsolidatedName = report::kConsolidatedReportName;
constexpr const char* kAnalysisName = report::kPageAnalysisReportName;
constexpr const char* kDemoGeneralReport = "General";

}  // namespace

std::optional<std::string> ReportJob::prepare(const std::string& wanted) {
    reports_.load(persist::DocumentFolders::data() + report::ReportManager::kFileName);
    if (wanted.empty()) return std::nullopt;
    if (const auto number = decimalNumber(wanted)) {
        const int id = *number;
        if (id == report::kConsolidatedReportId || id == report::kPageAnalysisReportId ||
            reports_.findReport(id) != nullptr)
            reportId_ = id;
    } else if (query::equalIgnoringCase(wanted, kConsolidatedName)) {
        reportId_ = report::kConsolidatedReportId;
    } else if (query::equalIgnoringCase(wanted, kAnalysisName)) {
        reportId_ = report::kPageAnalysisReportId;
    } else {
        for (const auto& [id, stored] : reports_.reports()) {
            if (!reportId_ && query::equalIgnoringCase(stored.name(), wanted)) reportId_ = id;
        }
    }
    if (!reportId_) return "unknown report \"" + wanted + "\" (see `pagelyst-cli reports`)";
    return std::nullopt;
}

std::string ReportJob::text(const Pages& pages, int connection,
                            const report::FilterConditionList& list) {
    std::string out;
    if (!reportId_) return out;
    for (const auto& page : pages) {
        if (*reportId_ != report::kConsolidatedReportId && !page->rootItem()) continue;
        const report::PageReportSource source(page, pages, connection, false, &list);
        try {
            out += report::contentForView(reports_, *reportId_, source) + "\n";
        } catch (const query::QueryError& error) {
            if (!queryFailure_) queryFailure_ = error.what();
        }
        if (*reportId_ == report::kConsolidatedReportId) break;  // it covers every page
    }
    return out;
}

std::optional<std::string> ReportJob::writeFiles(const std::string& analysisPath,
                                                 const std::string& sitePath,
                                                 const std::string& htmlPath, const Pages& pages,
                                                 int connection,
                                                 const report::FilterConditionList& list) {
    const report::PageReportSource source(currentPage(pages), pages, connection, false, &list);
    std::string error;
    const auto write = [&](const std::string& path, std::int32_t id) {
        return path.empty() ||
               exporting::saveText(path, report::exportText(reports_, id, source), error);
    };
    try {
        if (!write(analysisPath, 2) || !write(sitePath, 1) ||
            (reportId_ && !write(htmlPath, *reportId_))) {
            return error;
        }
    } catch (const query::QueryError& failure) {
        return std::string(failure.what());
    }
    return std::nullopt;
}

std::vector<std::string> ReportJob::writeDemoReports(const Pages& pages, const std::string& folder,
                                                     const report::FilterConditionList& list,
                                                     std::string& error) {
    const report::PageReportSource source(currentPage(pages), pages, 0, false, &list);
    std::vector<std::string> written;
    std::optional<std::int32_t> general;
    for (const auto& [id, stored] : reports_.reports()) {
        if (!general && stored.name() == kDemoGeneralReport) general = id;
    }
    try {
        const std::string analysis = folder + "/pagelyst-demo-analysis.html";
        if (!exporting::saveText(analysis, report::exportText(reports_, 2, source), error))
            return written;
        written.push_back(analysis);
        if (general) {
            const std::string path = folder + "/pagelyst-demo-general-report.html";
            if (!exporting::saveText(path, report::exportText(reports_, *general, source), error))
                return written;
            written.push_back(path);
        }
    } catch (const query::QueryError& failure) {
        error = failure.what();
    }
    return written;
}

std::string reportsListing() {
    report::ReportManager manager;
    manager.load(persist::DocumentFolders::data() + report::ReportManager::kFileName);
    std::string out = std::to_string(report::kConsolidatedReportId) + "\t" + kConsolidatedName +
                      "\n" + std::to_string(report::kPageAnalysisReportId) + "\t" + kAnalysisName +
                      "\n";
    for (const auto& [id, stored] : manager.reports()) {
        out += std::to_string(id) + "\t" + stored.name() + "\n";
    }
    return out;
}

}  // namespace cli
