#include "app/settings/FilterConditionsModel.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

#include "app/widgets/QtColor.h"

namespace app {
namespace {

QString colorName(const report::FilterCondition& condition) {
    if (condition.customColor != 0) return FilterConditionsModel::tr("Custom");
    if (condition.colorIndex < 0 ||
        condition.colorIndex >= static_cast<int>(report::kNamedColors.size()))
        return {};
    const auto name = report::kNamedColors[static_cast<std::size_t>(condition.colorIndex)].name;
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

}  // namespace

FilterConditionsModel::FilterConditionsModel(report::FilterConditionList conditions,
                                             QObject* parent)
    : QAbstractTableModel(parent), conditions_(std::move(conditions)) {}

int FilterConditionsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(conditions_.conditions().size());
}

int FilterConditionsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

const report::FilterCondition& FilterConditionsModel::at(int row) const {
    return conditions_.conditions().at(static_cast<std::size_t>(row));
}

QVariant FilterConditionsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const report::FilterCondition& condition = at(index.row());
    if (role == Qt::ForegroundRole && !condition.enabled)
        return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    switch (index.column()) {
        case kName:
            if (role == Qt::DisplayRole) return QString::fromStdString(condition.name);
            if (role == Qt::CheckStateRole) return condition.enabled ? Qt::Checked : Qt::Unchecked;
            break;
        case kColor:
            if (role == Qt::DisplayRole) return colorName(condition);
            if (role == Qt::DecorationRole) return qtColor(report::colorOf(condition));
            break;
        default:
            if (role == Qt::DisplayRole) return tr("n/a");
            break;
    }
    return {};
}

bool FilterConditionsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != kName || role != Qt::CheckStateRole) return false;
    auto& condition = conditions_.conditions().at(static_cast<std::size_t>(index.row()));
    condition.enabled = value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kColumnCount - 1));
    return true;
}

Qt::ItemFlags FilterConditionsModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == kName) result |= Qt::ItemIsUserCheckable;
    return result;
}

QVariant FilterConditionsModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case kName:
            return tr("Condition Name (shown in applied order)");
        case kColor:
            return tr("Color");
        case kConnection:
            return tr("Connection");
        case kTime:
            return tr("Time");
        case kDescription:
            return tr("Description");
        default:
            return {};
    }
}

int FilterConditionsModel::append(report::FilterCondition condition) {
    const int row = rowCount();
    beginInsertRows({}, row, row);
    conditions_.add(std::move(condition));
    endInsertRows();
    return row;
}

void FilterConditionsModel::replace(int row, const report::FilterCondition& condition) {
    conditions_.conditions().at(static_cast<std::size_t>(row)) = condition;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void FilterConditionsModel::remove(int row) {
    beginRemoveRows({}, row, row);
    auto& list = conditions_.conditions();
    list.erase(list.begin() + row);
    endRemoveRows();
}

bool FilterConditionsModel::move(int row, int step) {
    const int target = row + step;
    if ((step != 1 && step != -1) || row < 0 || target < 0 || target >= rowCount()) return false;
    const int first = std::min(row, target);
    beginMoveRows({}, first + 1, first + 1, {}, first);
    auto& list = conditions_.conditions();
    std::swap(list[static_cast<std::size_t>(first)], list[static_cast<std::size_t>(first + 1)]);
    endMoveRows();
    return true;
}

}  // namespace app
