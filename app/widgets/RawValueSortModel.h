#pragma once

#include <QSortFilterProxyModel>

namespace app {

// Sorts a list by each cell's raw value (role::kRawValue) as the core orders it: sizes as bytes,
// times as milliseconds, states and classes by number, texts with ASCII letters folded; never by
// the cell's text.
class RawValueSortModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit RawValueSortModel(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace app
