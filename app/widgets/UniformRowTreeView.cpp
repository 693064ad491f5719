#include "app/widgets/UniformRowTreeView.h"

#include <QAccessible>
#include <QHeaderView>

namespace app {

UniformRowTreeView::UniformRowTreeView(QWidget* parent) : QTreeView(parent) {
    setUniformRowHeights(true);
}

void UniformRowTreeView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                     const QList<int>& roles) {
    // A top-level row may set the height every row takes, and assistive tools follow the stock
    // path's events: those keep it.
    if (!topLeft.parent().isValid() || !uniformRowHeights() || QAccessible::isActive()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    if (!isVisible()) return;
    int column = topLeft.column();
    while (column <= bottomRight.column() && header()->isSectionHidden(column)) ++column;
    if (column > bottomRight.column()) return;  // no changed column is shown
    const QRect first = visualRect(topLeft.siblingAtColumn(column));
    if (!first.isValid()) return;  // under a closed branch
    const QRect last = topLeft.row() == bottomRight.row()
                           ? first
                           : visualRect(bottomRight.siblingAtColumn(column));
    const int bottom = last.isValid() ? last.bottom() : viewport()->height();
    const QRect rows(0, first.top(), viewport()->width(), bottom - first.top() + 1);
    if (rows.intersects(viewport()->rect())) viewport()->update(rows);
}

}  // namespace app
