#include "app/widgets/PropertyListModel.h"

#include <QColor>
#include <QFont>

#include "app/widgets/QtColor.h"

namespace app {

PropertyListModel::PropertyListModel(QObject* parent) : QAbstractTableModel(parent) {}

int PropertyListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PropertyListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant PropertyListModel::data(const QModelIndex& index, int role) const {
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

QVariant PropertyListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section == 0 ? tr("Property") : tr("Value");
}

void PropertyListModel::setRows(std::vector<report::InformationRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

PagePropertiesModel::PagePropertiesModel(const report::FilterConditionList& conditions,
                                         report::InformationForm form, QObject* parent)
    : PropertyListModel(parent), conditions_(conditions), form_(form) {}

void PagePropertiesModel::show(std::shared_ptr<engine::PageEntry> page, int connection) {
    page_ = std::move(page);
    connection_ = connection;
    refresh();
}

void PagePropertiesModel::refresh() {
    setRows(page_ ? report::pageInformation(*page_, connection_, form_, &conditions_)
                  : std::vector<report::InformationRow>{});
}

ElementPropertiesModel::ElementPropertiesModel(report::ElementRowsTitle title, QObject* parent)
    : PropertyListModel(parent), title_(title) {}

void ElementPropertiesModel::show(std::shared_ptr<engine::PageEntry> page,
                                  std::shared_ptr<engine::WebItem> item, int connection) {
    page_ = std::move(page);
    item_ = std::move(item);
    connection_ = connection;
    refresh();
}

void ElementPropertiesModel::refresh() {
    setRows(page_ && item_ ? report::elementInformation(*page_, *item_, connection_, title_)
                           : std::vector<report::InformationRow>{});
}

}  // namespace app
