#include "app/settings/CSettingsPageCustomize.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/Captions.h"
#include "app/widgets/MessageBoxes.h"

namespace app {
namespace {

constexpr int kNumberRole = Qt::UserRole;

void addColumnItem(QListWidget* list, const CMyListCtrl::Column& column) {
    auto* item = new QListWidgetItem(column.name);
    item->setData(kNumberRole, column.number);
    list->addItem(item);
}

std::vector<int> numbersOf(const QListWidget* list) {
    std::vector<int> numbers;
    for (int row = 0; row < list->count(); ++row)
        numbers.push_back(list->item(row)->data(kNumberRole).toInt());
    return numbers;
}

}  // namespace

CSettingsPageCustomize::CSettingsPageCustomize(std::vector<CMyListCtrl*> lists, QWidget* parent)
    : CSettingsPage(tr("Customize"), parent),
      lists_(std::move(lists)),
      listBox_(new QComboBox),
      visible_(new QListWidget),
      hidden_(new QListWidget),
      show_(new QPushButton(tr("<< &Show"))),
      hide_(new QPushButton(tr("Hi&de >>"))),
      up_(new QPushButton(tr("&Up"))),
      down_(new QPushButton(tr("D&own"))),
      resetButton_(new QPushButton(tr("&Reset"))),
      resetAll_(new QPushButton(tr("Reset &All..."))) {
    for (const CMyListCtrl* list : lists_) {
        listBox_->addItem(list->title());
        chosen_.push_back(list->displayOrder());
        reset_.push_back(false);
    }
    visible_->setDragDropMode(QAbstractItemView::InternalMove);
    visible_->setSelectionMode(QAbstractItemView::SingleSelection);
    hidden_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton* button : {show_, hide_, up_, down_, resetButton_}) middle->addWidget(button);
    middle->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(captionFor(tr("&Visible Columns:"), visible_), 0, 0);
    grid->addWidget(captionFor(tr("&Hidden Columns:"), hidden_), 0, 2);
    grid->addWidget(visible_, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(hidden_, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(captionFor(tr("&Manage list columns:"), listBox_));
    layout->addWidget(listBox_);
    layout->addLayout(grid);
    layout->addWidget(resetAll_, 0, Qt::AlignRight);

    connect(listBox_, &QComboBox::currentIndexChanged, this, [this] {
        keepShown();
        fill();
    });
    connect(show_, &QPushButton::clicked, this, &CSettingsPageCustomize::showSelected);
    connect(hide_, &QPushButton::clicked, this, &CSettingsPageCustomize::hideSelected);
    connect(up_, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(resetButton_, &QPushButton::clicked, this, &CSettingsPageCustomize::resetList);
    connect(resetAll_, &QPushButton::clicked, this, &CSettingsPageCustomize::resetAllLists);
    connect(visible_, &QListWidget::itemSelectionChanged, this, [this] { updateEnabled(); });
    connect(hidden_, &QListWidget::itemSelectionChanged, this, [this] { updateEnabled(); });
    connect(visible_->model(), &QAbstractItemModel::rowsMoved, this, [this] { updateEnabled(); });
    fill();
}

int CSettingsPageCustomize::selectedList() const {
    return listBox_->currentIndex();
}

void CSettingsPageCustomize::selectList(const CMyListCtrl* list) {
    const auto found = std::find(lists_.begin(), lists_.end(), list);
    if (found != lists_.end()) listBox_->setCurrentIndex(int(found - lists_.begin()));
}

std::vector<int> CSettingsPageCustomize::visibleColumns() const {
    return numbersOf(visible_);
}
std::vector<int> CSettingsPageCustomize::hiddenColumns() const {
    return numbersOf(hidden_);
}

void CSettingsPageCustomize::keepShown() {
    // The visible list may have been reordered by dragging; its rows are the truth.
    if (shown_ >= 0) chosen_[static_cast<std::size_t>(shown_)] = numbersOf(visible_);
}

void CSettingsPageCustomize::fill() {
    visible_->clear();
    hidden_->clear();
    shown_ = listBox_->currentIndex();
    if (shown_ >= 0) {
        const CMyListCtrl& list = *lists_[static_cast<std::size_t>(shown_)];
        const std::vector<int>& chosen = chosen_[static_cast<std::size_t>(shown_)];
        for (const int number : chosen)
            if (const auto* column = list.column(number)) addColumnItem(visible_, *column);
        for (const auto& column : list.columns())
            if (std::find(chosen.begin(), chosen.end(), column.number) == chosen.end())
                addColumnItem(hidden_, column);
    }
    updateEnabled();
}

void CSettingsPageCustomize::updateEnabled() {
    const int row = visible_->currentRow();
    const bool selected = row >= 0 && visible_->currentItem()->isSelected();
    show_->setEnabled(!hidden_->selectedItems().isEmpty());
    hide_->setEnabled(selected);
    up_->setEnabled(selected && row > 0);
    down_->setEnabled(selected && row < visible_->count() - 1);
    resetButton_->setEnabled(shown_ >= 0);
    resetAll_->setEnabled(!lists_.empty());
}

void CSettingsPageCustomize::showSelected() {
    const QList<QListWidgetItem*> selected = hidden_->selectedItems();
    for (int row = 0; row < hidden_->count();) {
        QListWidgetItem* item = hidden_->item(row);
        if (!selected.contains(item)) {
            ++row;
            continue;
        }
        visible_->addItem(hidden_->takeItem(row));
    }
    updateEnabled();
}

void CSettingsPageCustomize::hideSelected() {
    const int row = visible_->currentRow();
    if (row < 0) return;
    QListWidgetItem* item = visible_->takeItem(row);
    // Hidden columns keep definition order, so that a column is found where it was defined.
    const CMyListCtrl& list = *lists_[static_cast<std::size_t>(shown_)];
    const int number = item->data(kNumberRole).toInt();
    int place = 0;
    for (const auto& column : list.columns()) {
        if (column.number == number) break;
        if (place < hidden_->count() &&
            hidden_->item(place)->data(kNumberRole).toInt() == column.number)
            ++place;
    }
    hidden_->insertItem(place, item);
    visible_->clearSelection();
    updateEnabled();
}

void CSettingsPageCustomize::moveSelected(int step) {
    const int row = visible_->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= visible_->count()) return;
    QListWidgetItem* item = visible_->takeItem(row);
    visible_->insertItem(target, item);
    visible_->setCurrentRow(target);
    updateEnabled();
}

std::vector<int> CSettingsPageCustomize::defaultVisible(const CMyListCtrl& list) const {
    std::vector<int> numbers;
    for (const auto& column : list.defaultColumns())
        if (column.visible) numbers.push_back(column.number);
    return numbers;
}

void CSettingsPageCustomize::resetList() {
    if (shown_ < 0) return;
    chosen_[static_cast<std::size_t>(shown_)] =
        defaultVisible(*lists_[static_cast<std::size_t>(shown_)]);
    reset_[static_cast<std::size_t>(shown_)] = true;
    fill();
}

void CSettingsPageCustomize::resetAllLists() {
    if (MessageBoxes::question(this, tr("Reset all columns for all lists?"), tr("Settings")) !=
        QMessageBox::Yes)
        return;
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        chosen_[i] = defaultVisible(*lists_[i]);
        reset_[i] = true;
    }
    fill();
}

void CSettingsPageCustomize::apply() {
    keepShown();
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        if (reset_[i]) lists_[i]->restoreDefaults();
        lists_[i]->applyVisibleOrder(chosen_[i]);
    }
}

}  // namespace app
