#include "app/reports/ReportEditing.h"

#include <memory>
#include <utility>

#include "app/reports/CNewReportPropertySheet.h"
#include "app/reports/CReportContentDlg.h"
#include "report/ReportManager.h"

namespace app {

std::optional<std::int32_t> newReport(QWidget* parent, report::ReportManager& reports,
                                      const query::StatisticsCatalog& statistics,
                                      const StyleEditorOpener& editStyles) {
    CNewReportPropertySheet wizard(reports, statistics, editStyles, parent);
    if (wizard.exec() != QDialog::Accepted) return std::nullopt;
    std::unique_ptr<report::Report> made = wizard.takeReport();
    if (!made) return std::nullopt;
    const std::int32_t id = reports.addReport(std::move(*made));
    if (id == 0) return std::nullopt;
    return id;
}

bool modifyReport(QWidget* parent, report::ReportManager& reports,
                  const query::StatisticsCatalog& statistics, std::int32_t id,
                  const StyleEditorOpener& editStyles) {
    const report::Report* stored = reports.findReport(id);
    if (!stored) return false;
    // A clone leaves the description to its caller.
    report::Report copy = stored->clone();
    copy.setDescription(stored->description());
    CReportContentDlg dialog(copy, reports, statistics, editStyles, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    reports.replaceReport(id, std::move(copy));
    return true;
}

}  // namespace app
