#include "app/statistics/CDataListCtrl.h"

#include <QHeaderView>

#include "app/statistics/DataListModel.h"
#include "app/widgets/RawValueSortModel.h"

namespace app {

CDataListCtrl::CDataListCtrl(QWidget* parent)
    : QTreeView(parent), model_(new DataListModel(this)), sorted_(new RawValueSortModel(this)) {
    sorted_->setSourceModel(model_);
    setModel(sorted_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(true);
    // Until the user clicks a header the rows keep the query's own order.
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
}

void CDataListCtrl::showResult(query::StatisticsResult result) {
    sorted_->sort(-1);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    model_->setResult(std::move(result));
    const QFontMetrics metrics = fontMetrics();
    const std::vector<int> widths =
        query::columnWidths(model_->result(), [&metrics](std::string_view text) {
            return metrics.horizontalAdvance(
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        });
    for (std::size_t column = 0; column < widths.size(); ++column)
        header()->resizeSection(static_cast<int>(column), widths[column]);
}

void CDataListCtrl::clear() {
    showResult({});
}

}  // namespace app
