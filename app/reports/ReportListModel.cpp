#include "app/reports/ReportListModel.h"

#include <QIcon>
#include <QStyle>

#include "app/widgets/Icons.h"

namespace app {

ReportListModel::ReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportListModel::setRows(std::vector<report::ReportRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const report::ReportRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(index.column() == 0 ? row.name : row.description);
        case Qt::ToolTipRole:
            return QString::fromStdString(row.description);
        case Qt::DecorationRole:
            if (index.column() != 0) return {};
            return row.id == 0
                       ? QIcon::fromTheme(QStringLiteral("document-new"), icon(IconId::Reports))
                       : icon(IconId::Reports);
        case kIdRole:
            return row.id;
        default:
            return {};
    }
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == 0) return tr("Name");
    if (section == 1) return tr("Description");
    return {};
}

}  // namespace app
