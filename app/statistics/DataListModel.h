#pragma once

#include <QAbstractTableModel>

#include "query/StatisticsView.h"

namespace app {

// The rows of a statistics result: display texts as the core formats them, each column aligned
// as its first cell says, and every cell's raw value (role::kRawValue) taken from the result
// table, so a click on a header orders sizes as bytes and times as milliseconds.
class DataListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit DataListModel(QObject* parent = nullptr);

    // Replaces every row and column; a result that is not Shown empties the list.
    void setResult(query::StatisticsResult result);
    void clear();
    const query::StatisticsResult& result() const { return result_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Qt::Alignment alignment(int column) const;

    query::StatisticsResult result_;
};

}  // namespace app
