#include "app/statistics/DataListModel.h"

#include "app/widgets/ItemRoles.h"
#include "query/NumericValue.h"

namespace app {

namespace {

template <typename Traits>
const query::NumericValue<Traits>* numeric(const query::QueryValue& value) {
    return dynamic_cast<const query::NumericValue<Traits>*>(&value);
}

// What a cell sorts by: the number its kind stores, or its text; an absent cell sorts first.
report::SiteSortValue rawValue(const query::QueryValue* value) {
    if (!value) return std::monostate{};
    using K = query::ValueKind;
    const auto whole = [](const auto* v) -> report::SiteSortValue {
        if (!v) return std::monostate{};
        return static_cast<std::int64_t>(v->number());
    };
    const auto fraction = [](const auto* v) -> report::SiteSortValue {
        if (!v) return std::monostate{};
        return static_cast<double>(v->number());
    };
    switch (value->kind()) {
        case K::Integer:
            return whole(numeric<query::IntegerTraits>(*value));
        case K::Time:
            return whole(numeric<query::TimeTraits>(*value));
        case K::Size:
            return whole(numeric<query::SizeTraits>(*value));
        case K::Speed:
            return fraction(numeric<query::SpeedTraits>(*value));
        case K::Percent:
            return fraction(numeric<query::PercentTraits>(*value));
        case K::String:
            break;
    }
    return value->toText();
}

}  // namespace

DataListModel::DataListModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataListModel::setResult(query::StatisticsResult result) {
    beginResetModel();
    result_ = std::move(result);
    if (result_.state != query::StatisticsResult::State::Shown) result_ = {};
    endResetModel();
}

void DataListModel::clear() {
    setResult({});
}

int DataListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(result_.rows.size());
}

int DataListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(result_.titles.size());
}

Qt::Alignment DataListModel::alignment(int column) const {
    const auto at = static_cast<std::size_t>(column);
    const bool right =
        at < result_.alignments.size() && result_.alignments[at] == query::ColumnAlignment::Right;
    return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant DataListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: {
            const auto& cells = result_.rows[row];
            return column < cells.size() ? QString::fromStdString(cells[column]) : QString();
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignment(index.column()));
        case role::kRawValue: {
            const query::QueryTable* table = result_.table.get();
            const query::QueryValue* cell =
                table && row < table->rowCount() ? table->row(row).cell(column) : nullptr;
            return QVariant::fromValue(rawValue(cell));
        }
        default:
            return {};
    }
}

QVariant DataListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(result_.titles[static_cast<std::size_t>(section)]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(alignment(section));
    return {};
}

}  // namespace app
