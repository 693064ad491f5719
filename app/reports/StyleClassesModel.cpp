#include "app/reports/StyleClassesModel.h"

#include <QApplication>
#include <QPalette>

#include "report/ReportManager.h"

namespace app {

StyleClassesModel::StyleClassesModel(report::ReportManager& reports, QObject* parent)
    : QAbstractTableModel(parent), reports_(reports) {}

void StyleClassesModel::show(std::optional<std::int32_t> styleId) {
    beginResetModel();
    styleId_ = styleId;
    classNames_.clear();
    if (styleId_) {
        for (const auto& [name, text] : style().classes()) classNames_.push_back(name);
    }
    endResetModel();
}

const report::ReportStyle& StyleClassesModel::style() const {
    return reports_.findStyle(styleId_.value_or(0));
}

bool StyleClassesModel::readOnly() const {
    return !styleId_ || reports_.styles().count(*styleId_) == 0;
}

int StyleClassesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(classNames_.size());
}

int StyleClassesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant StyleClassesModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const std::string& name = classNames_[static_cast<std::size_t>(index.row())];
    const bool value = index.column() == ValueColumn;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(value ? style().declarations(name).value_or("") : name);
        case Qt::ForegroundRole:
            if (!value || !readOnly()) return {};
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        default:
            return {};
    }
}

QVariant StyleClassesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == FieldColumn) return tr("Field");
    if (section == ValueColumn) return tr("Value");
    return {};
}

Qt::ItemFlags StyleClassesModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == ValueColumn && !readOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool StyleClassesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const std::string& name = classNames_[static_cast<std::size_t>(index.row())];
    if (!reports_.setStyleClass(*styleId_, name, value.toString().toStdString())) return false;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
    return true;
}

}  // namespace app
