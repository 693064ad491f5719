#include "app/reports/CNewReportPropertySheet.h"

#include <utility>

#include "app/reports/CNewReportPropertyPage1.h"
#include "app/reports/CNewReportPropertyPage2.h"
#include "app/reports/CReportContentEditor.h"
#include "report/ReportManager.h"

namespace app {

CNewReportPropertySheet::CNewReportPropertySheet(const report::ReportManager& reports,
                                                 const query::StatisticsCatalog& statistics,
                                                 StyleEditorOpener editStyles, QWidget* parent)
    : QWizard(parent),
      reports_(reports),
      first_(new CNewReportPropertyPage1(reports)),
      content_(new CNewReportPropertyPage2(reports, statistics, std::move(editStyles))) {
    setWindowTitle(tr("Create New Report"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    addPage(first_);
    contentId_ = addPage(content_);
    resize(660, 460);
}

// The editor points into the report, so it lets go first.
CNewReportPropertySheet::~CNewReportPropertySheet() {
    content_->editor()->setReport(nullptr);
}

std::unique_ptr<report::Report> CNewReportPropertySheet::takeReport() {
    content_->editor()->setReport(nullptr);
    return std::move(report_);
}

void CNewReportPropertySheet::initializePage(int id) {
    if (id == contentId_) makeReport();
    QWizard::initializePage(id);
}

// Back on the first page, whose style list the style editor may have outdated.
void CNewReportPropertySheet::cleanupPage(int id) {
    QWizard::cleanupPage(id);
    if (id == contentId_) first_->refreshStyles();
}

void CNewReportPropertySheet::makeReport() {
    const report::Report* base = reports_.findReport(first_->basedOn());
    auto made = std::make_unique<report::Report>(base ? base->clone() : report::Report());
    made->setName(first_->name().toStdString());
    made->setDescription(first_->description().toStdString());
    made->setStyleId(first_->styleId());
    content_->editor()->setReport(made.get());
    report_ = std::move(made);
}

}  // namespace app
