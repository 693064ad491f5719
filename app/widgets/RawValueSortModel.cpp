#include "app/widgets/RawValueSortModel.h"

#include "app/widgets/ItemRoles.h"

namespace app {

RawValueSortModel::RawValueSortModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(role::kRawValue);
    setDynamicSortFilter(true);
}

void RawValueSortModel::setFrozen(bool frozen) {
    if (frozen == frozen_) return;
    frozen_ = frozen;
    setDynamicSortFilter(!frozen);
    if (frozen || !pending_) return;
    const auto [column, order] = *pending_;
    pending_.reset();
    QSortFilterProxyModel::sort(column, order);
}

void RawValueSortModel::sort(int column, Qt::SortOrder order) {
    if (frozen_) {
        pending_ = {column, order};
        return;
    }
    QSortFilterProxyModel::sort(column, order);
}

bool RawValueSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto value = [](const QModelIndex& index) {
        return index.data(role::kRawValue).value<report::SiteSortValue>();
    };
    return report::compareSortValues(value(left), value(right)) < 0;
}

}  // namespace app
