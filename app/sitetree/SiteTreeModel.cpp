#include "app/sitetree/SiteTreeModel.h"

#include <QFont>
#include <QTimer>

#include "app/widgets/ItemRoles.h"
#include "app/widgets/PageStateIcon.h"
#include "app/widgets/QtColor.h"
#include "engine/crawl/CrawlController.h"
#include "engine/schedule/PageState.h"
#include "report/FilterCondition.h"
#include "report/PageInformation.h"
#include "report/SiteColumns.h"

namespace app {

SiteTreeModel::SiteTreeModel(engine::SiteTree& tree, const report::FilterConditionList& conditions,
                             QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), conditions_(conditions), refresh_(new QTimer(this)) {
    refresh_->setSingleShot(true);
    refresh_->setInterval(kRefreshMs);
    connect(refresh_, &QTimer::timeout, this, &SiteTreeModel::flush);
    // Rows exist for the pages the tree holds already (another window's).
    std::vector<const Node*> pending;
    for (const auto& root : tree_.roots()) pending.push_back(root.get());
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        const auto& siblings = childrenOf(node->parent);
        for (std::size_t i = 0; i < siblings.size(); ++i) {
            if (siblings[i].get() == node) rows_[node] = static_cast<int>(i);
        }
        for (const auto& child : node->children) pending.push_back(child.get());
    }
    tree_.addObserver(this);
}

SiteTreeModel::~SiteTreeModel() {
    tree_.removeObserver(this);
}

std::uint32_t SiteTreeModel::columnId(int column) {
    const auto& columns = report::siteColumns();
    return column >= 0 && static_cast<std::size_t>(column) < columns.size()
               ? columns[static_cast<std::size_t>(column)]
               : 0;
}

const std::vector<std::unique_ptr<engine::SiteNode>>& SiteTreeModel::childrenOf(
    const Node* parent) const {
    return parent ? parent->children : tree_.roots();
}

engine::SiteNode* SiteTreeModel::node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex SiteTreeModel::indexOf(const Node* target, int column) const {
    if (!target) return {};
    const auto it = rows_.find(target);
    if (it == rows_.end()) return {};
    return createIndex(it->second, column, const_cast<Node*>(target));
}

QModelIndex SiteTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= columnCount()) return {};
    if (parent.isValid() && parent.column() != 0) return {};
    const auto& children = childrenOf(node(parent));
    if (static_cast<std::size_t>(row) >= children.size()) return {};
    return createIndex(row, column, children[static_cast<std::size_t>(row)].get());
}

QModelIndex SiteTreeModel::parent(const QModelIndex& child) const {
    const Node* item = node(child);
    return item ? indexOf(item->parent) : QModelIndex();
}

int SiteTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return static_cast<int>(childrenOf(node(parent)).size());
}

int SiteTreeModel::columnCount(const QModelIndex&) const {
    return static_cast<int>(report::kSiteColumnCount);
}

QVariant SiteTreeModel::data(const QModelIndex& index, int role) const {
    const Node* item = node(index);
    if (!item) return {};
    engine::PageEntry& page = *item->page;
    const std::uint32_t column = columnId(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(cell(page, index.column()).text);
        case role::kRawValue:
            return QVariant::fromValue(cell(page, index.column()).sortValue);
        case Qt::ToolTipRole:
            return column == report::kColumnUrl ? QString::fromStdString(page.address().urlText)
                                                : QVariant();
        case Qt::CheckStateRole:
            if (index.column() != 0) return {};
            return item->checked() ? Qt::Checked : Qt::Unchecked;
        case Qt::DecorationRole:
            return index.column() == 0 ? pageStateIcon(page.state()) : QVariant();
        case Qt::BackgroundRole: {
            const auto color = colorOf(page);
            return color ? QVariant(*color) : QVariant();
        }
        case Qt::FontRole:
            if (&page != current_) return {};
            {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
        default:
            return {};
    }
}

bool SiteTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    Node* item = node(index);
    if (!item || role != Qt::CheckStateRole || index.column() != 0) return false;
    item->setChecked(value.toInt() == Qt::Checked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags SiteTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant SiteTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return QString::fromStdString(report::columnHeader(columnId(section)));
}

const report::SiteCell& SiteTreeModel::cell(engine::PageEntry& page, int column) const {
    std::optional<report::SiteCell>& kept = cells_[&page][static_cast<std::size_t>(column)];
    if (!kept) kept = report::siteCell(page, columnId(column), connection_);
    return *kept;
}

void SiteTreeModel::forget(const engine::PageEntry* page) {
    cells_.erase(page);
    colors_.erase(page);
}

std::optional<QColor> SiteTreeModel::colorOf(engine::PageEntry& page) const {
    const auto cached = colors_.find(&page);
    if (cached != colors_.end()) return cached->second;
    std::optional<QColor> color;
    const auto matched = report::matchingConditions(conditions_, page);
    if (!matched.empty()) color = qtColor(report::colorOf(matched.front()));
    colors_[&page] = color;
    return color;
}

void SiteTreeModel::setConnection(int index) {
    if (index == connection_) return;
    connection_ = index;
    cells_.clear();
    refreshAll({});
}

void SiteTreeModel::setCurrentPage(const engine::PageEntry* page) {
    const engine::PageEntry* previous = current_;
    current_ = page;
    for (const engine::PageEntry* changed : {previous, page}) {
        if (changed) refreshRow(tree_.find(changed));
    }
}

void SiteTreeModel::pageChanged(const engine::PageEntry* page) {
    if (!page) return;
    changed_.insert(page);
    if (!refresh_->isActive()) refresh_->start();
}

void SiteTreeModel::conditionsChanged() {
    colors_.clear();
    refreshAll({});
}

void SiteTreeModel::flush() {
    std::unordered_set<const engine::PageEntry*> changed;
    changed.swap(changed_);
    bool anyRunning = false;
    for (const engine::PageEntry* page : changed) {
        const Node* item = tree_.find(page);
        if (!item) continue;
        forget(page);
        refreshRow(item);
        // A running page's elapsed time goes on without messages: refresh it again.
        if (engine::isRunning(*item->page)) {
            changed_.insert(page);
            anyRunning = true;
        }
    }
    if (anyRunning && !refresh_->isActive()) refresh_->start();
}

void SiteTreeModel::refreshRow(const Node* item) {
    const QModelIndex first = indexOf(item, 0);
    if (!first.isValid()) return;
    emit dataChanged(first, indexOf(item, columnCount() - 1));
}

void SiteTreeModel::refreshAll(const QModelIndex& parent) {
    const int rows = rowCount(parent);
    if (rows == 0) return;
    emit dataChanged(index(0, 0, parent), index(rows - 1, columnCount() - 1, parent));
    for (int row = 0; row < rows; ++row) {
        const QModelIndex child = index(row, 0, parent);
        if (rowCount(child) > 0) refreshAll(child);
    }
}

void SiteTreeModel::nodeAboutToBeAdded(const Node* parent, std::size_t row) {
    pendingParent_ = parent;
    pendingRow_ = row;
    const int at = static_cast<int>(row);
    beginInsertRows(indexOf(parent), at, at);
}

void SiteTreeModel::nodeAdded(const Node* added) {
    rows_[added] = static_cast<int>(pendingRow_);
    endInsertRows();
}

void SiteTreeModel::forgetSubtree(const Node* top) {
    std::vector<const Node*> pending{top};
    while (!pending.empty()) {
        const Node* item = pending.back();
        pending.pop_back();
        rows_.erase(item);
        changed_.erase(item->page.get());
        forget(item->page.get());
        if (item->page.get() == current_) current_ = nullptr;
        for (const auto& child : item->children) pending.push_back(child.get());
    }
}

void SiteTreeModel::nodeAboutToBeRemoved(const Node* removed, std::size_t row) {
    const int at = static_cast<int>(row);
    beginRemoveRows(indexOf(removed->parent), at, at);
    pendingParent_ = removed->parent;
    forgetSubtree(removed);
}

void SiteTreeModel::renumber(const Node* parent) {
    const auto& siblings = childrenOf(parent);
    for (std::size_t i = 0; i < siblings.size(); ++i)
        rows_[siblings[i].get()] = static_cast<int>(i);
}

void SiteTreeModel::nodeRemoved() {
    // The later siblings moved up: their rows are right before the views look again.
    renumber(pendingParent_);
    endRemoveRows();
}

void SiteTreeModel::treeAboutToBeCleared() {
    beginResetModel();
}

void SiteTreeModel::treeCleared() {
    rows_.clear();
    changed_.clear();
    colors_.clear();
    cells_.clear();
    current_ = nullptr;
    endResetModel();
}

}  // namespace app
