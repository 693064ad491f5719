#include "report/ReportOutput.h"

#include <cerrno>
#include <cstring>
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

void writeFile(const std::string& path, const std::string& bytes) {
    xlib::SaveStream file(path);
    if (file.write(bytes.data(), bytes.size()) != bytes.size())
        XLIB_THROW("Can't write data to stream");
    file.commit();
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
    try {
        const std::string text = exportText(manager, id, source);
        errno = 0;
        writeFile(*path, text);
        return ExportResult::Written;
    } catch (const xlib::Exception& error) {
        // The save stream's message is a constant; what the system said is in errno.
        const int code = errno;
        if (cause) {
            *cause = std::string(error.message()) + ": " + *path;
            if (code != 0) *cause += std::string(" (") + std::strerror(code) + ")";
        }
        return ExportResult::Failed;
    } catch (const std::exception& error) {
        if (cause) *cause = error.what();
        return ExportResult::Failed;
    }
}

}  // namespace report
