#include "app/analysis/CElementListCtrl.h"

#include <QHeaderView>

#include "app/analysis/ElementListModel.h"
#include "app/widgets/RawValueSortModel.h"
#include "persist/SettingsMap.h"
#include "report/ElementColumns.h"

namespace app {

namespace {

// Width share (percent) and whether the column shows before the user chooses: the name, what
// it is, how it ended, and the three figures that say why a page is slow.
struct DefaultColumn {
    std::uint32_t id;
    int width;
    bool visible;
};
constexpr DefaultColumn kDefaults[] = {
    {report::kElementName, 34, true},         {report::kElementHost, 20, false},
    {report::kElementProtocol, 10, false},    {report::kElementType, 16, true},
    {report::kElementStatus, 14, true},       {report::kElementSize, 12, true},
    {report::kElementTime, 12, true},         {report::kElementSpeed, 12, false},
    {report::kElementConnectTime, 12, false}, {report::kElementSendTime, 12, false},
    {report::kElementReceiveTime, 12, false}, {report::kElementWaitTime, 12, false},
    {report::kElementPercentTime, 10, true},
};
constexpr int kMinimumPixels = 40;

}  // namespace

CElementListCtrl::CElementListCtrl(QWidget* parent)
    : CElementListCtrl(std::string(persist::section::kSourceList), parent) {}

CElementListCtrl::CElementListCtrl(std::string section, QWidget* parent)
    : CMyListCtrl(std::move(section), parent),
      model_(new ElementListModel(this)),
      sorted_(new RawValueSortModel(this)) {
    sorted_->setSourceModel(model_);
    setModel(sorted_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    defineColumns();
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit currentItemChanged(currentItem()); });
}

void CElementListCtrl::defineColumns() {
    for (const DefaultColumn& column : kDefaults) {
        addColumn(ElementListModel::columnOf(column.id),
                  QString::fromStdString(report::elementColumnHeader(column.id)), column.width,
                  kMinimumPixels, column.visible);
    }
    rebuildColumns();
}

void CElementListCtrl::showPage(std::shared_ptr<engine::PageEntry> page, int connection) {
    model_->setConnection(connection);
    if (page == model_->page()) {
        model_->refresh();
        return;
    }
    model_->setPage(std::move(page));
    if (model_->rowCount() > 0) setCurrentIndex(sorted_->index(0, 0));
}

void CElementListCtrl::setConnection(int connection) {
    model_->setConnection(connection);
}

void CElementListCtrl::setLive(bool live) {
    model_->setLive(live);
    sorted_->setFrozen(live);
}

void CElementListCtrl::refresh() {
    model_->refresh();
}

std::shared_ptr<engine::WebItem> CElementListCtrl::currentItem() const {
    const engine::ItemFigures* row = model_->figures(sorted_->mapToSource(currentIndex()).row());
    return row ? row->item : nullptr;
}

bool CElementListCtrl::selectItem(const engine::WebItem* item) {
    const int row = model_->rowOf(item);
    if (row < 0) return false;
    const QModelIndex index = sorted_->mapFromSource(model_->index(row, 0));
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
    return true;
}

}  // namespace app
