#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

#include "app/widgets/CChoiceListCtrl.h"
#include "query/StatisticsLists.h"

namespace app {

// The definitions list: "New..." first, then every definition with its title and its query;
// each row carries the definition's id (Qt::UserRole, 0 for "New...").
class DefinitionListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kIdRole = CChoiceListCtrl::kIdRole;

    explicit DefinitionListModel(QObject* parent = nullptr);

    void setRows(std::vector<query::DefinitionRow> rows);
    const std::vector<query::DefinitionRow>& rows() const { return rows_; }
    // The row that carries the id; -1 when none does.
    int rowOf(std::int32_t id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<query::DefinitionRow> rows_;
};

}  // namespace app
