#include "app/sitetree/PageDetailsModel.h"

#include <QColor>
#include <QFont>

#include "app/shell/QtColor.h"

namespace app {

PageDetailsModel::PageDetailsModel(const report::FilterConditionList& conditions, QObject* parent)
    : QAbstractTableModel(parent), conditions_(conditions) {}

int PageDetailsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PageDetailsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant PageDetailsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= rows_.size()) return {};
    const report::InformationRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(index.column() == 0 ? row.property : row.value);
        case Qt::FontRole:
            if (!row.group) return {};
            {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
        case Qt::BackgroundRole:
            if (!row.color) return {};
            return qtColor(*row.color);
        default:
            return {};
    }
}

QVariant PageDetailsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? tr("Property") : tr("Value");
}

void PageDetailsModel::show(std::shared_ptr<engine::PageEntry> page, int connection) {
    page_ = std::move(page);
    connection_ = connection;
    refresh();
}

void PageDetailsModel::refresh() {
    beginResetModel();
    rows_ = page_ ? report::pageInformation(*page_, connection_,
                                            report::InformationForm::SingleConnection, &conditions_)
                  : std::vector<report::InformationRow>{};
    endResetModel();
}

}  // namespace app
