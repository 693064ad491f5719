#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "report/ReportManager.h"
#include "report/ReportSource.h"

// What the report view shows and what its export writes, for the id selected in the report
// list: ids below ReportManager::kReportIdBase are the analysis reports (1 the consolidated
// one, any other the current page's), the others stored reports.
namespace report {

inline constexpr std::int32_t kConsolidatedReportId = 1;
inline constexpr std::int32_t kPageAnalysisReportId = 2;
inline constexpr const char* kConsolidatedReportName = "Consolidated Site Tree Report";
inline constexpr const char* kPageAnalysisReportName = "Web Page Analysis Report";
inline constexpr const char* kReportNotAvailable =
    "<HTML><BODY><CENTER>Report not available.</CENTER></BODY></HTML>";
// The message box of a failed export: text, caption (error icon).
inline constexpr const char* kExportErrorText = "Error exporting data.";
inline constexpr const char* kExportErrorCaption = "Error";

// The HTML for the report view. A stored report renders only when the current page has an
// element table with rows; otherwise the "Report not available." page. A Table item's
// query::QueryError passes through.
std::string contentForView(const ReportManager& manager, std::int32_t id,
                           const ReportSource& source);

// The name the save dialog starts with ("<name>.html"); "" when a stored id names no report;
// nullopt when there is nothing to export (a stored report without a current page).
std::optional<std::string> exportFileName(const ReportManager& manager, std::int32_t id,
                                          const ReportSource& source);

// The exact bytes the export writes: the analysis reports wrapped in "<HTML>\n" ...
// "</HTML>\n", stored reports as rendered, every "\n" turned into "\r\n". Raises what the
// rendering raises.
std::string exportText(const ReportManager& manager, std::int32_t id, const ReportSource& source);

// Every "\n" becomes "\r\n", also one that already follows a "\r" (which gives "\r\r\n").
std::string withCrLf(std::string_view text);

enum class ExportResult {
    NothingToExport,  // a stored report without a current page: the command does nothing
    Cancelled,        // the file chooser gave no path
    Written,
    Failed,  // a query or the file failed; show kExportErrorText
};

// Asks for the target path (given the initial file name; nullopt cancels), builds the text and
// writes it through a temporary file renamed over the target, so a failure never leaves a
// partial file or destroys an older one. A failure's cause goes to `cause` when one is given.
using ExportPathChooser = std::function<std::optional<std::string>(const std::string& initialName)>;
ExportResult exportHtml(const ReportManager& manager, std::int32_t id, const ReportSource& source,
                        const ExportPathChooser& choosePath, std::string* cause = nullptr);

// Writes an exported file whole or not at all, through a temporary file renamed over `path`.
// False when it cannot, with the cause in `cause`: "Can't write data to stream: <path> (No
// space left on device)".
bool writeExportFile(const std::string& path, std::string_view bytes, std::string* cause);

}  // namespace report
