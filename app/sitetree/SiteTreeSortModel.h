#pragma once

#include <QSortFilterProxyModel>

namespace app {

// Sorts the site tree by each cell's raw value as the core orders it (sizes as bytes, times as
// milliseconds, states and classes by number, texts with ASCII letters folded), never by the
// cell's text.
class SiteTreeSortModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit SiteTreeSortModel(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace app
