#include "app/reports/ReportContentModel.h"

#include <QFont>

#include <string>
#include <utility>

#include "report/Report.h"
#include "report/ReportManager.h"

namespace app {
namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

ReportContentModel::ReportContentModel(const report::ReportManager& reports, QObject* parent)
    : QAbstractTableModel(parent), reports_(reports) {}

void ReportContentModel::setReport(report::Report* report) {
    beginResetModel();
    report_ = report;
    endResetModel();
}

report::ReportItem* ReportContentModel::itemAt(int row) const {
    if (!report_ || row < kFirstItemRow || row >= rowCount()) return nullptr;
    return &report_->item(std::size_t(row - kFirstItemRow));
}

int ReportContentModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !report_) return 0;
    return kFirstItemRow + int(report_->items().size());
}

int ReportContentModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ReportContentModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const int row = index.row();
    if (role == Qt::DisplayRole) return display(row, index.column());
    if (role == Qt::EditRole && index.column() == kValueColumn) {
        if (row == kNameRow) return text(report_->name());
        if (row == kStyleRow) return report_->styleId();
    }
    if (role == Qt::FontRole && isHeading(row)) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    return {};
}

QVariant ReportContentModel::display(int row, int column) const {
    if (column == kFieldColumn) {
        switch (row) {
            case kGeneralRow:
                return tr("General:");
            case kNameRow:
                return tr("Name");
            case kStyleRow:
                return tr("Style");
            case kItemsRow:
                return tr("Report Items:");
            default:
                return text(itemAt(row)->kindName());
        }
    }
    if (row == kNameRow) return text(report_->name());
    if (row == kStyleRow) return text(reports_.styleName(report_->styleId()));
    if (isHeading(row)) return QString();
    return text(itemAt(row)->displayText());
}

bool ReportContentModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    if (index.row() == kNameRow)
        report_->setName(value.toString().toStdString());
    else
        report_->setStyleId(value.toInt());
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags ReportContentModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool inPlace = index.row() == kNameRow || index.row() == kStyleRow;
    if (inPlace && index.column() == kValueColumn) flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant ReportContentModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == kFieldColumn) return tr("Field");
    if (section == kValueColumn) return tr("Value");
    return {};
}

int ReportContentModel::appendItem(std::unique_ptr<report::ReportItem> item) {
    if (!item) return -1;
    const int row = rowCount();
    beginInsertRows({}, row, row);
    report_->append(std::move(item));
    endInsertRows();
    return row;
}

void ReportContentModel::removeItem(int row) {
    if (!itemAt(row)) return;
    beginRemoveRows({}, row, row);
    report_->remove(std::size_t(row - kFirstItemRow));
    endRemoveRows();
}

void ReportContentModel::swapItems(int a, int b) {
    if (!itemAt(a) || !itemAt(b)) return;
    report_->swapItems(std::size_t(a - kFirstItemRow), std::size_t(b - kFirstItemRow));
    rowChanged(a);
    rowChanged(b);
}

void ReportContentModel::itemChanged(int row) {
    if (itemAt(row)) rowChanged(row);
}

void ReportContentModel::stylesChanged() {
    if (report_) rowChanged(kStyleRow);
}

void ReportContentModel::rowChanged(int row) {
    emit dataChanged(index(row, kFieldColumn), index(row, kValueColumn));
}

}  // namespace app
