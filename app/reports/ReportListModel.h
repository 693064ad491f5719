#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

#include "app/widgets/CChoiceListCtrl.h"
#include "report/ReportLists.h"

namespace app {

// The report list: "Name" and "Description" of each row, the report icon, and the report's id
// at kIdRole (0 for "New...").
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kIdRole = CChoiceListCtrl::kIdRole;

    explicit ReportListModel(QObject* parent = nullptr);

    void setRows(std::vector<report::ReportRow> rows);
    const std::vector<report::ReportRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<report::ReportRow> rows_;
};

}  // namespace app
