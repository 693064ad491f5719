#pragma once

#include <QWizardPage>

#include "app/reports/ReportEditing.h"

namespace app {

class CReportContentEditor;

// The wizard's second page, "Report Content": the content editor over the report the wizard
// made when the first page was left.
class CNewReportPropertyPage2 : public QWizardPage {
    Q_OBJECT

public:
    CNewReportPropertyPage2(const report::ReportManager& reports,
                            const query::StatisticsCatalog& statistics,
                            StyleEditorOpener editStyles, QWidget* parent = nullptr);

    CReportContentEditor* editor() const { return editor_; }

private:
    CReportContentEditor* editor_;
};

}  // namespace app
