#include "app/widgets/ElementListModel.h"

#include <QColor>

#include <algorithm>

#include "app/widgets/ItemRoles.h"
#include "engine/schedule/PageEntry.h"
#include "report/ElementColumns.h"

namespace app {
namespace {

constexpr int kColumnCount = static_cast<int>(report::kElementColumnCount);

Qt::Alignment alignmentOf(std::uint32_t id) {
    return (report::isNumericElementColumn(id) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

bool sameItems(const std::vector<engine::ItemFigures>& shown,
               const std::vector<engine::ItemFigures>& next) {
    return next.size() >= shown.size() &&
           std::equal(shown.begin(), shown.end(), next.begin(),
                      [](const auto& a, const auto& b) { return a.item == b.item; });
}

}  // namespace

ElementListModel::ElementListModel(QObject* parent) : QAbstractTableModel(parent) {}

int ElementListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ElementListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

std::uint32_t ElementListModel::columnId(int column) {
    return column >= 0 && column < kColumnCount
               ? report::elementColumns()[static_cast<std::size_t>(column)]
               : 0;
}

int ElementListModel::columnOf(std::uint32_t id) {
    const auto& ids = report::elementColumns();
    const auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

QVariant ElementListModel::data(const QModelIndex& index, int role) const {
    const engine::ItemFigures* row = index.isValid() ? figures(index.row()) : nullptr;
    if (!row) return {};
    const std::uint32_t id = columnId(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(report::elementCell(*row, id, live_).text);
        case role::kRawValue:
            return QVariant::fromValue(report::elementCell(*row, id, live_).sortValue);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignmentOf(id));
        case Qt::ForegroundRole:
            if (row->item->phase() != engine::LoadPhase::Error) return {};
            return QColor(Qt::red).darker(130);
        default:
            return {};
    }
}

QVariant ElementListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(report::elementColumnHeader(columnId(section)));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignmentOf(columnId(section)));
    return {};
}

void ElementListModel::setPage(std::shared_ptr<engine::PageEntry> page) {
    beginResetModel();
    page_ = std::move(page);
    rows_ = currentFigures();
    endResetModel();
}

void ElementListModel::setConnection(int index) {
    if (index == connection_) return;
    connection_ = index;
    refresh();
}

void ElementListModel::setLive(bool live) {
    if (live == live_) return;
    live_ = live;
    refresh();
}

void ElementListModel::refresh() {
    std::vector<engine::ItemFigures> next = currentFigures();
    if (!sameItems(rows_, next)) {
        beginResetModel();
        rows_ = std::move(next);
        endResetModel();
        return;
    }
    const int shown = static_cast<int>(rows_.size());
    const int count = static_cast<int>(next.size());
    if (count > shown) {
        beginInsertRows({}, shown, count - 1);
        rows_ = std::move(next);
        endInsertRows();
    } else {
        rows_ = std::move(next);
    }
    if (shown > 0) {
        emit dataChanged(index(0, 0), index(shown - 1, kColumnCount - 1),
                         {Qt::DisplayRole, role::kRawValue});
    }
}

const engine::ItemFigures* ElementListModel::figures(int row) const {
    return row >= 0 && row < rowCount() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
}

int ElementListModel::rowOf(const engine::WebItem* item) const {
    const auto it = std::find_if(rows_.begin(), rows_.end(),
                                 [item](const auto& row) { return row.item.get() == item; });
    return it == rows_.end() || !item ? -1 : static_cast<int>(it - rows_.begin());
}

std::vector<engine::ItemFigures> ElementListModel::currentFigures() const {
    if (!page_) return {};
    std::vector<engine::ItemFigures> items = page_->figures(connection_).items;
    std::erase_if(items, [](const engine::ItemFigures& row) { return !row.item; });
    return items;
}

}  // namespace app
