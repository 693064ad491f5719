#include "app/widgets/CElementListCtrl.h"

#include <QHeaderView>

#include "app/widgets/ElementListModel.h"
#include "app/widgets/RawValueSortModel.h"
#include "persist/SettingsMap.h"
#include "report/ElementColumns.h"

namespace app {

namespace {

// Width share (percent) and whether the column shows before the user chooses: the pane opens
// narrow beside the source, so the name and the two figures that say why a page is slow; a
// failed element stands out by its colour, and the rest is a right click on the header away.
struct DefaultColumn {
    std::uint32_t id;
    int width;
    bool visible;
};
constexpr DefaultColumn kDefaults[] = {
    {report::kElementName, 36, true},         {report::kElementHost, 20, false},
    {report::kElementProtocol, 10, false},    {report::kElementType, 20, false},
    {report::kElementStatus, 16, false},      {report::kElementSize, 33, true},
    {report::kElementTime, 31, true},         {report::kElementSpeed, 16, false},
    {report::kElementConnectTime, 16, false}, {report::kElementSendTime, 16, false},
    {report::kElementReceiveTime, 16, false}, {report::kElementWaitTime, 16, false},
    {report::kElementPercentTime, 14, false},
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
    // A cut name keeps its end: the file name says more than the folders before it.
    setTextElideMode(Qt::ElideLeft);
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
        refresh();
        return;
    }
    model_->setPage(std::move(page));
    selectFirstWhenNone();
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
    selectFirstWhenNone();
}

void CElementListCtrl::selectFirstWhenNone() {
    // A page's first items arrive while it loads: the document is chosen as soon as it is there.
    if (!currentIndex().isValid() && model_->rowCount() > 0) setCurrentIndex(sorted_->index(0, 0));
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
