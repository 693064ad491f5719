#include "app/reports/ReportContentView.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace app {

ReportContentView::ReportContentView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
}

void ReportContentView::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || state() == EditingState) return QTreeView::keyPressEvent(event);
    emit editRequested();
    event->accept();
}

void ReportContentView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    setColumnWidth(0, viewport()->width() / 3);
}

}  // namespace app
