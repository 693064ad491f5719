#include "app/pagestatus/PageStatusModel.h"

#include "app/widgets/ItemRoles.h"

namespace app {

namespace {

constexpr int kStatusColumn = static_cast<int>(report::PageStatusColumn::Status);

}  // namespace

PageStatusModel::PageStatusModel(QObject* parent) : QAbstractTableModel(parent) {}

int PageStatusModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

int PageStatusModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(report::kPageStatusColumnCount);
}

QVariant PageStatusModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const std::string& text = row_.texts[static_cast<std::size_t>(index.column())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return QString::fromStdString(text);
        case role::kProgress:
            if (index.column() == kStatusColumn && row_.progress) return *row_.progress;
            return {};
        default:
            return {};
    }
}

QVariant PageStatusModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return QString::fromLatin1(
        report::pageStatusHeader(static_cast<report::PageStatusColumn>(section)));
}

void PageStatusModel::setRow(report::PageStatusRow row) {
    int first = -1;
    int last = -1;
    for (int column = 0; column < columnCount(); ++column) {
        const auto at = static_cast<std::size_t>(column);
        const bool changed = row.texts[at] != row_.texts[at] ||
                             (column == kStatusColumn && row.progress != row_.progress);
        if (!changed) continue;
        if (first < 0) first = column;
        last = column;
    }
    row_ = std::move(row);
    if (first >= 0) emit dataChanged(index(0, first), index(0, last));
}

}  // namespace app
