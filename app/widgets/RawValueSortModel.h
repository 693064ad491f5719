#pragma once

#include <QSortFilterProxyModel>

#include <optional>
#include <utility>

namespace app {

// Sorts a list by each cell's raw value (role::kRawValue) as the core orders it: sizes as bytes,
// times as milliseconds, states and classes by number, texts with ASCII letters folded; never by
// the cell's text.
class RawValueSortModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit RawValueSortModel(QObject* parent = nullptr);

    // While frozen (a download runs) no row moves: changed values and a sort asked for keep the
    // order as it is; the last sort asked for is applied when it thaws.
    bool frozen() const { return frozen_; }
    void setFrozen(bool frozen);
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool frozen_ = false;
    std::optional<std::pair<int, Qt::SortOrder>> pending_;
};

}  // namespace app
