#include "app/reports/CReportListCtrl.h"

#include <QKeyEvent>
#include <QTreeView>

#include "app/reports/ReportListModel.h"

namespace app {

CReportListCtrl::CReportListCtrl(QWidget* parent) : CReportListCtrl(new ReportListModel, parent) {}

CReportListCtrl::CReportListCtrl(ReportListModel* model, QWidget* parent)
    : CChoiceListCtrl(model, parent), model_(model) {
    for (QWidget* view : findChildren<QAbstractItemView*>()) view->installEventFilter(this);
}

bool CReportListCtrl::refill(const report::ReportManager& manager) {
    if (!watch_.needsRefill(manager)) return false;
    refillKeepingSelection([&] {
        model_->setRows(report::reportRows(manager, listMode_));
        detailsView()->resizeColumnToContents(0);
    });
    return true;
}

void CReportListCtrl::setListMode(report::ReportListMode mode) {
    if (mode == listMode_) return;
    listMode_ = mode;
    watch_.reset();
}

bool CReportListCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        emit escapePressed();
        return true;
    }
    return CChoiceListCtrl::eventFilter(watched, event);
}

}  // namespace app
