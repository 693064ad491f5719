#pragma once

#include <QDialog>

#include "app/reports/ReportEditing.h"

namespace report {
class Report;
}

namespace app {

class CReportContentEditor;

// "Report Content" on its own, with OK and Cancel: the content editor over a copy of a stored
// report, which the caller keeps and puts back on OK.
class CReportContentDlg : public QDialog {
    Q_OBJECT

public:
    // `report` must outlive the dialog.
    CReportContentDlg(report::Report& report, const report::ReportManager& reports,
                      const query::StatisticsCatalog& statistics, StyleEditorOpener editStyles,
                      QWidget* parent = nullptr);

    CReportContentEditor* editor() const { return editor_; }

private:
    CReportContentEditor* editor_;
};

}  // namespace app
