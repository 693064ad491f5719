#include "app/sitetree/SiteTreeSortModel.h"

#include "app/sitetree/SiteTreeModel.h"
#include "report/SiteColumns.h"

namespace app {

SiteTreeSortModel::SiteTreeSortModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(SiteTreeModel::kRawValueRole);
    setDynamicSortFilter(true);
}

bool SiteTreeSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto value = [](const QModelIndex& index) {
        return index.data(SiteTreeModel::kRawValueRole).value<report::SiteSortValue>();
    };
    return report::compareSortValues(value(left), value(right)) < 0;
}

}  // namespace app
