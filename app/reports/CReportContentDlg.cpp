#include "app/reports/CReportContentDlg.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include <utility>

#include "app/reports/CReportContentEditor.h"

namespace app {

CReportContentDlg::CReportContentDlg(report::Report& report, const report::ReportManager& reports,
                                     const query::StatisticsCatalog& statistics,
                                     StyleEditorOpener editStyles, QWidget* parent)
    : QDialog(parent),
      editor_(new CReportContentEditor(reports, statistics, std::move(editStyles))) {
    setWindowTitle(tr("Report Content"));
    editor_->setReport(&report);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReportContentDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReportContentDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(editor_, 1);
    layout->addWidget(buttons);
    resize(640, 420);
}

}  // namespace app
