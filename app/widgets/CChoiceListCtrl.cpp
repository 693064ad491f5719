#include "app/widgets/CChoiceListCtrl.h"

#include <QActionGroup>
#include <QHeaderView>
#include <QListView>
#include <QMenu>
#include <QTreeView>

namespace app {

CChoiceListCtrl::CChoiceListCtrl(QAbstractItemModel* model, QWidget* parent)
    : QStackedWidget(parent), model_(model), list_(new QListView), details_(new QTreeView) {
    model_->setParent(this);
    // One model and one selection for every mode: switching keeps the chosen row.
    list_->setModel(model_);
    details_->setModel(model_);
    list_->setSelectionModel(details_->selectionModel());
    details_->setRootIsDecorated(false);
    details_->setUniformRowHeights(true);
    details_->setItemsExpandable(false);
    details_->setAllColumnsShowFocus(true);
    details_->header()->setStretchLastSection(true);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(list_), static_cast<QAbstractItemView*>(details_)}) {
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QAbstractItemView::customContextMenuRequested, this,
                [this, view](const QPoint& pos) {
                    emit contextMenuWanted(view->viewport()->mapToGlobal(pos));
                });
        connect(view, &QAbstractItemView::activated, this,
                [this](const QModelIndex& index) { emit activated(idAt(index)); });
    }
    connect(details_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!filling_ && current.isValid()) emit chosen(idAt(current));
            });
    addWidget(details_);
    addWidget(list_);
    setMode(Details);
}

std::int32_t CChoiceListCtrl::idAt(const QModelIndex& index) const {
    return index.siblingAtColumn(0).data(kIdRole).toInt();
}

int CChoiceListCtrl::rowOf(std::int32_t id) const {
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->index(row, 0).data(kIdRole).toInt() == id) return row;
    }
    return -1;
}

std::optional<std::int32_t> CChoiceListCtrl::selectedId() const {
    const QModelIndex current = details_->selectionModel()->currentIndex();
    if (!current.isValid() || !details_->selectionModel()->isRowSelected(current.row()))
        return std::nullopt;
    return idAt(current);
}

bool CChoiceListCtrl::select(std::int32_t id) {
    const int row = rowOf(id);
    if (row < 0) return false;
    const bool wasFilling = filling_;
    filling_ = true;
    const QModelIndex index = model_->index(row, 0);
    details_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    shownView()->scrollTo(index);
    filling_ = wasFilling;
    return true;
}

void CChoiceListCtrl::setMode(int mode) {
    mode_ = mode == Icons ? Icons : mode == List ? List : Details;
    if (mode_ == Details) {
        setCurrentWidget(details_);
        return;
    }
    const bool icons = mode_ == Icons;
    list_->setViewMode(icons ? QListView::IconMode : QListView::ListMode);
    list_->setFlow(icons ? QListView::LeftToRight : QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setMovement(QListView::Static);
    list_->setWordWrap(icons);
    list_->setIconSize(icons ? QSize(32, 32) : QSize(16, 16));
    list_->setGridSize(icons ? QSize(96, 64) : QSize());
    setCurrentWidget(list_);
}

QAbstractItemView* CChoiceListCtrl::shownView() const {
    return mode_ == Details ? static_cast<QAbstractItemView*>(details_) : list_;
}

void CChoiceListCtrl::addViewMenu(QMenu& menu, std::function<void(int mode)> chosen) {
    QMenu* view = menu.addMenu(tr("&View"));
    auto* modes = new QActionGroup(view);
    const std::pair<const char*, Mode> entries[] = {
        {"&Icons", Icons}, {"&List", List}, {"Det&ails", Details}};
    for (const auto& [text, mode] : entries) {
        QAction* action = view->addAction(tr(text), this, [this, mode, chosen] {
            setMode(mode);
            if (chosen) chosen(mode);
        });
        action->setCheckable(true);
        action->setChecked(mode_ == mode);
        action->setData(mode);
        modes->addAction(action);
    }
}

}  // namespace app
