#pragma once

#include <QAbstractTableModel>

#include "report/FilterConditionList.h"

namespace app {

// The conditions being edited, one row each in list order: the name with the enabled flag as
// its check box, the colour (a swatch and the colour's name, or "Custom"), and three columns
// that show "n/a". Rows of disabled conditions are grey.
class FilterConditionsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kName = 0, kColor, kConnection, kTime, kDescription, kColumnCount };

    explicit FilterConditionsModel(report::FilterConditionList conditions,
                                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const report::FilterConditionList& conditions() const { return conditions_; }
    const report::FilterCondition& at(int row) const;
    // Appends the condition enabled at the end, renumbered; returns its row.
    int append(report::FilterCondition condition);
    void replace(int row, const report::FilterCondition& condition);
    void remove(int row);
    // Swaps the row with its neighbour (-1 up, +1 down); false at either end.
    bool move(int row, int step);

private:
    report::FilterConditionList conditions_;
};

}  // namespace app
