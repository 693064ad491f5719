#include "app/widgets/RawValueSortModel.h"

#include "app/widgets/ItemRoles.h"

namespace app {

RawValueSortModel::RawValueSortModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(role::kRawValue);
    setDynamicSortFilter(true);
}

bool RawValueSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto value = [](const QModelIndex& index) {
        return index.data(role::kRawValue).value<report::SiteSortValue>();
    };
    return report::compareSortValues(value(left), value(right)) < 0;
}

}  // namespace app
