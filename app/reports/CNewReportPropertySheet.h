#pragma once

#include <QWizard>

#include <memory>

#include "app/reports/ReportEditing.h"

namespace report {
class Report;
}

namespace app {

class CNewReportPropertyPage1;
class CNewReportPropertyPage2;

// "Create New Report": a name, a template, a style set and a description, then the content.
// Leaving the first page makes a fresh copy of the template with those three values, which the
// second page edits; Finish hands it to the caller, Cancel discards it.
class CNewReportPropertySheet : public QWizard {
    Q_OBJECT

public:
    CNewReportPropertySheet(const report::ReportManager& reports,
                            const query::StatisticsCatalog& statistics,
                            StyleEditorOpener editStyles, QWidget* parent = nullptr);
    ~CNewReportPropertySheet() override;

    CNewReportPropertyPage1* firstPage() const { return first_; }
    CNewReportPropertyPage2* contentPage() const { return content_; }

    // The report being made; null until the first page is left.
    report::Report* report() const { return report_.get(); }
    // Hands the report over, leaving none.
    std::unique_ptr<report::Report> takeReport();

protected:
    void initializePage(int id) override;
    void cleanupPage(int id) override;

private:
    void makeReport();

    const report::ReportManager& reports_;
    CNewReportPropertyPage1* first_;
    CNewReportPropertyPage2* content_;
    int contentId_;
    std::unique_ptr<report::Report> report_;
};

}  // namespace app
