#include "app/statistics/DefinitionListModel.h"

#include "app/widgets/Icons.h"

namespace app {

DefinitionListModel::DefinitionListModel(QObject* parent) : QAbstractTableModel(parent) {}

void DefinitionListModel::setRows(std::vector<query::DefinitionRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int DefinitionListModel::rowOf(std::int32_t id) const {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].id == id) return static_cast<int>(row);
    }
    return -1;
}

int DefinitionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int DefinitionListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant DefinitionListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const query::DefinitionRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(index.column() == 0 ? row.title : row.query);
        case Qt::ToolTipRole:
            return QString::fromStdString(row.query.empty() ? row.title : row.query);
        case Qt::DecorationRole:
            return index.column() == 0 ? QVariant(icon(IconId::Statistics)) : QVariant();
        case kIdRole:
            return row.id;
        default:
            return {};
    }
}

QVariant DefinitionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == 0) return tr("Statistics Type");
    if (section == 1) return tr("Query");
    return {};
}

}  // namespace app
