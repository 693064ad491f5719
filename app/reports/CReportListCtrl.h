#pragma once

#include "app/widgets/CChoiceListCtrl.h"
#include "report/ReportLists.h"

namespace app {

class ReportListModel;

// The choice list of reports in the Reports view's side pane. Its rows are made again only when
// the report manager changed since they were last made; Esc hands the focus back to the view.
class CReportListCtrl : public CChoiceListCtrl {
    Q_OBJECT

public:
    explicit CReportListCtrl(QWidget* parent = nullptr);

    // Fills the rows again when the manager's change stamp moved since the last fill (or the
    // list mode changed), keeping the selected report; true when it did.
    bool refill(const report::ReportManager& manager);

    report::ReportListMode listMode() const { return listMode_; }
    // The next refill shows the rows of this mode.
    void setListMode(report::ReportListMode mode);

    ReportListModel* reportModel() const { return model_; }

signals:
    void escapePressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CReportListCtrl(ReportListModel* model, QWidget* parent);

    ReportListModel* model_;
    report::ReportWatch watch_;
    report::ReportListMode listMode_ = report::ReportListMode::All;
};

}  // namespace app
