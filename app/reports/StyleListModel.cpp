#include "app/reports/StyleListModel.h"

#include "report/ReportManager.h"

namespace app {

StyleListModel::StyleListModel(const report::ReportManager& reports, QObject* parent)
    : QAbstractListModel(parent), reports_(reports), rows_(reports.listStyles()) {}

void StyleListModel::reload() {
    beginResetModel();
    rows_ = reports_.listStyles();
    endResetModel();
}

int StyleListModel::rowOf(std::int32_t id) const {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].first == id) return static_cast<int>(row);
    }
    return -1;
}

int StyleListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant StyleListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto& [id, name] = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(name);
        case kIdRole:
            return id;
        default:
            return {};
    }
}

}  // namespace app
