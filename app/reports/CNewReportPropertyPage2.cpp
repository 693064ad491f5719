#include "app/reports/CNewReportPropertyPage2.h"

#include <QVBoxLayout>

#include <utility>

#include "app/reports/CReportContentEditor.h"

namespace app {

CNewReportPropertyPage2::CNewReportPropertyPage2(const report::ReportManager& reports,
                                                 const query::StatisticsCatalog& statistics,
                                                 StyleEditorOpener editStyles, QWidget* parent)
    : QWizardPage(parent),
      editor_(new CReportContentEditor(reports, statistics, std::move(editStyles))) {
    setTitle(tr("Report Content"));
    (new QVBoxLayout(this))->addWidget(editor_);
}

}  // namespace app
