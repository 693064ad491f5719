#pragma once

#include <QAbstractItemModel>
#include <QColor>

#include <array>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "engine/crawl/SiteNode.h"
#include "engine/crawl/SiteTree.h"
#include "engine/crawl/SiteTreeObserver.h"
#include "report/FilterConditionList.h"
#include "report/SiteColumns.h"

class QTimer;

namespace app {

// The site tree as an item model: one row per node, the site tree's columns with the core's
// cell texts and a raw value for sorting, the check mark in the first column, and a row's
// background in the colour of the first condition the page meets. Rows follow the tree's
// shape as it changes (the tree tells the model before and after); changed pages are gathered
// and refreshed together, at most every 100 ms, and a running page's row ticks on with its
// elapsed time. A row's cells are computed once per refresh and kept, so that painting and
// sorting thousands of rows never compute a cell (nor take the figures lock) twice.
// User-interface thread only.
class SiteTreeModel : public QAbstractItemModel, private engine::SiteTreeObserver {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 100;

    SiteTreeModel(engine::SiteTree& tree, const report::FilterConditionList& conditions,
                  QObject* parent = nullptr);
    ~SiteTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    engine::SiteNode* node(const QModelIndex& index) const;
    QModelIndex indexOf(const engine::SiteNode* node, int column = 0) const;
    // The column identifier (URL 1, Title 2, ...) shown in a column.
    static std::uint32_t columnId(int column);

    int connection() const { return connection_; }
    void setConnection(int index);
    // The page whose row is drawn as the current one.
    void setCurrentPage(const engine::PageEntry* page);
    // The page's row changed; it is refreshed with the next batch.
    void pageChanged(const engine::PageEntry* page);
    // The conditions changed: every row's colour is evaluated again.
    void conditionsChanged();
    // Refreshes the changed rows now.
    void flush();

private:
    using Node = engine::SiteNode;

    void nodeAboutToBeAdded(const Node* parent, std::size_t row) override;
    void nodeAdded(const Node* node) override;
    void nodeAboutToBeRemoved(const Node* node, std::size_t row) override;
    void nodeRemoved() override;
    void treeAboutToBeCleared() override;
    void treeCleared() override;

    const std::vector<std::unique_ptr<Node>>& childrenOf(const Node* parent) const;
    void forgetSubtree(const Node* node);
    void renumber(const Node* parent);
    void refreshRow(const Node* node);
    void refreshAll(const QModelIndex& parent);
    std::optional<QColor> colorOf(engine::PageEntry& page) const;
    const report::SiteCell& cell(engine::PageEntry& page, int column) const;
    // The page's cells and colour are computed again when next asked for.
    void forget(const engine::PageEntry* page);

    using Row = std::array<std::optional<report::SiteCell>, report::kSiteColumnCount>;

    engine::SiteTree& tree_;
    const report::FilterConditionList& conditions_;
    QTimer* refresh_;
    int connection_ = 0;
    const engine::PageEntry* current_ = nullptr;
    std::unordered_map<const Node*, int> rows_;  // each node's place among its siblings
    std::unordered_set<const engine::PageEntry*> changed_;
    mutable std::unordered_map<const engine::PageEntry*, std::optional<QColor>> colors_;
    mutable std::unordered_map<const engine::PageEntry*, Row> cells_;
    const Node* pendingParent_ = nullptr;
    std::size_t pendingRow_ = 0;
};

}  // namespace app
