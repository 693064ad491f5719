#include "report/ReportOutput.h"

#include <exception>

#include <Archive>

namespace report {
namespace {

bool isAnalysisReport(std::int32_t id) {
    return id < ReportManager::kReportIdBase;
}

AnalysisReport analysisFor(std::int32_t id) {
    return id == kConsolidatedReportId ? AnalysisReport::Consolidated : AnalysisReport::CurrentPage;
}

}  // namespace

std::string contentForView(const ReportManager& manager, std::int32_t id,
                           const ReportSource& source) {
    if (isAnalysisReport(id)) return source.analysisReport(analysisFor(id));
    if (!source.hasCurrentPage()) return kReportNotAvailable;
    const query::QueryTablePtr elements = source.elementTable();
    if (!elements || elements->rowCount() == 0) return kReportNotAvailable;
    return manager.renderReport(id, elements.get());
}

std::optional<std::string> exportFileName(const ReportManager& manager, std::int32_t id,
                                          const ReportSource& source) {
    if (id == kConsolidatedReportId) return std::string(kConsolidatedReportName) + ".html";
    if (isAnalysisReport(id)) return std::string(kPageAnalysisReportName) + ".html";
    const Report* report = manager.findReport(id);
    if (report == nullptr) return "";
    if (!source.hasCurrentPage()) return std::nullopt;
    return report->name() + ".html";
}

std::string exportText(const ReportManager& manager, std::int32_t id, const ReportSource& source) {
    if (isAnalysisReport(id))
        return withCrLf("<HTML>\n" + source.analysisReport(analysisFor(id)) + "</HTML>\n");
    return withCrLf(manager.renderReport(id, source.elementTable().get()));
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

ExportResult exportHtml(const ReportManager& manager, std::int32_t id, const ReportSource& source,
                        const ExportPathChooser& choosePath, std::string* cause) {
    const std::optional<std::string> initialName = exportFileName(manager, id, source);
    if (!initialName) return ExportResult::NothingToExport;
    const std::optional<std::string> path = choosePath(*initialName);
    if (!path) return ExportResult::Cancelled;
    std::string text;
    try {
        text = exportText(manager, id, source);
    } catch (const xlib::Exception& error) {
        if (cause) *cause = error.message();
        return ExportResult::Failed;
    } catch (const std::exception& error) {
        if (cause) *cause = error.what();
        return ExportResult::Failed;
    }
    return writeExportFile(*path, text, cause) ? ExportResult::Written : ExportResult::Failed;
}

bool writeExportFile(const std::string& path, std::string_view bytes, std::string* cause) {
    xlib::SaveStream file(path);
    try {
        if (file.write(bytes.data(), bytes.size()) != bytes.size())
            XLIB_THROW("Can't write data to stream");
        file.commit();
        return true;
    } catch (const xlib::Exception& error) {
        // The stream's message is a constant: the file's name and the system's reason say more.
        if (cause)
            *cause = std::string(error.message()) + ": " + path + " (" +
                     xlib::saveFailureReason(file, error) + ")";
        return false;
    }
}

}  // namespace report
