#include "app/widgets/PropertyListCtrl.h"

namespace app {

namespace {

constexpr int kMinimumColumnWidth = 40;
constexpr int kPropertyShare = 50;  // percent of the list

}  // namespace

PropertyListCtrl::PropertyListCtrl(std::string section, const QString& title, QWidget* parent)
    : CMyListCtrl(std::move(section), parent) {
    setTitle(title);
    addColumn(0, tr("Property"), kPropertyShare, kMinimumColumnWidth);
    addColumn(1, tr("Value"), 100 - kPropertyShare, kMinimumColumnWidth);
    setSelectionBehavior(QAbstractItemView::SelectRows);
}

void PropertyListCtrl::setModel(QAbstractItemModel* model) {
    if (this->model()) disconnect(this->model(), nullptr, this, nullptr);
    CMyListCtrl::setModel(model);
    if (!model) return;
    connect(model, &QAbstractItemModel::modelReset, this, &PropertyListCtrl::spanGroups);
    connect(model, &QAbstractItemModel::rowsInserted, this, &PropertyListCtrl::spanGroups);
    connect(model, &QAbstractItemModel::layoutChanged, this, &PropertyListCtrl::spanGroups);
    spanGroups();
}

void PropertyListCtrl::spanGroups() {
    const auto* rows = qobject_cast<const PropertyListModel*>(model());
    if (!rows) return;
    for (int row = 0; row < rows->rowCount(); ++row) {
        setFirstColumnSpanned(row, {}, rows->rows()[static_cast<std::size_t>(row)].group);
    }
}

}  // namespace app
